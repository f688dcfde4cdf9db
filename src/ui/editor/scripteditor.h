#pragma once

#include "core/common/textfile.h"
#include "core/editor/indent.h"
#include "ui/editor/editorlayout.h"
#include "ui/editor/rowbreaks.h"

#include <QPlainTextEdit>
#include <QTextLayout>

#include <atomic>
#include <functional>
#include <memory>

class LineNumberArea;

// The editor control of one script: plain text only, so what is saved is exactly what the
// user sees. The saved flag is the document's modification state, which follows the undo
// history: undoing back to the loaded or saved text counts as saved again.
//
// Colours and layouts are made for the lines on screen only, when they are painted; very long
// lines are shown in rows (rowbreaks.h).
class ScriptEditorWidget : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit ScriptEditorWidget(QWidget *parent = nullptr);
    ~ScriptEditorWidget() override;

    // Puts loaded text into the editor as one unmodified step without undo history. A large
    // text is laid into a document on a worker thread so the window never freezes; the editor
    // is read-only until textLoaded().
    void loadText(const QString &text);
    bool isLoading() const { return m_loading; }
    // While textLoaded() is emitted: the arrived text with line feeds, as
    // DocumentText::plainText() reads it, so receivers need not read 10 MB again.
    const QString &loadedText() const { return m_loadedText; }

    // Row and column of a position in the lines of the text (a long line's rows are one line).
    RowBreaks::LinePosition linePosition(int position) const;
    // The line of a position and where that line starts, asked afresh each time.
    int lineOf(int position) const;
    int lineStartOf(int position) const;

    // What the editor shows besides the text: line numbers, the caret's line, and the partner
    // of the bracket at the caret. All on at first.
    void setLineNumbersShown(bool on);
    bool lineNumbersShown() const { return m_lineNumbersShown; }
    LineNumberArea *lineNumberArea() const { return m_lineNumbers; }
    void setCurrentLineShown(bool on);
    void setBracketsShown(bool on);
    // The line (from 1) where perl's debugger waits, shown as a band and brought into view with
    // the caret at its start; it follows edits. 0 takes the band away.
    void markDebuggerLine(int line);
    int debuggerLine() const;
    // Indentation for Enter, Tab and Shift+Tab, and the distance of the tab stops.
    void setIndentStyle(const Indent::Style &style);
    const Indent::Style &indentStyle() const { return m_indent; }

    // The colours of [from, to) of the text as format ranges relative to from.
    using Colours = std::function<QList<QTextLayout::FormatRange>(int from, int to)>;
    void setColours(Colours colours);
    // The colours of [from, to) changed: repaints what of it is on screen.
    void coloursChanged(int from, int to);

signals:
    void textLoaded();
    // A character is about to be typed (before it reaches the text).
    void keyTyped(QChar key);

protected:
    bool event(QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    QMimeData *createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    friend class LineNumberArea;

    void useDocument(QTextDocument *doc, std::vector<int> rowBreaks);
    void updateLineNumbersWidth();
    void caretMoved();
    void queueBracketMarks();
    void markBrackets();
    void paintLineBand(const QRect &painting, const QTextCursor &caret, const QColor &colour);
    void adoptDocument(QTextDocument *doc, QString plainText, std::vector<int> rowBreaks);
    QRegion colourShownLines(const QRect &painting);
    void drawStandIns(const QRect &painting);

    EditorDocuments m_documents;
    bool m_loading = false;
    QString m_loadedText;
    // Tells the worker laying out the text that nobody waits for it any more.
    std::shared_ptr<std::atomic_bool> m_abandoned;
    Colours m_colours;
    RowBreaks::Index m_rowBreaks;
    QMetaObject::Connection m_rowBreakEdits;
    // The lines last given colours, by number, while the document had that many lines, and the
    // stretch of text they cover.
    int m_colouredFirst = 0;
    int m_colouredLast = -1;
    int m_colouredBlockCount = 0;
    int m_shownFrom = 0;
    int m_shownTo = 0;
    // The last position asked for in linePosition, at a document revision.
    mutable int m_lineCacheRevision = -1;
    mutable int m_lineCachePosition = -1;
    mutable RowBreaks::LinePosition m_lineCache;

    LineNumberArea *m_lineNumbers = nullptr;
    bool m_lineNumbersShown = true;
    bool m_currentLineShown = true;
    QTextCursor m_debuggerLine; // null: no band
    bool m_bracketsShown = true;
    Indent::Style m_indent;
    // Where the caret's line starts: when the caret leaves it, its shade and number move.
    int m_caretLineStart = -1;
    bool m_bracketsPending = false;
};

class ScriptHighlighter;

// One open script.
struct TScriptEditor
{
    QString FileName;
    ScriptEditorWidget *Editor = nullptr;
    ScriptHighlighter *Highlighter = nullptr; // owned by the editor
    QString HTMLFile;
    bool HTMLGiven = false;
    bool HTMLUpdate = true;
    TextFileFormat Format; // encoding and line ends as read, used again when saving

    bool saved() const;
    void setSaved(bool saved);
};

// Writes the script's text to path in the encoding and line-end style it was read with.
// Throws AppError while the text is still loading and IoError when the file cannot be written.
void writeScript(const TScriptEditor &doc, const QString &path);
