#include "core/editor/linecolumn.h"

#include <algorithm>
#include <climits>

namespace LineColumn {

namespace {

// A positive decimal number, saturating at INT_MAX.
std::optional<int> number(QStringView text)
{
    text = text.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    long long value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = std::min<long long>(value * 10 + (c.unicode() - u'0'), INT_MAX);
    }
    if (value == 0)
        return std::nullopt;
    return int(value);
}

} // namespace

std::optional<Place> parse(QStringView text)
{
    const qsizetype colon = text.indexOf(u':');
    const std::optional<int> line = number(colon < 0 ? text : text.left(colon));
    if (!line)
        return std::nullopt;
    if (colon < 0)
        return Place{*line, 1};
    const std::optional<int> column = number(text.mid(colon + 1));
    if (!column)
        return std::nullopt;
    return Place{*line, *column};
}

} // namespace LineColumn
