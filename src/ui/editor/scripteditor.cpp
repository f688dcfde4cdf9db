#include "ui/editor/scripteditor.h"

#include "core/common/errors.h"
#include "core/common/workers.h"
#include "ui/editor/documenttext.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPlainTextDocumentLayout>
#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QThread>
#include <QThreadPool>

namespace {
// Below this many characters a document is built at once: it takes well under a frame.
constexpr qsizetype kBackgroundLoadChars = 256 * 1024;
// What a large text shows while it is being laid out: a few screens, a few milliseconds.
constexpr qsizetype kPreviewChars = 64 * 1024;
} // namespace

ScriptEditorWidget::ScriptEditorWidget(QWidget *parent)
    : QPlainTextEdit(parent)
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

ScriptEditorWidget::~ScriptEditorWidget()
{
    if (m_abandoned)
        *m_abandoned = true;
}

void ScriptEditorWidget::loadText(const QString &text)
{
    if (text.size() < kBackgroundLoadChars) {
        document()->setUndoRedoEnabled(false);
        setPlainText(text);
        document()->setUndoRedoEnabled(true);
        document()->setModified(false);
        emit textLoaded();
        return;
    }
    m_loading = true;
    setReadOnly(true);
    // The beginning shows at once, to read and scroll, while the whole text is laid out.
    const qsizetype lineEnd = text.lastIndexOf(u'\n', kPreviewChars);
    document()->setUndoRedoEnabled(false);
    setPlainText(text.left(lineEnd > 0 ? lineEnd : kPreviewChars));
    document()->setModified(false);
    QPointer<ScriptEditorWidget> self(this);
    QThread *ui = thread();
    // Font and tab stops are set before the first layout: changing them later lays out the
    // whole text once more.
    const QFont editorFont = font();
    const QTextOption option = document()->defaultTextOption();
    m_abandoned = std::make_shared<std::atomic_bool>(false);
    workerPool()->start([self, ui, text, editorFont, option, abandoned = m_abandoned] {
        auto *doc = new QTextDocument;
        doc->setDefaultFont(editorFont);
        doc->setDefaultTextOption(option);
        doc->setUndoRedoEnabled(false);
        // Everything that costs per line is done here rather than in the window's thread:
        // the editor's layout, one text layout per line (the editor makes them all when it
        // takes the document) and the copy of the text that colouring and the inspector read.
        doc->setDocumentLayout(new QPlainTextDocumentLayout(doc));
        doc->setPlainText(text);
        if (*abandoned) { // the tab was closed meanwhile: free the text here, not in the
                          // window's thread
            delete doc;
            return;
        }
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
            b.layout();
        const QString plain = DocumentText::plainText(doc);
        doc->setUndoRedoEnabled(true);
        doc->setModified(false);
        doc->moveToThread(ui);
        QMetaObject::invokeMethod(
                qApp,
                [self, doc, plain] {
                    if (self)
                        self->adoptDocument(doc, plain);
                    else
                        delete doc; // the tab was closed while its text was being laid out
                },
                Qt::QueuedConnection);
    });
}

void ScriptEditorWidget::adoptDocument(QTextDocument *doc, QString plainText)
{
    doc->setParent(this);
    // Every change of the editor's width lays out each line again: let the scroll bar that
    // the long text needs take its room before the text comes, not after.
    const Qt::ScrollBarPolicy policy = verticalScrollBarPolicy();
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The beginning shown meanwhile is the start of the whole text: the caret and the view
    // stay where the user put them.
    const int caret = textCursor().position();
    const int anchor = textCursor().anchor();
    const int top = verticalScrollBar()->value();
    setDocument(doc); // the control frees the document it made itself
    setVerticalScrollBarPolicy(policy);
    QTextCursor c(doc);
    c.setPosition(anchor);
    c.setPosition(caret, QTextCursor::KeepAnchor);
    setTextCursor(c);
    verticalScrollBar()->setValue(top);
    setReadOnly(false);
    m_loading = false;
    m_loadedText = std::move(plainText);
    emit textLoaded();
    m_loadedText.clear();
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

void writeScript(const TScriptEditor &doc, const QString &path)
{
    if (doc.Editor->isLoading())
        throw AppError(
                QStringLiteral(
                        "Oops! \"%1\" is still being loaded. Please save it again in a moment.")
                        .arg(doc.FileName));
    // Paragraph separators are how the control stores line breaks; the raw text keeps
    // every other character (non-breaking spaces included) exactly as typed.
    QString text = doc.Editor->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    writeTextFile(path, text, doc.Format);
}
