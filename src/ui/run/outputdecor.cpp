#include "ui/run/outputdecor.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

namespace {

bool g_enabled = true;

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
{
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
    m_links.setFolder(folder);
    m_styled.clear();
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
    for (const AnsiSpan &s : spans) {
        const qint64 from = m_taken + s.start;
        if (!m_styled.empty() && m_styled.back().to == from
            && m_styled.back().format == formatOf(s.style))
            m_styled.back().to += s.length;
        else
            m_styled.push_back({from, from + s.length, formatOf(s.style)});
    }
    m_taken += text.size();
    return text;
}

void OutputDecor::insert(const QString &text, qint64 streamPos)
{
    QTextCursor end(m_panel->document());
    end.movePosition(QTextCursor::End);
    if (!g_enabled) {
        end.insertText(text);
        return;
    }
    // One edit: the panel lays out each line once, not again for every colour and link in it.
    end.beginEditBlock();
    const QTextBlock open = end.block();
    const int at = end.position();
    insertStyled(end, text, streamPos);
    scanCompleted(open, at, text);
    end.endEditBlock();
}

void OutputDecor::scanCompleted(const QTextBlock &open, int at, const QString &text)
{
    // Lines this text completes: the one that was open, then those wholly in it. Only lines
    // holding the marker need a closer look.
    const QStringView t(text);
    const qsizetype first = nextBreak(t, 0);
    if (first < 0)
        return;
    scanLine(open.position(), open.text());
    const QStringView mark = ErrorLinkFinder::marker();
    qsizetype from = first + 1;
    while (true) {
        const qsizetype hit = t.indexOf(mark, from);
        if (hit < 0)
            break;
        const qsizetype lineEnd = nextBreak(t, hit);
        if (lineEnd < 0)
            break; // still open: looked at when it is complete
        qsizetype lineStart = hit;
        while (lineStart > from && !isLineBreak(t[lineStart - 1]))
            --lineStart;
        scanLine(at + int(lineStart), t.mid(lineStart, lineEnd - lineStart));
        from = lineEnd + 1;
    }
}

void OutputDecor::insertStyled(QTextCursor &end, const QString &text, qint64 streamPos)
{
    // Colours of output the panel let go of are of no more use.
    while (streamPos >= 0 && !m_styled.empty() && m_styled.front().to <= streamPos)
        m_styled.pop_front();
    if (streamPos < 0 || m_styled.empty() || m_styled.front().from >= streamPos + text.size()) {
        end.insertText(text, m_plain);
        return;
    }
    const qint64 stop = streamPos + text.size();
    qint64 at = streamPos;
    auto put = [&](qint64 to, const QTextCharFormat &format) {
        if (to > at)
            end.insertText(text.mid(qsizetype(at - streamPos), qsizetype(to - at)), format);
        at = qMax(at, to);
    };
    for (const Styled &s : m_styled) {
        if (s.from >= stop)
            break;
        put(s.from, m_plain);
        put(qMin(s.to, stop), s.format);
    }
    put(stop, m_plain);
}

void OutputDecor::closeLastLine()
{
    if (!g_enabled)
        return;
    const QTextBlock last = m_panel->document()->lastBlock();
    scanLine(last.position(), last.text());
}

void OutputDecor::scanLine(int position, QStringView line)
{
    if (!ErrorLinkFinder::mayHold(line))
        return;
    const QList<ErrorLink> links = m_links.find(line);
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
