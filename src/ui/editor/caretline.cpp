#include "ui/editor/caretline.h"

#include "ui/editor/rowbreaks.h"
#include "ui/editor/scripteditor.h"

#include <QTextBlock>

#include <algorithm>

namespace {

// The first block of a line; the last line's when the text has fewer.
QTextBlock firstBlockOf(const QTextDocument *doc, int line)
{
    if (!RowBreaks::mayHold(doc))
        return doc->findBlockByNumber(std::clamp(line, 1, doc->blockCount()) - 1);
    QTextBlock found = doc->begin();
    int n = 0;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        if (RowBreaks::before(b))
            continue;
        found = b;
        if (++n >= line)
            break;
    }
    return found;
}

int positionOf(const QTextDocument *doc, int line, int column)
{
    const QTextBlock first = firstBlockOf(doc, line);
    QTextBlock last = first;
    while (last.next().isValid() && RowBreaks::before(last.next()))
        last = last.next();
    const int end = last.position() + last.length() - 1;
    return std::min(first.position() + std::max(column, 1) - 1, end);
}

} // namespace

void moveCaretToLine(QPlainTextEdit *editor, int line, int column)
{
    if (!editor)
        return;
    auto *script = qobject_cast<ScriptEditorWidget *>(editor);
    if (script && script->isLoading()) {
        QObject::connect(
                script, &ScriptEditorWidget::textLoaded, script,
                [script, line, column] { moveCaretToLine(script, line, column); },
                Qt::SingleShotConnection);
        return;
    }
    QTextCursor caret(editor->document());
    caret.setPosition(positionOf(editor->document(), line, column));
    editor->setTextCursor(caret);
    editor->centerCursor();
    editor->setFocus();
}
