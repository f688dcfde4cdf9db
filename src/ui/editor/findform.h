#pragma once

#include "core/editor/replacer.h"

#include <QDialog>
#include <QPointer>

#include <functional>
#include <optional>

class DocumentText;
class FindInFilesPage;
class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTextDocument;

// "Find text": searches the current script and selects the match. Made once, shown and
// hidden; it stays open, so "&Okay" again finds the next occurrence. Its "&Replace" page
// replaces one match at a time or all of them at once.
class TFindForm : public QDialog
{
    Q_OBJECT
public:
    using EditorSource = std::function<QPlainTextEdit *()>;
    enum class Page { Find, Replace };

    // current: the editor to search, null when no script is open. texts: the shared copy of
    // the scripts' text (null: the dialog keeps its own).
    explicit TFindForm(EditorSource current, DocumentText *texts = nullptr,
                       QWidget *parent = nullptr);

    void findNext(); // "&Okay"
    // Shows the dialog on its "F&ind in files" page, offering folder to search.
    void showFindInFiles(const QString &folder);
    void closeDialog(); // "&Close"
    void replace();     // "Re&place"
    void replaceAll();  // "Replace &all"
    // The next (previous) occurrence of what was searched last, from the caret, whether the
    // dialog is open or not; false when nothing has been searched yet.
    bool findAgain(bool backward);

    void setPage(Page page);

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
    QCheckBox *CheckRegex = nullptr;

    // The "&Replace" page.
    QComboBox *ReplaceFindCombo = nullptr; // shares its history with FindTextCombo
    QComboBox *ReplaceTextCombo = nullptr;
    QCheckBox *chkReplaceCase = nullptr;
    QCheckBox *chkReplaceWord = nullptr;
    QCheckBox *chkRegex = nullptr;
    QRadioButton *radSelectedText = nullptr;
    QRadioButton *radEntireScope = nullptr;
    QPushButton *btReplace = nullptr;
    QPushButton *btReplaceAll = nullptr;

public slots:
    void reject() override;

signals:
    // A line for the status bar ("Replaced 12 occurrences").
    void statusMessage(const QString &text);

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    struct Query
    {
        QString text;
        SearchOptions options;
    };
    struct Fields // what a page asks for
    {
        QComboBox *text;
        QCheckBox *caseSensitive;
        QCheckBox *wholeWords;
        QCheckBox *regex;
    };

    void buildReplacePage(QWidget *page);
    void FormShow();
    void takeSelection(QPlainTextEdit *editor);
    Fields fields(int pageIndex) const;
    Query query(const Fields &f) const;
    Query shownQuery() const;
    bool isReplacePage() const;
    void remember(const QString &text);
    void rememberReplacement(const QString &with);
    // Where messages go: the dialog when it is open, else the editor's window.
    QWidget *asker(QPlainTextEdit *editor);
    // The replacer for q, or none after telling the user what is wrong with the pattern.
    std::optional<Replacer> replacerFor(const Query &q, QPlainTextEdit *editor);
    // Text as typed is found as the find page always found it; a pattern by the replacer.
    Replacer::Match locate(QStringView text, const Replacer &replacer, const Query &q,
                           qsizetype start, bool backward, bool skipEmptyAtStart) const;
    // Searches from the caret (after the selection, or before it backward) and selects the
    // match; after a search that found nothing, from the top (bottom) again.
    bool searchFromCaret(QPlainTextEdit *editor, const Query &q, bool backward);
    void select(QPlainTextEdit *editor, qsizetype at, qsizetype length);
    // Makes the edits (ascending and apart) in one undo step; returns how much the text grew.
    static qsizetype applyEdits(QTextDocument *doc, const std::vector<Replacer::Edit> &edits);
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
    // The caret-based searches (again, replace) start over at the top after finding nothing.
    bool m_startOver = false;
    Query m_last; // what was searched last
    int m_shownPage = 0;
};
