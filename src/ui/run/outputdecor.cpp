#include "ui/run/outputdecor.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QUrl>

#include <algorithm>

namespace {

bool g_enabled = true;

// Output inserted later gets its colours where the panel shows it this soon; once output
// pauses, the rest follows in slices of this size, for at most this long per turn.
constexpr int kLaterMs = 100;
constexpr int kSliceChars = 16 * 1024;
constexpr int kSliceBudgetMs = 8;

QTextCharFormat formatOf(const AnsiStyle &style)
{
    QTextCharFormat f;
    if (style.foreground)
        f.setForeground(QColor::fromRgba(style.foreground));
    if (style.background)
        f.setBackground(QColor::fromRgba(style.background));
    if (style.bold)
        f.setFontWeight(QFont::Bold);
    return f;
}

bool isLineBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator;
}

qsizetype nextBreak(QStringView text, qsizetype from)
{
    for (qsizetype i = from; i < text.size(); ++i) {
        if (isLineBreak(text[i]))
            return i;
    }
    return -1;
}

} // namespace

OutputDecor::OutputDecor(QPlainTextEdit *panel)
    : QObject(panel)
    , m_panel(panel)
    , m_viewport(panel->viewport())
    , m_later(new QTimer(this))
    , m_stream(std::make_shared<Stream>())
{
    m_later->setSingleShot(true);
    connect(m_later, &QTimer::timeout, this, &OutputDecor::decorateSome);
    panel->installEventFilter(this);
    m_viewport->installEventFilter(this);
}

void OutputDecor::setEnabled(bool on)
{
    g_enabled = on;
}

void OutputDecor::reset(const QString &folder)
{
    m_ansi.reset();
    // Output of the run before that waits for its colours keeps what it needs.
    m_stream = std::make_shared<Stream>();
    m_stream->links.setFolder(folder);
    m_taken = 0;
}

QString OutputDecor::take(const QString &chunk)
{
    if (!g_enabled)
        return chunk;
    QList<AnsiSpan> spans;
    // Most output has no escapes: it is passed on without a copy.
    const bool same = m_ansi.passesThrough(chunk);
    QString text = same ? chunk : m_ansi.feed(chunk, &spans);
    if (same && !m_ansi.style().isPlain())
        spans.append({0, chunk.size(), m_ansi.style()});
    std::deque<Styled> &styled = m_stream->styled;
    for (const AnsiSpan &s : spans) {
        const qint64 from = m_taken + s.start;
        QTextCharFormat format = formatOf(s.style);
        if (!styled.empty() && styled.back().to == from && styled.back().format == format)
            styled.back().to += s.length;
        else
            styled.push_back({from, from + s.length, std::move(format)});
    }
    m_taken += text.size();
    return text;
}

void OutputDecor::insert(const QString &text, qint64 streamPos)
{
    QTextCursor end(m_panel->document());
    end.movePosition(QTextCursor::End);
    // One edit: the panel lays out each line once, not again for every colour and link in it.
    end.beginEditBlock();
    if (!g_enabled) {
        end.insertText(text);
        end.endEditBlock();
        return;
    }
    const QTextBlock open = end.block();
    const int at = end.position();
    insertStyled(end, text, streamPos);
    scanCompleted(open, at, text);
    end.endEditBlock();
}

void OutputDecor::scanCompleted(const QTextBlock &open, int at, const QString &text)
{
    // Lines this text completes: the one that was open, then those wholly in it.
    const QStringView t(text);
    qsizetype lineEnd = nextBreak(t, 0);
    if (lineEnd < 0)
        return;
    scanLine(m_stream->links, open.position(), open.text());
    for (qsizetype lineStart = lineEnd + 1; (lineEnd = nextBreak(t, lineStart)) >= 0;
         lineStart = lineEnd + 1)
        scanLine(m_stream->links, at + int(lineStart), t.mid(lineStart, lineEnd - lineStart));
}

void OutputDecor::insertStyled(QTextCursor &end, const QString &text, qint64 streamPos)
{
    if (streamPos >= 0)
        forgetStylesBefore(streamPos);
    const std::deque<Styled> &styled = m_stream->styled;
    const qint64 stop = streamPos + text.size();
    auto s = std::lower_bound(styled.begin(), styled.end(), streamPos,
                              [](const Styled &st, qint64 at) { return st.to <= at; });
    if (streamPos < 0 || s == styled.end() || s->from >= stop) {
        end.insertText(text, m_plain);
        return;
    }
    qint64 at = streamPos;
    auto put = [&](qint64 to, const QTextCharFormat &format) {
        if (to > at)
            end.insertText(text.mid(qsizetype(at - streamPos), qsizetype(to - at)), format);
        at = qMax(at, to);
    };
    for (; s != styled.end() && s->from < stop; ++s) {
        put(s->from, m_plain);
        put(qMin(s->to, stop), s->format);
    }
    put(stop, m_plain);
}

// Colours of output the panel let go of are of no more use, those of output still to be
// decorated are.
void OutputDecor::forgetStylesBefore(qint64 streamPos)
{
    qint64 needed = streamPos;
    for (const Undecorated &u : m_undecorated) {
        if (u.stream == m_stream && u.from.position() < u.to.position()) {
            needed = qMin(needed, u.streamTo - (u.to.position() - u.from.position()));
            break;
        }
    }
    std::deque<Styled> &styled = m_stream->styled;
    while (!styled.empty() && styled.front().to <= needed)
        styled.pop_front();
}

void OutputDecor::insertLater(const QString &text, qint64 streamPos, int part)
{
    QTextCursor end(m_panel->document());
    end.movePosition(QTextCursor::End);
    const int at = end.position();
    end.beginEditBlock(); // the cursor then does not lay out the line it ends on
    end.insertText(text, m_plain);
    end.endEditBlock();
    if (!g_enabled || text.isEmpty())
        return;
    const qint64 streamTo = streamPos + text.size();
    Undecorated *last = m_undecorated.empty() ? nullptr : &m_undecorated.back();
    if (last && last->stream == m_stream && last->part == part && last->to.position() == at
        && last->streamTo == streamPos) {
        last->to.setPosition(end.position());
        last->streamTo = streamTo;
    } else {
        QTextCursor from(m_panel->document());
        from.setPosition(at);
        QTextCursor to(m_panel->document());
        to.setPosition(end.position());
        to.setKeepPositionOnInsert(true);
        m_undecorated.push_back({from, to, streamTo, m_stream, part});
    }
    forgetStylesBefore(streamPos);
    m_grew = true;
    if (!m_later->isActive())
        m_later->start(kLaterMs);
}

// Colours and links for panel positions [from, to) of undecorated output index, which then no
// longer holds them. A line gets its links from whoever decorates its line break.
void OutputDecor::decorate(std::size_t index, int from, int to)
{
    Undecorated &u = m_undecorated[index];
    const int uFrom = u.from.position();
    const int uTo = u.to.position();
    from = qMax(from, uFrom);
    to = qMin(to, uTo);
    if (from >= to)
        return;
    Stream &stream = *u.stream;
    const qint64 streamFrom = u.streamTo - (uTo - from);
    const qint64 streamTo = streamFrom + (to - from);
    QTextDocument *doc = m_panel->document();
    QTextCursor c(doc);
    auto s = std::lower_bound(stream.styled.begin(), stream.styled.end(), streamFrom,
                              [](const Styled &st, qint64 at) { return st.to <= at; });
    for (; s != stream.styled.end() && s->from < streamTo; ++s) {
        // Merged, not set: links on the same line may be there already.
        c.setPosition(from + int(qMax(s->from, streamFrom) - streamFrom));
        c.setPosition(from + int(qMin(s->to, streamTo) - streamFrom), QTextCursor::KeepAnchor);
        c.mergeCharFormat(s->format);
    }
    for (QTextBlock b = doc->findBlock(from); b.isValid(); b = b.next()) {
        const int lineBreak = b.position() + b.length() - 1;
        if (lineBreak >= to)
            break;
        scanLine(stream.links, b.position(), b.text());
    }
    if (from == uFrom && to == uTo) {
        m_undecorated.erase(m_undecorated.begin() + std::ptrdiff_t(index));
    } else if (from == uFrom) {
        u.from.setPosition(to);
    } else if (to == uTo) {
        u.to.setPosition(from);
        u.streamTo = streamFrom;
    } else {
        Undecorated after{QTextCursor(doc), u.to, u.streamTo, u.stream, u.part};
        after.from.setPosition(to);
        u.to = QTextCursor(doc);
        u.to.setPosition(from);
        u.to.setKeepPositionOnInsert(true);
        u.streamTo = streamFrom;
        m_undecorated.insert(m_undecorated.begin() + std::ptrdiff_t(index) + 1, std::move(after));
    }
}

void OutputDecor::decorateRange(int from, int to)
{
    for (std::size_t i = m_undecorated.size(); i-- > 0;)
        decorate(i, from, to);
}

void OutputDecor::decorateSome()
{
    // Output the panel let go of, or cleared, leaves nothing to decorate.
    m_undecorated.erase(std::remove_if(m_undecorated.begin(), m_undecorated.end(),
                                       [](const Undecorated &u) {
                                           return u.from.position() >= u.to.position();
                                       }),
                        m_undecorated.end());
    const bool paused = !std::exchange(m_grew, false);
    if (m_undecorated.empty())
        return;
    QTextCursor edit(m_panel->document());
    edit.beginEditBlock(); // the panel lays out what changed once
    if (m_panel->isVisible()) {
        const QRect shown = m_viewport->rect();
        const int top = m_panel->cursorForPosition(shown.topLeft()).block().position();
        const QTextBlock bottom = m_panel->cursorForPosition(shown.bottomRight()).block();
        decorateRange(top, bottom.position() + bottom.length());
    }
    if (paused) {
        // The newest first: the end of the output is where a user looks.
        QElapsedTimer spent;
        spent.start();
        while (!m_undecorated.empty() && spent.elapsed() < kSliceBudgetMs) {
            const std::size_t last = m_undecorated.size() - 1;
            const int to = m_undecorated[last].to.position();
            decorate(last, to - kSliceChars, to);
        }
    }
    edit.endEditBlock();
    if (!m_undecorated.empty())
        m_later->start(paused ? 0 : kLaterMs);
}

void OutputDecor::closeLastLine()
{
    if (!g_enabled)
        return;
    const QTextBlock last = m_panel->document()->lastBlock();
    scanLine(m_stream->links, last.position(), last.text());
}

void OutputDecor::scanLine(ErrorLinkFinder &finder, int position, QStringView line)
{
    if (!ErrorLinkFinder::mayHold(line))
        return;
    const QList<ErrorLink> links = finder.find(line);
    if (links.isEmpty())
        return;
    QTextCursor c(m_panel->document());
    for (const ErrorLink &l : links) {
        QTextCharFormat f;
        f.setAnchor(true);
        f.setAnchorHref(href(l.path, l.line));
        f.setFontUnderline(true);
        c.setPosition(position + int(l.start));
        c.setPosition(position + int(l.start + l.length), QTextCursor::KeepAnchor);
        c.mergeCharFormat(f);
    }
}

QString OutputDecor::href(const QString &path, int line)
{
    QUrl url = QUrl::fromLocalFile(path);
    url.setFragment(QString::number(line));
    return url.toString(QUrl::FullyEncoded);
}

bool OutputDecor::parseHref(const QString &href, QString *path, int *line)
{
    const QUrl url(href, QUrl::StrictMode);
    bool ok = false;
    *line = url.fragment().toInt(&ok);
    *path = url.toLocalFile();
    return ok && url.isLocalFile() && !path->isEmpty();
}

bool OutputDecor::follow(const QString &href)
{
    QString path;
    int line = 0;
    if (!parseHref(href, &path, &line))
        return false;
    emit linkActivated(path, line);
    return true;
}

bool OutputDecor::followLinkIn(const QTextBlock &block)
{
    decorateRange(block.position(), block.position() + block.length());
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextCharFormat f = it.fragment().charFormat();
        if (f.isAnchor() && follow(f.anchorHref()))
            return true;
    }
    return false;
}

bool OutputDecor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_panel && event->type() == QEvent::KeyPress) {
        const auto *k = static_cast<QKeyEvent *>(event);
        const bool enter = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
        if (enter && m_panel->isReadOnly() && k->modifiers() == Qt::NoModifier)
            return followLinkIn(m_panel->textCursor().block());
        return false;
    }
    if (watched != m_viewport)
        return false;
    // A click, not the end of a drag that selects text.
    if (event->type() == QEvent::MouseButtonPress) {
        const auto *m = static_cast<QMouseEvent *>(event);
        m_pressedAt = m->position().toPoint();
        m_pressedHref = m->button() == Qt::LeftButton ? m_panel->anchorAt(m_pressedAt) : QString();
    } else if (event->type() == QEvent::MouseButtonRelease) {
        const auto *m = static_cast<QMouseEvent *>(event);
        const QPoint at = m->position().toPoint();
        const QString pressed = std::exchange(m_pressedHref, QString());
        if (m->button() == Qt::LeftButton && !pressed.isEmpty()
            && (at - m_pressedAt).manhattanLength() < QApplication::startDragDistance()
            && m_panel->anchorAt(at) == pressed)
            follow(pressed);
    }
    return false;
}
