#include "ui/editor/gotoline.h"

#include "ui/editor/rowbreaks.h"
#include "ui/editor/scripteditor.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {

// The line (from 0) a block belongs to; it never falls as the block number grows.
int lineOf(const ScriptEditorWidget *editor, const QTextBlock &block)
{
    return editor->linePosition(block.position()).row;
}

// The first block of line (from 0), or an invalid block past the last line. The rows of a long
// line are blocks of their own, so block numbers are searched, not counted.
QTextBlock firstBlockOf(const ScriptEditorWidget *editor, int line)
{
    const QTextDocument *doc = editor->document();
    int lo = line; // a line never starts before its own number of blocks
    int hi = doc->blockCount();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (lineOf(editor, doc->findBlockByNumber(mid)) >= line)
            hi = mid;
        else
            lo = mid + 1;
    }
    return doc->findBlockByNumber(lo);
}

void moveNow(ScriptEditorWidget *editor, int line, int column)
{
    QTextDocument *doc = editor->document();
    const int wanted = std::clamp(line, 1, lineCount(editor)) - 1;
    const QTextBlock start = firstBlockOf(editor, wanted);
    const QTextBlock next = firstBlockOf(editor, wanted + 1);
    // The line ends before the line break that starts the next one, or at the text's end.
    const int end = next.isValid() ? next.position() - 1 : doc->characterCount() - 1;
    const int at = start.position() + std::min(std::max(column, 1) - 1, end - start.position());
    QTextCursor c(doc);
    c.setPosition(at);
    editor->setTextCursor(c);
    editor->centerCursor();
}

} // namespace

int lineCount(const ScriptEditorWidget *editor)
{
    const QTextBlock last = editor->document()->lastBlock();
    const int lines = lineOf(editor, last) + 1;
    const bool endsInLineBreak = last.length() == 1 && !RowBreaks::before(last);
    return lines > 1 && endsInLineBreak ? lines - 1 : lines;
}

void moveCaretToLine(ScriptEditorWidget *editor, int line, int column)
{
    if (!editor)
        return;
    if (!editor->isLoading()) {
        moveNow(editor, line, column);
        return;
    }
    QObject::connect(
            editor, &ScriptEditorWidget::textLoaded, editor,
            [editor, line, column] { moveNow(editor, line, column); }, Qt::SingleShotConnection);
}
