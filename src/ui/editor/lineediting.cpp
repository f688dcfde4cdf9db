#include "ui/editor/lineediting.h"

#include "core/editor/indent.h"
#include "ui/editor/rowbreaks.h"
#include "ui/editor/scripteditor.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <vector>

namespace LineEditing {

namespace {

// Of a line longer than this only its two ends are read: the indentation and what stands
// just before the caret decide everything, and a line may be megabytes long.
constexpr int kReadAtMost = 4096;

// The text of the caret's line from its start up to pos.
QString beforeCaret(const ScriptEditorWidget &editor, int pos)
{
    const QTextDocument *doc = editor.document();
    const int start = editor.lineStartOf(pos);
    if (pos - start <= kReadAtMost)
        return RowBreaks::text(doc, start, pos);
    return RowBreaks::text(doc, start, start + kReadAtMost / 2)
           + RowBreaks::text(doc, pos - kReadAtMost / 2, pos);
}

// The lines a selection touches (the caret's line without one): where each starts and its
// first row, which holds its indentation.
struct Lines
{
    std::vector<int> starts;
    QStringList texts;
};

// The last position of a selection that counts for its lines: one that ends at the start of a
// line leaves that line out.
int lastSelected(const ScriptEditorWidget &editor)
{
    const QTextCursor c = editor.textCursor();
    const int to = c.selectionEnd();
    return to > c.selectionStart() && editor.lineStartOf(to) == to ? to - 1 : to;
}

Lines selectedLines(const ScriptEditorWidget &editor)
{
    const QTextDocument *doc = editor.document();
    const QTextBlock last = doc->findBlock(lastSelected(editor));
    Lines lines;
    for (QTextBlock b = doc->findBlock(editor.lineStartOf(editor.textCursor().selectionStart()));
         b.isValid(); b = b.next()) {
        if (!RowBreaks::before(b)) {
            lines.starts.push_back(b.position());
            lines.texts.append(b.text());
        }
        if (b == last)
            break;
    }
    return lines;
}

bool spansLines(const ScriptEditorWidget &editor)
{
    return editor.lineStartOf(editor.textCursor().selectionStart())
           != editor.lineStartOf(lastSelected(editor));
}

// Applies one edit per line as one step of undo. A selection that began at the start of its
// first line keeps that line whole; otherwise the selection and the caret stay with the text
// around them.
void apply(ScriptEditorWidget &editor, const Lines &lines, const QList<Indent::Edit> &edits)
{
    QTextCursor selection = editor.textCursor();
    const bool wholeFirstLine = selection.hasSelection()
                                && selection.selectionStart() == lines.starts.front();
    QTextCursor c(editor.document());
    c.beginEditBlock();
    for (size_t i = lines.starts.size(); i-- > 0;) {
        const Indent::Edit &e = edits[qsizetype(i)];
        if (e.isEmpty())
            continue;
        c.setPosition(lines.starts[i] + e.at);
        c.setPosition(lines.starts[i] + e.at + e.removed, QTextCursor::KeepAnchor);
        if (e.inserted.isEmpty())
            c.removeSelectedText();
        else
            c.insertText(e.inserted);
    }
    c.endEditBlock();
    if (wholeFirstLine) {
        const int end = selection.selectionEnd();
        const bool forward = selection.position() == end;
        selection.setPosition(forward ? lines.starts.front() : end);
        selection.setPosition(forward ? end : lines.starts.front(), QTextCursor::KeepAnchor);
    }
    editor.setTextCursor(selection);
    editor.ensureCursorVisible();
}

void shift(ScriptEditorWidget &editor, bool in)
{
    const Lines lines = selectedLines(editor);
    const Indent::Style style = editor.indentStyle();
    QList<Indent::Edit> edits;
    for (const QString &line : lines.texts)
        edits.append(in ? Indent::indented(line, style) : Indent::outdented(line, style));
    apply(editor, lines, edits);
}

// Puts text in place of the selection at the caret, as typing does.
void insertAtCaret(ScriptEditorWidget &editor, const QString &text, bool lineBreak)
{
    QTextCursor c = editor.textCursor();
    c.beginEditBlock();
    c.removeSelectedText();
    if (lineBreak)
        c.insertBlock();
    if (!text.isEmpty())
        c.insertText(text);
    c.endEditBlock();
    editor.setTextCursor(c);
    editor.ensureCursorVisible();
}

} // namespace

void breakLine(ScriptEditorWidget &editor)
{
    // A line break of its own, whatever the format of a row break next to the caret.
    const QString before = beforeCaret(editor, editor.textCursor().selectionStart());
    insertAtCaret(editor, Indent::newLine(before, editor.indentStyle()), true);
}

void tab(ScriptEditorWidget &editor)
{
    if (spansLines(editor)) {
        shift(editor, true);
        return;
    }
    const QString before = beforeCaret(editor, editor.textCursor().selectionStart());
    insertAtCaret(editor, Indent::tab(before, editor.indentStyle()), false);
}

void outdent(ScriptEditorWidget &editor)
{
    shift(editor, false);
}

int toggleComment(ScriptEditorWidget &editor)
{
    const Lines lines = selectedLines(editor);
    apply(editor, lines, Indent::commentToggled(lines.texts));
    return lines.starts.front();
}

} // namespace LineEditing
