#include "core/editor/longlines.h"

namespace LongLines {

bool canStandIn(QChar c)
{
    return !c.isSurrogate() && c != u'\r' && c != u'\n' && c != QChar::LineSeparator
           && c != QChar::ParagraphSeparator;
}

namespace {

// Where the row from start ends, or -1 when nothing further in the line can end one.
int rowEnd(QStringView text, int start, int lineEnd)
{
    const int full = start + kRowChars;
    for (int i = full; i > start + kRowChars / 2; --i) {
        if (isBlank(text[i]))
            return i;
    }
    for (int i = full; i > start; --i) {
        if (canStandIn(text[i]))
            return i;
    }
    for (int i = full + 1; i < lineEnd; ++i) {
        if (canStandIn(text[i]))
            return i;
    }
    return -1;
}

} // namespace

std::vector<int> rowBreaks(QStringView text)
{
    std::vector<int> breaks;
    const int size = int(text.size());
    for (int lineStart = 0; lineStart < size;) {
        const qsizetype nl = text.indexOf(u'\n', lineStart);
        const int lineEnd = nl < 0 ? size : int(nl);
        if (lineEnd - lineStart > kLongLine) {
            for (int start = lineStart; lineEnd - start > kRowChars;) {
                const int at = rowEnd(text, start, lineEnd);
                if (at < 0)
                    break;
                breaks.push_back(at);
                start = at + 1;
            }
        }
        lineStart = lineEnd + 1;
    }
    return breaks;
}

} // namespace LongLines
