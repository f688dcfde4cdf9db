#include "ui/editor/scripteditor.h"

#include "core/common/errors.h"
#include "core/common/workers.h"
#include "core/editor/longlines.h"
#include "ui/editor/bracketmarks.h"
#include "ui/editor/gotoline.h"
#include "ui/editor/lineediting.h"
#include "ui/editor/linenumberarea.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <climits>

namespace {
// The background of the caret's line: a shade lighter than the editor's.
const QColor kCaretLine(20, 20, 150);
const QColor kDebuggerLine(0, 110, 70);

// Below this many characters a document is built at once: it takes well under a frame.
constexpr qsizetype kBackgroundLoadChars = 256 * 1024;
// What a large text shows while it is being laid out: a few screens, a few milliseconds.
constexpr qsizetype kPreviewChars = 64 * 1024;

// The ranges of one line with [from, to) in the selection's colours over whatever colours the
// text there has: the token colours must not show through the selection.
QList<QTextLayout::FormatRange> overSelection(const QList<QTextLayout::FormatRange> &ranges,
                                              int from, int to, const QTextCharFormat &selected)
{
    QList<QTextLayout::FormatRange> out;
    int done = from;
    for (const QTextLayout::FormatRange &r : ranges) {
        const int end = r.start + r.length;
        if (end <= from || r.start >= to) {
            out.append(r);
            continue;
        }
        if (r.start < from)
            out.append({r.start, from - r.start, r.format});
        const int a = std::max(r.start, from);
        const int b = std::min(end, to);
        if (a > done)
            out.append({done, a - done, selected});
        QTextCharFormat f = r.format;
        f.merge(selected);
        out.append({a, b - a, f});
        done = b;
        if (end > to)
            out.append({to, end - to, r.format});
    }
    if (done < to)
        out.append({done, to - done, selected});
    std::sort(out.begin(), out.end(),
              [](const auto &x, const auto &y) { return x.start < y.start; });
    return out;
}
} // namespace

ScriptEditorWidget::ScriptEditorWidget(QWidget *parent)
    : QPlainTextEdit(parent)
    , m_documents(this)
{
    setObjectName(QStringLiteral("Editor"));
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setWordWrapMode(QTextOption::NoWrap);
    useDocument(m_documents.make(font(), document()->defaultTextOption()), {});
    setTabChangesFocus(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFrameShape(QFrame::NoFrame);

    QFont f(QStringLiteral("Courier New"), 10);
    f.setStyleHint(QFont::Monospace);
    f.setBold(true);
    setFont(f);
    setIndentStyle(m_indent);

    QPalette p = palette();
    p.setColor(QPalette::Base, QColor(0, 0, 128));
    p.setColor(QPalette::Text, QColor(255, 255, 0));
    p.setColor(QPalette::Highlight, QColor(255, 255, 0));
    p.setColor(QPalette::HighlightedText, QColor(0, 0, 128));
    setPalette(p);
    setStyleSheet(QStringLiteral("QPlainTextEdit { background: #000080; color: #ffff00; }"));
    setCursorWidth(2);

    m_lineNumbers = new LineNumberArea(this);
    connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect &r, int dy) {
        if (!m_lineNumbersShown)
            return;
        if (dy)
            m_lineNumbers->scroll(0, dy);
        else
            m_lineNumbers->update(0, r.y(), m_lineNumbers->width(), r.height());
    });
    connect(this, &QPlainTextEdit::blockCountChanged, this, [this] { updateLineNumbersWidth(); });
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, [this] { caretMoved(); });
    updateLineNumbersWidth();
}

ScriptEditorWidget::~ScriptEditorWidget()
{
    if (m_abandoned)
        *m_abandoned = true;
}

void ScriptEditorWidget::useDocument(QTextDocument *doc, std::vector<int> rowBreaks)
{
    doc->setParent(this);
    QTextDocument *old = document();
    const bool ours = old && old->parent() == this;
    setDocument(doc); // the control frees the document it made itself, the others are ours
    if (ours)
        old->deleteLater();
    m_rowBreaks.reset(std::move(rowBreaks));
    m_lineCachePosition = -1;
    m_colouredLast = -1;
    m_caretLineStart = -1;
    disconnect(m_rowBreakEdits);
    m_rowBreakEdits = connect(doc, &QTextDocument::contentsChange, this,
                              [this](int pos, int removed, int added) {
                                  m_lineCachePosition = -1;
                                  m_rowBreaks.update(document(), pos, removed, added);
                                  // An edit next to the caret may leave it where it was.
                                  queueBracketMarks();
                              });
    updateLineNumbersWidth();
}

void ScriptEditorWidget::loadText(const QString &text)
{
    m_lineCachePosition = -1;
    if (text.size() < kBackgroundLoadChars) {
        std::vector<int> breaks = LongLines::rowBreaks(text);
        document()->setUndoRedoEnabled(false);
        if (breaks.empty()) {
            setPlainText(text);
        } else {
            RowBreaks::fill(document(), text, breaks);
            moveCursor(QTextCursor::Start);
        }
        document()->setUndoRedoEnabled(true);
        document()->setModified(false);
        m_rowBreaks.reset(std::move(breaks));
        emit textLoaded();
        return;
    }
    m_loading = true;
    setReadOnly(true);
    // The beginning shows at once, to read and scroll, while the whole text is laid out.
    const qsizetype lineEnd = text.lastIndexOf(u'\n', kPreviewChars);
    const QString preview = text.left(lineEnd > 0 ? lineEnd : kPreviewChars);
    std::vector<int> previewBreaks = LongLines::rowBreaks(preview);
    document()->setUndoRedoEnabled(false);
    if (previewBreaks.empty()) {
        setPlainText(preview);
    } else {
        RowBreaks::fill(document(), preview, previewBreaks);
        moveCursor(QTextCursor::Start);
    }
    m_rowBreaks.reset(std::move(previewBreaks));
    document()->setModified(false);

    // Made here, where its first view lives, and filled in a worker, which takes it over.
    QTextDocument *doc = m_documents.make(font(), document()->defaultTextOption());
    doc->moveToThread(nullptr);
    QPointer<ScriptEditorWidget> self(this);
    QThread *ui = thread();
    m_abandoned = std::make_shared<std::atomic_bool>(false);
    workerPool()->start([self, ui, text, doc, abandoned = m_abandoned] {
        doc->moveToThread(QThread::currentThread());
        doc->setUndoRedoEnabled(false);
        std::vector<int> breaks = LongLines::rowBreaks(text);
        RowBreaks::fill(doc, text, breaks);
        if (*abandoned) { // the tab was closed meanwhile: free the text here, not in the
                          // window's thread
            delete doc;
            return;
        }
        doc->setUndoRedoEnabled(true);
        doc->setModified(false);
        doc->moveToThread(ui);
        QMetaObject::invokeMethod(
                qApp,
                [self, doc, text, breaks = std::move(breaks)]() mutable {
                    if (self)
                        self->adoptDocument(doc, text, std::move(breaks));
                    else
                        delete doc; // the tab was closed while its text was being laid out
                },
                Qt::QueuedConnection);
    });
}

void ScriptEditorWidget::adoptDocument(QTextDocument *doc, QString plainText,
                                       std::vector<int> rowBreaks)
{
    // The beginning shown meanwhile is the start of the whole text: the caret and the view
    // stay where the user put them.
    const int caret = textCursor().position();
    const int anchor = textCursor().anchor();
    const int top = verticalScrollBar()->value();
    useDocument(doc, std::move(rowBreaks));
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

RowBreaks::LinePosition ScriptEditorWidget::linePosition(int position) const
{
    // The status line asks ten times a second; walking back over a long line's rows is not free.
    if (position != m_lineCachePosition) {
        m_lineCache = m_rowBreaks.at(document(), position);
        m_lineCachePosition = position;
    }
    return m_lineCache;
}

int ScriptEditorWidget::lineOf(int position) const
{
    return m_rowBreaks.at(document(), position).row;
}

int ScriptEditorWidget::lineStartOf(int position) const
{
    return position - m_rowBreaks.at(document(), position).column;
}

void ScriptEditorWidget::setLineNumbersShown(bool on)
{
    m_lineNumbersShown = on;
    updateLineNumbersWidth();
}

void ScriptEditorWidget::setCurrentLineShown(bool on)
{
    m_currentLineShown = on;
    viewport()->update();
}

void ScriptEditorWidget::setBracketsShown(bool on)
{
    m_bracketsShown = on;
    markBrackets();
}

void ScriptEditorWidget::setIndentStyle(const Indent::Style &style)
{
    m_indent = style;
    setTabStopDistance(QFontMetricsF(font()).horizontalAdvance(QLatin1Char(' '))
                       * std::max(1, style.tabWidth));
}

void ScriptEditorWidget::updateLineNumbersWidth()
{
    if (!m_lineNumbers)
        return;
    // A long line's rows are one line.
    const int lines = document()->blockCount() - int(m_rowBreaks.positions().size());
    const int width = m_lineNumbersShown ? m_lineNumbers->widthFor(lines) : 0;
    if (viewportMargins().left() != width)
        setViewportMargins(width, 0, 0, 0);
    m_lineNumbers->setGeometry(contentsRect().left(), viewport()->geometry().top(), width,
                               viewport()->height());
    m_lineNumbers->setVisible(m_lineNumbersShown);
}

void ScriptEditorWidget::resizeEvent(QResizeEvent *e)
{
    QPlainTextEdit::resizeEvent(e);
    updateLineNumbersWidth();
}

void ScriptEditorWidget::caretMoved()
{
    const int lineStart = lineStartOf(textCursor().position());
    if (lineStart != m_caretLineStart) {
        m_caretLineStart = lineStart;
        if (m_currentLineShown)
            viewport()->update();
        if (m_lineNumbersShown)
            m_lineNumbers->update();
    }
    markBrackets();
}

void ScriptEditorWidget::queueBracketMarks()
{
    // Once the edit is over, and once for all the edits of one key.
    if (m_bracketsPending)
        return;
    m_bracketsPending = true;
    QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_bracketsPending)
                    markBrackets();
            },
            Qt::QueuedConnection);
}

void ScriptEditorWidget::markBrackets()
{
    m_bracketsPending = false;
    QList<QTextEdit::ExtraSelection> marks;
    if (m_bracketsShown)
        marks = BracketMarks::at(document(), m_rowBreaks.positions(), textCursor().position());
    if (!marks.isEmpty() || !extraSelections().isEmpty())
        setExtraSelections(marks);
}

void ScriptEditorWidget::markDebuggerLine(int line)
{
    if (line < 1) {
        if (m_debuggerLine.isNull())
            return;
        m_debuggerLine = QTextCursor();
    } else {
        // Still loading: the place is not in the text yet, and the next stop comes soon.
        if (isLoading())
            return;
        moveCaretToLine(this, line, 1);
        m_debuggerLine = textCursor();
    }
    viewport()->update();
}

int ScriptEditorWidget::debuggerLine() const
{
    return m_debuggerLine.isNull() ? 0 : lineOf(m_debuggerLine.position()) + 1;
}

void ScriptEditorWidget::paintLineBand(const QRect &painting, const QTextCursor &caret,
                                       const QColor &colour)
{
    // The rows of the caret's line on screen: from the line's start through the caret's row,
    // and on while rows follow.
    const int lineStart = lineStartOf(caret.position());
    const int caretRow = caret.block().position();
    QPainter painter(viewport());
    QPointF offset = contentOffset();
    QTextBlock block = firstVisibleBlock();
    bool inLine = block.isValid() && lineStartOf(block.position()) == lineStart;
    for (bool first = true; block.isValid() && offset.y() <= painting.bottom();
         block = block.next(), first = false) {
        const QRectF r = blockBoundingRect(block).translated(offset);
        offset.ry() += r.height();
        if (!first) {
            const int at = block.position();
            inLine = (at >= lineStart && at <= caretRow) || (inLine && RowBreaks::before(block));
        }
        if (!inLine) {
            if (block.position() > caretRow)
                break;
            continue;
        }
        if (block.isVisible() && r.bottom() >= painting.top())
            painter.fillRect(QRectF(0, r.top(), viewport()->width(), r.height()), colour);
    }
}

void ScriptEditorWidget::setColours(Colours colours)
{
    m_colours = std::move(colours);
    viewport()->update();
}

void ScriptEditorWidget::coloursChanged(int from, int to)
{
    if (to >= m_shownFrom && from <= m_shownTo)
        viewport()->update();
}

void ScriptEditorWidget::paintEvent(QPaintEvent *e)
{
    const QRegion stale = colourShownLines(e->rect());
    if (m_currentLineShown)
        paintLineBand(e->rect(), textCursor(), kCaretLine);
    if (!m_debuggerLine.isNull())
        paintLineBand(e->rect(), m_debuggerLine, kDebuggerLine);
    QPlainTextEdit::paintEvent(e);
    drawStandIns(e->rect());
    if (!stale.isEmpty())
        viewport()->update(stale);
}

QRegion ScriptEditorWidget::colourShownLines(const QRect &painting)
{
    // Each line on screen gets its colours before it is laid out; a line whose colours
    // changed outside what is being painted is painted again.
    QTextDocument *doc = document();
    QRegion stale;
    const QTextCursor selection = textCursor();
    const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
    QTextCharFormat selected;
    selected.setForeground(palette().brush(group, QPalette::HighlightedText));
    selected.setBackground(palette().brush(group, QPalette::Highlight));
    QPointF offset = contentOffset();
    QTextBlock block = firstVisibleBlock();
    const int first = block.blockNumber();
    int last = first - 1;
    m_shownFrom = block.position();
    int changedFrom = INT_MAX;
    int changedTo = -1;
    const auto changed = [&](const QTextBlock &b) {
        changedFrom = std::min(changedFrom, b.position());
        changedTo = std::max(changedTo, b.position() + b.length());
    };
    while (block.isValid() && offset.y() <= viewport()->height()) {
        if (block.isVisible()) {
            const int from = block.position();
            const int to = from + block.length() - 1;
            QList<QTextLayout::FormatRange> ranges;
            if (m_colours)
                ranges = m_colours(from, to);
            const int selFrom = std::max(selection.selectionStart(), from);
            const int selTo = std::min(selection.selectionEnd(), to);
            if (selFrom < selTo)
                ranges = overSelection(ranges, selFrom - from, selTo - from, selected);
            QTextLayout *layout = block.layout();
            if (layout->formats() != ranges) {
                layout->setFormats(ranges);
                changed(block);
                const QRect r = blockBoundingRect(block).translated(offset).toAlignedRect();
                stale += QRegion(r).subtracted(painting);
            }
        }
        offset.ry() += blockBoundingRect(block).height();
        last = block.blockNumber();
        m_shownTo = block.position() + block.length();
        block = block.next();
    }
    // Lines scrolled away give their colours back.
    if (m_colouredBlockCount == doc->blockCount()) {
        for (int n = m_colouredFirst; n <= m_colouredLast; ++n) {
            if (n >= first && n <= last)
                continue;
            const QTextBlock gone = doc->findBlockByNumber(n);
            if (gone.isValid() && !gone.layout()->formats().isEmpty()) {
                gone.layout()->clearFormats();
                changed(gone);
            }
        }
    }
    if (changedTo >= 0) {
        if (auto *layout = qobject_cast<EditorLayout *>(doc->documentLayout()))
            layout->formatsChanged(changedFrom,
                                   std::min(changedTo, doc->characterCount()) - changedFrom);
    }
    m_colouredFirst = first;
    m_colouredLast = last;
    m_colouredBlockCount = doc->blockCount();
    return stale;
}

void ScriptEditorWidget::drawStandIns(const QRect &painting)
{
    // A row break that stands in for a character other than a blank shows that character at
    // the end of its row.
    if (!RowBreaks::mayHold(document()))
        return;
    QPainter painter(viewport());
    const QTextCursor selection = textCursor();
    QPointF offset = contentOffset();
    for (QTextBlock block = firstVisibleBlock();
         block.isValid() && offset.y() <= viewport()->height(); block = block.next()) {
        const QRectF r = blockBoundingRect(block).translated(offset);
        offset.ry() += r.height();
        const QTextBlock next = block.next();
        if (!block.isVisible() || !r.intersects(painting) || !RowBreaks::before(next))
            continue;
        const QChar c = RowBreaks::standsFor(next);
        if (LongLines::isBlank(c))
            continue;
        const int at = next.position() - 1;
        QTextCharFormat format;
        if (m_colours) {
            const QList<QTextLayout::FormatRange> ranges = m_colours(at, at + 1);
            if (!ranges.isEmpty())
                format = ranges.front().format;
        }
        const QFont font = format.font().resolve(document()->defaultFont());
        QColor colour = format.hasProperty(QTextFormat::ForegroundBrush)
                                ? format.foreground().color()
                                : palette().color(QPalette::Text);
        const QTextLayout *layout = block.layout();
        const QTextLine line = layout->lineAt(layout->lineCount() - 1);
        const QPointF topLeft(r.left() + line.cursorToX(block.length() - 1), r.top() + line.y());
        const QRectF cell(topLeft, QSizeF(QFontMetricsF(font).horizontalAdvance(c), line.height()));
        if (at >= selection.selectionStart() && at < selection.selectionEnd()) {
            const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
            painter.fillRect(cell, palette().brush(group, QPalette::Highlight));
            colour = palette().color(group, QPalette::HighlightedText);
        }
        painter.setFont(font);
        painter.setPen(colour);
        painter.drawText(QPointF(topLeft.x(), topLeft.y() + line.ascent()), QString(c));
    }
}

QMimeData *ScriptEditorWidget::createMimeDataFromSelection() const
{
    if (!RowBreaks::mayHold(document()))
        return QPlainTextEdit::createMimeDataFromSelection();
    const QTextCursor c = textCursor();
    auto *data = new QMimeData;
    data->setText(RowBreaks::text(document(), c.selectionStart(), c.selectionEnd()));
    return data;
}

void ScriptEditorWidget::insertFromMimeData(const QMimeData *source)
{
    if (!source->hasText()
        || (!RowBreaks::mayHold(document()) && source->text().size() <= LongLines::kLongLine)) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    QTextCursor c = textCursor();
    RowBreaks::insert(c, source->text());
    setTextCursor(c);
    ensureCursorVisible();
}

bool ScriptEditorWidget::event(QEvent *e)
{
    if (e->type() == QEvent::ShortcutOverride) {
        auto *k = static_cast<QKeyEvent *>(e);
        const auto combo = k->keyCombination();
        // Alt+A belongs to "Select all" while the editor has the focus, not to the About box.
        // The control keeps Ctrl+A, Ctrl+Z and its other standard keys, which the window's
        // commands have too: so each acts once, here.
        if (combo == QKeyCombination(Qt::AltModifier, Qt::Key_A)) {
            e->accept();
            return true;
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
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    if (!t.isEmpty() && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        emit keyTyped(enter ? QChar(13) : t.front());
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    if (!isReadOnly()) {
        if (enter && mods == Qt::NoModifier) {
            LineEditing::breakLine(*this);
            return;
        }
        if (e->key() == Qt::Key_Tab && mods == Qt::NoModifier) {
            LineEditing::tab(*this);
            return;
        }
        if (e->key() == Qt::Key_Backtab || (e->key() == Qt::Key_Tab && mods == Qt::ShiftModifier)) {
            LineEditing::outdent(*this);
            return;
        }
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
    // The raw text keeps every character (non-breaking spaces included) exactly as typed; line
    // breaks and the characters of row breaks are put back.
    writeTextFile(path, RowBreaks::text(doc.Editor->document()), doc.Format);
}
