#include "core/run/outputkeeper.h"

namespace {

bool isBreak(QChar c)
{
    return c == u'\n' || c == u'\r';
}

// Index just after the last line break in text[0, limit), "\r\n" taken whole; 0 when none.
qsizetype afterLastBreak(QStringView text, qsizetype limit)
{
    for (qsizetype i = qMin(limit, text.size()) - 1; i >= 0; --i) {
        if (!isBreak(text[i]))
            continue;
        qsizetype next = i + 1;
        if (text[i] == u'\r' && next < text.size() && text[next] == u'\n')
            ++next;
        return next;
    }
    return 0;
}

// Index just after the first line break in text[0, limit); 0 when none.
qsizetype afterFirstBreak(QStringView text, qsizetype limit)
{
    const qsizetype end = qMin(limit, text.size());
    for (qsizetype i = 0; i < end; ++i) {
        if (!isBreak(text[i]))
            continue;
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            return i + 2;
        return i + 1;
    }
    return 0;
}

qint64 countBreaks(QStringView text)
{
    qint64 n = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' || (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n')))
            ++n;
    }
    return n;
}

qint64 utf8Size(QStringView text)
{
    qint64 n = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            n += 1;
        } else if (c < 0x800) {
            n += 2;
        } else if (QChar::isHighSurrogate(c) && i + 1 < text.size()
                   && QChar::isLowSurrogate(text[i + 1].unicode())) {
            n += 4;
            ++i;
        } else {
            n += 3;
        }
    }
    return n;
}

} // namespace

OutputKeeper::OutputKeeper(qsizetype headChars, qsizetype tailChars)
    : m_headChars(qMax<qsizetype>(headChars, 0))
    , m_tailChars(qMax<qsizetype>(tailChars, 1))
{}

void OutputKeeper::reset()
{
    *this = OutputKeeper(m_headChars, m_tailChars);
}

QString OutputKeeper::add(QStringView text)
{
    // The "\n" of a "\r\n" split between two pieces stays with its "\r".
    if (m_headEndsCR && text.startsWith(u'\n') && tailEnd() == 0) {
        m_headEndsCR = false;
        ++m_headSize;
        return QStringLiteral("\n") + add(text.mid(1));
    }
    if (m_headFull) {
        keepEnd(text);
        return {};
    }
    if (m_headSize + text.size() <= m_headChars)
        return passOn(text);
    qsizetype cut = afterLastBreak(text, qMax<qsizetype>(m_headChars - m_headSize, 0));
    if (cut == 0 && (m_headSize == 0 || !m_headEndsLine)) {
        // A line is open at the limit: it may finish a little beyond it, or the beginning
        // ends inside it when it is longer than that.
        const qsizetype hardRoom = m_headChars + m_headChars / 16 - m_headSize;
        cut = afterFirstBreak(text, hardRoom);
        if (cut == 0 && text.size() <= hardRoom)
            return passOn(text);
        if (cut == 0)
            cut = hardRoom;
    }
    m_headFull = true;
    m_headSize += cut;
    m_headEndsCR = cut > 0 && text[cut - 1] == u'\r';
    keepEnd(text.mid(cut));
    return text.left(cut).toString();
}

QString OutputKeeper::passOn(QStringView text)
{
    m_headSize += text.size();
    if (!text.isEmpty()) {
        m_headEndsLine = isBreak(text.back());
        m_headEndsCR = text.back() == u'\r';
    }
    return text.toString();
}

void OutputKeeper::keepEnd(QStringView text)
{
    m_tail.append(text);
    const qsizetype kept = m_tail.size() - m_skip;
    if (kept <= m_tailChars)
        return;
    // Down to somewhat below the limit, so the end is trimmed now and then rather than with every
    // piece, in steps small enough to take out of a panel at once.
    constexpr qsizetype kTrimStep = 64 * 1024;
    const qsizetype target = m_tailChars - qMin(m_tailChars / 8, kTrimStep);
    const qsizetype from = m_tail.size() - target;
    qsizetype start = from;
    for (qsizetype i = from - 1; i + 1 < m_tail.size(); ++i) {
        if (!isBreak(m_tail[i]))
            continue;
        qsizetype next = i + 1;
        if (m_tail[i] == u'\r' && m_tail[next] == u'\n')
            ++next;
        if (next < m_tail.size())
            start = next;
        break;
    }
    const QStringView gone = QStringView(m_tail).mid(m_skip, start - m_skip);
    m_droppedBreaks += countBreaks(gone);
    m_droppedBytes += utf8Size(gone);
    m_droppedEndsLine = isBreak(gone.back());
    m_dropped += gone.size();
    m_skip = start;
    if (m_skip > m_tail.size() / 2) {
        m_tail.remove(0, m_skip);
        m_skip = 0;
    }
}

QStringView OutputKeeper::tail(qint64 from, qsizetype n) const
{
    const qint64 offset = qBound<qint64>(0, from - m_dropped, m_tail.size() - m_skip);
    return QStringView(m_tail).mid(m_skip + qsizetype(offset)).left(n);
}

qint64 OutputKeeper::leftOutLines() const
{
    return m_droppedBreaks + (m_dropped > 0 && !m_droppedEndsLine ? 1 : 0);
}

QString OutputKeeper::note(qint64 lines, qint64 bytes)
{
    return QStringLiteral("\u2026 %1 %2 (%3 %4) left out \u2026")
            .arg(lines)
            .arg(lines == 1 ? QStringLiteral("line") : QStringLiteral("lines"))
            .arg(bytes)
            .arg(bytes == 1 ? QStringLiteral("byte") : QStringLiteral("bytes"));
}
