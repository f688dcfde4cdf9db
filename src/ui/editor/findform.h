#pragma once

#include <QDialog>
#include <QPointer>

#include <functional>

class DocumentText;
class FindInFilesPage;
class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

// "Find text": searches the current script and selects the match. Made once, shown and
// hidden; it stays open, so "&Okay" again finds the next occurrence.
class TFindForm : public QDialog
{
    Q_OBJECT
public:
    using EditorSource = std::function<QPlainTextEdit *()>;

    // current: the editor to search, null when no script is open. texts: the shared copy of
    // the scripts' text (null: the dialog keeps its own).
    explicit TFindForm(EditorSource current, DocumentText *texts = nullptr,
                       QWidget *parent = nullptr);

    void findNext(); // "&Okay"
    // Shows the dialog on its "F&ind in files" page, offering folder to search.
    void showFindInFiles(const QString &folder);
    void closeDialog(); // "&Close"

    QComboBox *FindTextCombo = nullptr;
    QCheckBox *CheckCase = nullptr;
    QCheckBox *CheckWord = nullptr;
    QRadioButton *RadioButton1 = nullptr; // forward
    QRadioButton *chkBack = nullptr;
    QRadioButton *chkFromCursor = nullptr;
    QRadioButton *RadioButton4 = nullptr; // entire scope
    QCheckBox *chkClose = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;
    FindInFilesPage *FindInFiles = nullptr;

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    void FormShow();
    // Where the search starts: forward, the first position a match may begin at; backward,
    // the last position a match may end at.
    int searchStart(QPlainTextEdit *editor, bool backward) const;

    EditorSource m_current;
    DocumentText *m_texts;
    QTabWidget *PageControl1 = nullptr;
    QLabel *Ani = nullptr;
    // The previous match: position and length. A fresh start (after showing, after a search
    // found nothing, or in another script) searches from the chosen origin instead.
    int m_pos = -1;
    int m_len = 0;
    bool m_fresh = true;
    QPointer<QPlainTextEdit> m_editor;
};
