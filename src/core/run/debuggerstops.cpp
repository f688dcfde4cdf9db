#include "core/run/debuggerstops.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

// The place stands at a line's start, after a prompt at most; a line the script printed may be
// megabytes long and is not read further.
constexpr qsizetype kLineKept = 1024;

bool isPrompt(QStringView line)
{
    static const QRegularExpression prompt(QStringLiteral(R"(^\s*DB(<+)\d+(>+) $)"));
    const QRegularExpressionMatch m = prompt.match(line);
    return m.hasMatch() && m.capturedLength(1) == m.capturedLength(2);
}

} // namespace

std::optional<ErrorLink> DebuggerStops::feed(QStringView text)
{
    if (m_escapes.passesThrough(text))
        return take(text);
    return take(m_escapes.feed(text));
}

std::optional<ErrorLink> DebuggerStops::take(QStringView text)
{
    while (!text.isEmpty()) {
        const qsizetype end = text.indexOf(u'\n');
        const QStringView part = end < 0 ? text : text.first(end);
        const qsizetype room = kLineKept - m_line.size();
        if (part.size() > room)
            m_overlong = true;
        m_line.append(part.first(std::min(part.size(), room)));
        if (end < 0)
            break;
        lineDone();
        text = text.sliced(end + 1);
    }
    if (m_overlong || !isPrompt(m_line))
        return std::nullopt;
    return std::exchange(m_last, std::nullopt);
}

void DebuggerStops::lineDone()
{
    // Most lines of a script's own output are not the debugger's: spare them the pattern.
    if (m_line.contains(ErrorLinkFinder::debuggerMarker())) {
        const QList<ErrorLink> places = m_finder.debuggerPlaces(m_line);
        if (!places.isEmpty())
            m_last = places.last();
    }
    m_line.clear();
    m_overlong = false;
}
