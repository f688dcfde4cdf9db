#pragma once

#include "core/tools/linebreaks.h"

#include <QDialog>

#include <atomic>
#include <memory>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStackedWidget;

// The wizard that converts the line breaks of a closed file between the Windows and the UNIX
// form. Created once; the paths keep their text between uses. The conversion runs on a worker,
// so a file of hundreds of megabytes moves the bar instead of freezing the window.
class TUNIXConvForm : public QDialog
{
    Q_OBJECT
public:
    explicit TUNIXConvForm(QWidget *parent = nullptr);
    ~TUNIXConvForm() override;

    // Shows the first page, without a modal loop.
    void open() override;
    bool isConverting() const { return m_busy; }

signals:
    // The conversion of a run is over (its text is in the progress label).
    void conversionDone();

protected:
    void closeEvent(QCloseEvent *e) override;
    void reject() override;

private:
    void btNextClick();
    void btBackClick();
    void browseSource();
    void browseDestination();
    void startConversion();
    void finishConversion(bool ok, const QString &text);

    QStackedWidget *PC;
    QRadioButton *radWin2UNIX;
    QRadioButton *radUNIX2Win;
    QLineEdit *edSrc;
    QLineEdit *edDest;
    QLabel *Label12;
    QProgressBar *pBar;
    QPushButton *btBack;
    QPushButton *btNext;
    QPushButton *Button3;
    bool m_busy = false;
    // Shared with the running worker, which may outlive a hidden wizard's run.
    std::shared_ptr<std::atomic_bool> m_cancel;
};
