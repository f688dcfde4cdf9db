#include "core/run/ansi.h"

#include <QVarLengthArray>

#include <utility>

namespace {

constexpr char16_t kEsc = 0x1b;
constexpr char16_t kBel = 0x07;
// An unfinished escape longer than this is no escape: it is dropped rather than held forever.
constexpr qsizetype kMaxSequence = 256;
constexpr qsizetype kMaxString = 4096; // titles and hyperlinks

constexpr quint32 opaque(int r, int g, int b)
{
    return 0xff000000u | (quint32(r) << 16) | (quint32(g) << 8) | quint32(b);
}

const quint32 kNamed[16] = {
        opaque(0, 0, 0),       opaque(205, 0, 0),   opaque(0, 205, 0),   opaque(205, 205, 0),
        opaque(0, 0, 238),     opaque(205, 0, 205), opaque(0, 205, 205), opaque(229, 229, 229),
        opaque(127, 127, 127), opaque(255, 0, 0),   opaque(0, 255, 0),   opaque(255, 255, 0),
        opaque(92, 92, 255),   opaque(255, 0, 255), opaque(0, 255, 255), opaque(255, 255, 255),
};

bool within(char16_t c, char16_t low, char16_t high)
{
    return c >= low && c <= high;
}

// Where a string sequence (OSC, DCS, ...) from `from` ends: after BEL or ESC '\'; -1 if the end
// has not arrived.
qsizetype stringEnd(QStringView s, qsizetype from)
{
    for (qsizetype j = from; j < s.size(); ++j) {
        if (s[j] == kBel)
            return j + 1;
        if (s[j] == kEsc && j + 1 < s.size() && s[j + 1] == u'\\')
            return j + 2;
        if (s[j] == kEsc && j + 1 == s.size())
            return -1;
    }
    return -1;
}

} // namespace

quint32 AnsiParser::paletteColour(int index)
{
    if (index < 0 || index > 255)
        return 0;
    if (index < 16)
        return kNamed[index];
    if (index < 232) {
        static const int level[6] = {0, 95, 135, 175, 215, 255};
        const int i = index - 16;
        return opaque(level[i / 36], level[(i / 6) % 6], level[i % 6]);
    }
    const int grey = 8 + 10 * (index - 232);
    return opaque(grey, grey, grey);
}

void AnsiParser::reset()
{
    m_style = AnsiStyle();
    m_pending.clear();
}

QString AnsiParser::feed(QStringView chunk, QList<AnsiSpan> *spans)
{
    if (m_pending.isEmpty() && !chunk.contains(QChar(kEsc))) {
        if (spans && !m_style.isPlain() && !chunk.isEmpty())
            spans->append({0, chunk.size(), m_style});
        return chunk.toString();
    }
    QString joined = std::exchange(m_pending, QString());
    joined += chunk;
    const QStringView s(joined);
    QString out;
    out.reserve(s.size());
    auto emitText = [&](qsizetype from, qsizetype to) {
        if (to <= from)
            return;
        if (spans && !m_style.isPlain()) {
            if (!spans->isEmpty() && spans->last().style == m_style
                && spans->last().start + spans->last().length == out.size())
                spans->last().length += to - from;
            else
                spans->append({out.size(), to - from, m_style});
        }
        out += s.mid(from, to - from);
    };
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n) {
        const qsizetype esc = s.indexOf(QChar(kEsc), i);
        if (esc < 0) {
            emitText(i, n);
            break;
        }
        emitText(i, esc);
        i = esc;
        if (i + 1 >= n) {
            m_pending = s.mid(i).toString();
            break;
        }
        const char16_t kind = s[i + 1].unicode();
        qsizetype end = -1; // after the sequence; -1: not complete yet
        qsizetype limit = kMaxSequence;
        if (kind == u'[') {
            qsizetype j = i + 2;
            while (j < n && within(s[j].unicode(), 0x30, 0x3f))
                ++j;
            const qsizetype paramsEnd = j;
            while (j < n && within(s[j].unicode(), 0x20, 0x2f))
                ++j;
            if (j < n) {
                if (within(s[j].unicode(), 0x40, 0x7e)) {
                    if (s[j] == u'm' && paramsEnd == j)
                        applySgr(s.mid(i + 2, paramsEnd - i - 2));
                    end = j + 1;
                } else {
                    end = j; // broken off: what follows is text again
                }
            }
        } else if (kind == u']' || kind == u'P' || kind == u'X' || kind == u'^' || kind == u'_') {
            end = stringEnd(s, i + 2);
            limit = kMaxString;
        } else {
            // Two or three characters: ESC, intermediates, a final one.
            qsizetype j = i + 1;
            while (j < n && within(s[j].unicode(), 0x20, 0x2f))
                ++j;
            if (j < n)
                end = j + 1;
        }
        if (end < 0) {
            if (n - i <= limit) {
                m_pending = s.mid(i).toString();
                break;
            }
            end = i + 2; // too long to be one: the escape and its kind go, the rest is text
        }
        i = end;
    }
    return out;
}

void AnsiParser::applySgr(QStringView parameters)
{
    QVarLengthArray<int, 16> codes;
    qsizetype from = 0;
    for (qsizetype j = 0; j <= parameters.size(); ++j) {
        if (j == parameters.size() || parameters[j] == u';' || parameters[j] == u':') {
            bool ok = false;
            const int v = parameters.mid(from, j - from).toInt(&ok);
            codes.append(ok ? v : 0);
            from = j + 1;
        }
    }
    for (qsizetype k = 0; k < codes.size(); ++k) {
        const int c = codes[k];
        if (c == 0) {
            m_style = AnsiStyle();
        } else if (c == 1) {
            m_style.bold = true;
        } else if (c == 22) {
            m_style.bold = false;
        } else if (c >= 30 && c <= 37) {
            m_style.foreground = kNamed[c - 30];
        } else if (c >= 90 && c <= 97) {
            m_style.foreground = kNamed[c - 90 + 8];
        } else if (c == 39) {
            m_style.foreground = 0;
        } else if (c >= 40 && c <= 47) {
            m_style.background = kNamed[c - 40];
        } else if (c >= 100 && c <= 107) {
            m_style.background = kNamed[c - 100 + 8];
        } else if (c == 49) {
            m_style.background = 0;
        } else if (c == 38 || c == 48) {
            quint32 colour = 0;
            if (k + 2 < codes.size() && codes[k + 1] == 5) {
                colour = paletteColour(codes[k + 2]);
                k += 2;
            } else if (k + 4 < codes.size() && codes[k + 1] == 2) {
                colour = opaque(qBound(0, codes[k + 2], 255), qBound(0, codes[k + 3], 255),
                                qBound(0, codes[k + 4], 255));
                k += 4;
            } else {
                break; // malformed: the rest cannot be read reliably
            }
            (c == 38 ? m_style.foreground : m_style.background) = colour;
        }
    }
}
