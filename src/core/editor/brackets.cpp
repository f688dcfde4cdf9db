#include "core/editor/brackets.h"

namespace Brackets {

namespace {

QChar partnerChar(QChar c)
{
    switch (c.unicode()) {
    case u'(':
        return u')';
    case u')':
        return u'(';
    case u'[':
        return u']';
    case u']':
        return u'[';
    case u'{':
        return u'}';
    case u'}':
        return u'{';
    default:
        return {};
    }
}

bool opens(QChar c)
{
    return c == u'(' || c == u'[' || c == u'{';
}

QChar charAt(const ChunkReader &read, int pos)
{
    const Chunk c = read(pos);
    const qsizetype i = pos - c.start;
    return i >= 0 && i < c.text.size() ? c.text.at(i) : QChar();
}

} // namespace

ChunkReader lines(const QString &text)
{
    return [text](int pos) {
        const qsizetype from = pos > 0 ? text.lastIndexOf(u'\n', pos - 1) + 1 : 0;
        qsizetype to = text.indexOf(u'\n', pos);
        to = to < 0 ? text.size() : to + 1;
        return Chunk{int(from), text.mid(from, to - from)};
    };
}

bool isBracket(QChar c)
{
    return !partnerChar(c).isNull();
}

Match partnerOf(const ChunkReader &read, int length, int pos, int limit)
{
    if (pos < 0 || pos >= length)
        return {};
    Chunk chunk = read(pos);
    const qsizetype at = pos - chunk.start;
    if (at < 0 || at >= chunk.text.size() || !isBracket(chunk.text.at(at)))
        return {};
    const QChar self = chunk.text.at(at);
    const QChar wanted = partnerChar(self);
    const int step = opens(self) ? 1 : -1;
    int depth = 0;
    int looked = 0;
    qsizetype i = at + step;
    for (;;) {
        for (; i >= 0 && i < chunk.text.size(); i += step) {
            if (++looked > limit)
                return {Found::TooFar, pos, -1};
            const QChar c = chunk.text.at(i);
            if (c == self) {
                ++depth;
            } else if (c == wanted && depth-- == 0) {
                return {Found::Partner, pos, chunk.start + int(i)};
            }
        }
        const int next = step > 0 ? chunk.start + int(chunk.text.size()) : chunk.start - 1;
        if (next < 0 || next >= length || chunk.text.isEmpty())
            return {Found::Unmatched, pos, -1};
        chunk = read(next);
        i = next - chunk.start;
    }
}

Match atCaret(const ChunkReader &read, int length, int caret, int limit)
{
    if (caret < length && isBracket(charAt(read, caret)))
        return partnerOf(read, length, caret, limit);
    if (caret > 0 && caret <= length && isBracket(charAt(read, caret - 1)))
        return partnerOf(read, length, caret - 1, limit);
    return {};
}

} // namespace Brackets
