#include "app/scripteditor.h"

#include <QKeyEvent>
#include <QTextDocument>

ScriptEditorWidget::ScriptEditorWidget(QWidget *parent) : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("Editor"));
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setWordWrapMode(QTextOption::NoWrap);
    setTabChangesFocus(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFrameShape(QFrame::NoFrame);

    QFont f(QStringLiteral("Courier New"), 10);
    f.setStyleHint(QFont::Monospace);
    f.setBold(true);
    setFont(f);
    setTabStopDistance(QFontMetricsF(f).horizontalAdvance(QLatin1Char(' ')) * 4);

    QPalette p = palette();
    p.setColor(QPalette::Base, QColor(0, 0, 128));
    p.setColor(QPalette::Text, QColor(255, 255, 0));
    p.setColor(QPalette::Highlight, QColor(255, 255, 0));
    p.setColor(QPalette::HighlightedText, QColor(0, 0, 128));
    setPalette(p);
    setStyleSheet(QStringLiteral("QPlainTextEdit { background: #000080; color: #ffff00; }"));
    setCursorWidth(2);
}

bool ScriptEditorWidget::event(QEvent *e)
{
    if (e->type() == QEvent::ShortcutOverride) {
        auto *k = static_cast<QKeyEvent *>(e);
        const auto combo = k->keyCombination();
        // Alt+A belongs to "Select all" while the editor has the focus, not to the About box.
        if (combo == QKeyCombination(Qt::AltModifier, Qt::Key_A)) {
            e->accept();
            return true;
        }
        // Ctrl+A is "Save as" here; the control must not take it for select-all.
        if (combo == QKeyCombination(Qt::ControlModifier, Qt::Key_A)) {
            e->ignore();
            return false;
        }
    }
    return QPlainTextEdit::event(e);
}

void ScriptEditorWidget::keyPressEvent(QKeyEvent *e)
{
    if (e->keyCombination() == QKeyCombination(Qt::AltModifier, Qt::Key_A)) {
        selectAll();
        return;
    }
    const QString t = e->text();
    if (!t.isEmpty() && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        QChar k = t.front();
        if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
            k = QChar(13);
        emit keyTyped(k);
    }
    QPlainTextEdit::keyPressEvent(e);
}

bool TScriptEditor::saved() const
{
    return Editor && !Editor->document()->isModified();
}

void TScriptEditor::setSaved(bool saved)
{
    if (Editor)
        Editor->document()->setModified(!saved);
}
