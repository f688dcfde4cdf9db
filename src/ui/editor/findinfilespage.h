#pragma once

#include <QWidget>

class FileSearchJob;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
struct FileSearchProgress;
struct FileSearchSummary;

// The find dialog's "F&ind in files" page: what to look for, where, in which files. The hits
// go to whoever watches job().
class FindInFilesPage : public QWidget
{
    Q_OBJECT
public:
    explicit FindInFilesPage(QWidget *parent = nullptr);

    FileSearchJob *job() const { return m_job; }
    // The folder to search, taken until the user chooses one of their own.
    void offerFolder(const QString &folder);
    void focusText();

    void find(); // "Fi&nd"
    void stop(); // "S&top"
    void browse();

    QComboBox *textCombo = nullptr;
    QLineEdit *edFolder = nullptr;
    QToolButton *btBrowseFolder = nullptr;
    QLineEdit *edMasks = nullptr;
    QCheckBox *chkRegExp = nullptr;
    QCheckBox *chkCase = nullptr;
    QCheckBox *chkWords = nullptr;
    QCheckBox *chkSubfolders = nullptr;
    QPushButton *btFind = nullptr;
    QPushButton *btStop = nullptr;
    QLabel *lbProgress = nullptr;

protected:
    // Enter in any field searches: the dialog's own default button serves the other page.
    void keyPressEvent(QKeyEvent *e) override;

private:
    void showProgress(const FileSearchProgress &progress);
    void showEnd(const FileSearchSummary &summary);
    void setRunning(bool running);

    FileSearchJob *m_job;
    QString m_offered;
};
