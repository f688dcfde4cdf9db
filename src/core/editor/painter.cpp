#include "core/editor/painter.h"

#include <algorithm>
#include <climits>
#include <map>

// A run walks the text once for all definitions: at each character only the definitions whose
// match can start there are tried, and each keeps the position where its own search (as if it
// ran alone, in list order) would go on. The ranges found are then decided in the order the
// definitions would have painted them: by start, and at one start by list order.

namespace {

constexpr int kLongestRun = 255;
// A slice ends at a line start when one is this near; in a longer line it ends inside the line.
constexpr int kLineStartReach = 4096;
static_assert(PaintState::kReach >= kLongestRun + 1, "a state must cover a delimited run's search");

// Scope 2 runs end at a control character other than the tab; the paragraph and line
// separators count as line ends too, for callers that pass a document's raw text.
bool isLineEnd(char16_t c)
{
    return c < 9 || (c >= 10 && c < 32) || c == 0x2028 || c == 0x2029;
}

} // namespace

PatternPainter::PatternPainter(const ColorDefinitions &defs, int defaultColor)
{
    // Buckets are filled from ordered maps so that each holds its definitions in list order.
    std::map<char16_t, std::vector<int>> direct;
    std::map<char16_t, std::vector<int>> word;
    m_defs.resize(size_t(defs.size()));
    for (int k = 0; k < defs.size(); ++k) {
        Def &d = m_defs[size_t(k)];
        d.pattern = defs.at(k).pattern();
        d.scope = defs.at(k).scope;
        d.claims = defs.style(k).color != defaultColor;
        // Nothing to search for, or a match that would cross a line: neither can be painted,
        // and keeping every match inside one line is what lets a run resume at a line start.
        if (d.pattern.isEmpty() || d.pattern.contains(u'\n'))
            d.scope = -1;
        if (d.scope < 0 || d.scope > 3)
            continue;
        (d.scope == 1 ? word : direct)[d.pattern.front().unicode()].push_back(k);
    }
    const auto fill = [this](const std::map<char16_t, std::vector<int>> &byChar,
                             std::array<Bucket, 128> &ascii, QHash<char16_t, Bucket> &wide,
                             PairFilter &filter, bool &anyWide) {
        for (const auto &[c, list] : byChar) {
            const Bucket b{int(m_order.size()), int(m_order.size() + list.size())};
            m_order.insert(m_order.end(), list.begin(), list.end());
            if (c < 128)
                ascii[c] = b;
            else
                wide.insert(c, b);
            anyWide = anyWide || c >= 128;
            for (const int k : list)
                filter.add(m_defs[size_t(k)].pattern);
        }
    };
    fill(direct, m_direct, m_directWide, m_directFilter, m_wideDirect);
    fill(word, m_word, m_wordWide, m_wordFilter, m_wideWord);
}

void PatternPainter::PairFilter::add(const QString &pattern)
{
    const char16_t c = pattern.front().unicode();
    if (c >= 128)
        return;
    const char16_t next = pattern.size() > 1 ? pattern[1].unicode() : 0xFFFF;
    if (next >= 128) {
        first[c] |= AnyNext;
    } else {
        first[c] |= SomeNext;
        second[c][next >> 6] |= quint64(1) << (next & 63);
    }
}

inline bool PatternPainter::PairFilter::mayStart(const QChar *text, qsizetype size,
                                                 qsizetype at) const
{
    const char16_t c = text[at].unicode();
    const quint8 f = first[c];
    if (f & AnyNext)
        return true;
    if (!f || at + 1 >= size)
        return false;
    const char16_t next = text[at + 1].unicode();
    return next < 128 && (second[c][next >> 6] >> (next & 63)) & 1;
}

PatternPainter::Bucket PatternPainter::direct(char16_t c) const
{
    if (c < 128)
        return m_direct[c];
    return m_wideDirect ? m_directWide.value(c) : Bucket{};
}

PatternPainter::Bucket PatternPainter::word(char16_t c) const
{
    if (c < 128)
        return m_word[c];
    return m_wideWord ? m_wordWide.value(c) : Bucket{};
}

PaintSpans PatternPainter::paint(QStringView text, int startOffset) const
{
    PaintRun run(*this, text);
    PaintSpans out;
    run.paintTo(INT_MAX, out);
    const auto firstKept = std::find_if(out.begin(), out.end(), [startOffset](const PaintSpan &s) {
        return s.end() > startOffset;
    });
    out.erase(out.begin(), firstKept);
    return out;
}

PaintSpans paint(QStringView text, int startOffset, const ColorDefinitions &defs)
{
    return PatternPainter(defs).paint(text, startOffset);
}

PaintRun::PaintRun(const PatternPainter &painter, QStringView text)
    : m_painter(painter)
    , m_text(text)
    , m_size(int(std::min<qsizetype>(text.size(), INT_MAX - 2)))
    , m_next(painter.m_defs.size(), 0)
{}

PaintRun::PaintRun(const PatternPainter &painter, QStringView text, int at, const PaintState &state)
    : PaintRun(painter, text)
{
    m_pos = std::clamp(at, 0, m_size);
    m_segmentStart = m_pos;
    std::fill(m_next.begin(), m_next.end(), m_pos);
    const int defs = int(m_next.size());
    for (const auto &[def, delay] : state.m_delays) {
        if (def >= 0 && def < defs && delay > 0)
            m_next[size_t(def)] = m_pos + std::min(delay, m_size + 1 - m_pos);
    }
    for (const auto &[def, end] : state.m_open) {
        if (def >= 0 && def < defs && end > 0) {
            m_open.push_back({m_pos + std::min(end, m_size - m_pos), def});
            m_owner = std::max(m_owner, def);
        }
    }
}

PaintState PaintRun::state() const
{
    PaintState s;
    for (size_t k = 0; k < m_next.size(); ++k) {
        if (m_next[k] > m_pos)
            s.m_delays.emplace_back(int(k), m_next[k] - m_pos);
    }
    for (const Open &o : m_open) {
        if (o.end > m_pos)
            s.m_open.emplace_back(o.def, o.end - m_pos);
    }
    std::sort(s.m_open.begin(), s.m_open.end());
    return s;
}

int PaintRun::lineStartAtOrAfter(int until) const
{
    if (until >= m_size)
        return m_size;
    if (until <= 0 || m_text[until - 1] == u'\n')
        return std::max(until, 0);
    const int limit = int(std::min<qint64>(m_size, qint64(until) + kLineStartReach));
    const qsizetype nl = m_text.sliced(until, limit - until).indexOf(u'\n');
    if (nl >= 0)
        return until + int(nl) + 1;
    return limit >= m_size ? m_size : -1;
}

void PaintRun::paintTo(int until, PaintSpans &out)
{
    int stop = lineStartAtOrAfter(until);
    // Far from any line start, the slice ends at the first place from until on where no range
    // found is still waiting to start: the state there holds all the run needs.
    int quietFrom = INT_MAX;
    if (stop < 0) {
        stop = m_size;
        quietFrom = until;
    }
    if (stop <= m_pos || quietFrom <= m_pos)
        return;
    m_out = &out;
    const QChar *text = m_text.data();
    const PatternPainter &p = m_painter;
    // Most characters start nothing; this decides that without touching the buckets. A blank
    // only counts when a whole-word pattern may start right after it.
    const auto startsHere = [&](int i) {
        const char16_t c = text[i].unicode();
        if (c >= 128)
            return p.m_wideDirect;
        if (p.m_directFilter.mayStart(text, m_size, i))
            return true;
        if (c != u' ' || i + 1 >= m_size)
            return false;
        return text[i + 1].unicode() >= 128 ? p.m_wideWord
                                            : p.m_wordFilter.mayStart(text, m_size, i + 1);
    };
    int i = m_pos;
    while (i < stop) {
        if (m_now.empty()) {
            const int skipTo = std::min(stop, quietFrom);
            while (i < skipTo && !startsHere(i))
                ++i;
            if (i >= quietFrom) {
                stop = i;
                break;
            }
            if (i >= stop)
                break;
        }
        generate(i);
        resolveAt(i);
        ++i;
    }
    m_pos = stop;
    endOpenUpTo(stop);
    closeSegment(stop);
    m_out = nullptr;
}

bool PaintRun::restMatchesAt(const QString &pattern, int at) const
{
    // The first character is known to match: it chose the bucket.
    const int len = int(pattern.size());
    if (len > m_size - at)
        return false;
    const QChar *t = m_text.data() + at;
    const QChar *p = pattern.constData();
    for (int j = 1; j < len; ++j) {
        if (t[j] != p[j])
            return false;
    }
    return true;
}

int PaintRun::findLineEnd(int from, int limit)
{
    // Several scope 2 definitions often match on one line, and a long line is searched from
    // many starts: remember how far it is known to hold no line end.
    if (from < m_cleanFrom || from > m_cleanTo) {
        m_cleanFrom = from;
        m_cleanTo = from;
    }
    while (m_cleanTo < limit && !isLineEnd(m_text[m_cleanTo].unicode()))
        ++m_cleanTo;
    return std::min(m_cleanTo, limit);
}

void PaintRun::generateDirect(int i, int k)
{
    const PatternPainter::Def &d = m_painter.m_defs[size_t(k)];
    if (!restMatchesAt(d.pattern, i))
        return;
    int &next = m_next[size_t(k)];
    if (d.scope == 0) {
        const int end = i + int(d.pattern.size());
        m_now.push_back({i, end, k});
        next = end;
    } else if (d.scope == 2) {
        // The pattern's own first character is never taken for the line end.
        const int lineEnd = findLineEnd(i + 1, std::min(m_size, i + kLongestRun + 1));
        if (lineEnd - i <= kLongestRun) {
            m_now.push_back({i, lineEnd, k});
            next = lineEnd + 1;
        } else {
            next = i + 1;
        }
    } else {
        // Only a closing delimiter within reach matters: a longer run is not painted.
        const int from = i + 1;
        const int limit = std::min(m_size, from + kLongestRun + 1);
        const qsizetype found = m_text.sliced(from, limit - from).indexOf(d.pattern.front());
        const int close = found >= 0 ? from + int(found) : limit;
        if (close - from <= kLongestRun) {
            if (close > from)
                m_later.push_back({from, close, k});
            next = close + 1;
        } else {
            // Taken as a stray opener: its would-be closer may open the next pair.
            next = from;
        }
    }
}

void PaintRun::generate(int i)
{
    const std::vector<int> &order = m_painter.m_order;
    const PatternPainter::Bucket direct = m_painter.direct(m_text[i].unicode());
    for (int b = direct.begin; b < direct.end; ++b) {
        const int k = order[size_t(b)];
        if (i >= m_next[size_t(k)])
            generateDirect(i, k);
    }
    if (m_text[i] != u' ' || i + 1 >= m_size)
        return;
    const PatternPainter::Bucket word = m_painter.word(m_text[i + 1].unicode());
    for (int b = word.begin; b < word.end; ++b) {
        const int k = order[size_t(b)];
        if (i < m_next[size_t(k)])
            continue;
        const QString &p = m_painter.m_defs[size_t(k)].pattern;
        const int after = i + 1 + int(p.size());
        if (after >= m_size || m_text[after] != u' ' || !restMatchesAt(p, i + 1))
            continue;
        m_now.push_back({i, after, k});
        // The closing blank may open the next match.
        m_next[size_t(k)] = after;
    }
}

void PaintRun::resolveAt(int i)
{
    if (!m_now.empty()) {
        // Equal starts are decided in list order, as the definitions are painted one by one.
        if (m_now.size() > 1) {
            std::sort(m_now.begin(), m_now.end(),
                      [](const Candidate &a, const Candidate &b) { return a.def < b.def; });
        }
        endOpenUpTo(i);
        for (const Candidate &cand : m_now) {
            // The character shows the last definition painted over it before this one.
            int shown = -1;
            for (const Open &o : m_open) {
                if (o.def < cand.def)
                    shown = std::max(shown, o.def);
            }
            if (shown >= 0 && m_painter.m_defs[size_t(shown)].claims)
                continue;
            m_open.push_back({cand.end, cand.def});
            if (cand.def > m_owner) {
                closeSegment(i);
                m_owner = cand.def;
            }
        }
        m_now.clear();
    }
    std::swap(m_now, m_later);
}

void PaintRun::endOpenUpTo(int x)
{
    // A later definition paints over an earlier one, so a character shows the highest
    // definition among the painted ranges that cover it.
    while (!m_open.empty()) {
        const auto endsFirst = [](const Open &a, const Open &b) {
            return a.end < b.end;
        };
        const auto first = std::min_element(m_open.begin(), m_open.end(), endsFirst);
        const int end = first->end;
        if (end > x)
            return;
        m_open.erase(first);
        int owner = -1;
        for (const Open &o : m_open)
            owner = std::max(owner, o.def);
        if (owner != m_owner) {
            closeSegment(end);
            m_owner = owner;
        }
    }
}

void PaintRun::closeSegment(int at)
{
    if (m_owner >= 0 && at > m_segmentStart) {
        if (!m_out->empty() && m_out->back().definition == m_owner
            && m_out->back().end() == m_segmentStart) {
            m_out->back().length += at - m_segmentStart;
        } else {
            m_out->push_back({m_segmentStart, at - m_segmentStart, m_owner});
        }
    }
    m_segmentStart = at;
}
