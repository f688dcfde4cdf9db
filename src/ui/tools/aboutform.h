#pragma once

#include <QDialog>

class QPlainTextEdit;
class QTabWidget;
class TBlinkyLabel;
class TIniFile;

// The about box: the product page and what the configured Perl says of itself. Created once.
class TAboutForm : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutForm(const TIniFile &settings, QWidget *parent = nullptr);

    // Shows the first page, without a modal loop.
    void open() override;

    static QString webAddress();

protected:
    void closeEvent(QCloseEvent *e) override;
    void reject() override;

private:
    void PageControl1Change(int index);

    const TIniFile &m_settings;
    QTabWidget *PageControl1;
    QPlainTextEdit *Memo1;
    QPlainTextEdit *Memo2;
};
