#include "core/editor/varscan.h"

#include <QSet>

// The scan walks the text once per pass, left to right. Each step first hides one comment,
// the first "#" still ahead: what follows the "#" up to the line break (or any code below
// 31) is skipped. Only that one comment is hidden at a time, so a sigil inside a later
// comment is still found when it comes before the next one outside comments. A found name
// ends with the character that stopped it, and the next step goes on after that character.

namespace InspectorScan {
namespace {

// The first occurrence at or after a position, for positions that only grow: an answer
// stays good until the position passes it, so the text is searched once per pass.
class Ahead
{
public:
    Ahead(QStringView text, QStringView needle)
        : m_text(text)
        , m_needle(needle)
    {}

    qsizetype from(qsizetype pos)
    {
        if (m_at == kUnknown || pos < m_from || (m_at != -1 && m_at < pos)) {
            m_at = pos >= m_text.size() ? -1 : m_text.indexOf(m_needle, pos);
            m_from = pos;
        }
        return m_at;
    }

private:
    static constexpr qsizetype kUnknown = -2;
    QStringView m_text;
    QStringView m_needle;
    qsizetype m_at = kUnknown;
    qsizetype m_from = 0;
};

// Where the rest of the text goes after the comment of the current step has been hidden.
class Pass
{
public:
    Pass(QStringView text, QStringView needle)
        : m_text(text)
        , m_hashes(text, u"#")
        , m_needles(text, needle)
    {}

    // The next needle at or after pos outside the hidden comment, or -1.
    qsizetype next(qsizetype pos)
    {
        hideComment(pos);
        const qsizetype at = m_needles.from(pos);
        if (at == -1 || m_hash == -1 || at < m_hash)
            return at;
        return m_needles.from(m_hashEnd);
    }

    // The end (exclusive) of the stretch a name starting at `first` may cover before the
    // hidden comment; the character at the returned end, if any, stops every name.
    qsizetype nameLimit(qsizetype first) const
    {
        return m_hash != -1 && first <= m_hash ? m_hash + 1 : m_text.size();
    }
    // Where the next step starts when a name ran into the hidden comment.
    qsizetype afterComment() const { return std::min(m_hashEnd + 1, m_text.size()); }

private:
    void hideComment(qsizetype pos)
    {
        const qsizetype h = m_hashes.from(pos);
        if (h == m_hash && m_known)
            return;
        m_known = true;
        m_hash = h;
        m_hashEnd = m_text.size();
        if (h == -1)
            return;
        // The comment ends at its own line break: a "#" right before one hides nothing.
        for (qsizetype i = h + 1; i < m_text.size(); ++i) {
            if (m_text[i].unicode() < 31) {
                m_hashEnd = i;
                break;
            }
        }
    }

    QStringView m_text;
    Ahead m_hashes;
    Ahead m_needles;
    bool m_known = false;
    qsizetype m_hash = -1;
    qsizetype m_hashEnd = 0;
};

bool endsSubName(QChar c)
{
    return c.unicode() <= 32;
}

// Runs one pass; found(first, end) gets each name as the range [first, end) of the text.
template<typename Stops, typename Found>
void walk(QStringView text, QStringView needle, Stops stops, Found found)
{
    Pass pass(text, needle);
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype at = pass.next(pos);
        if (at == -1)
            return;
        // The character after the needle belongs to the name whatever it is.
        const qsizetype first = at + needle.size();
        if (first >= text.size())
            return; // a needle at the very end names nothing
        const qsizetype limit = pass.nameLimit(first);
        qsizetype end = first + 1;
        while (end < limit && !stops(text[end]))
            ++end;
        found(first, end);
        if (end == limit && limit != text.size())
            pos = pass.afterComment(); // the name ran up to the hidden comment's "#"
        else
            pos = end + 1; // the character that stopped the name goes too
    }
}

} // namespace

bool endsName(QChar c)
{
    const char16_t u = c.unicode();
    if (u <= 32)
        return true;
    switch (u) {
    case u'"':
    case u'\'':
    case u'(':
    case u')':
    case u'+':
    case u',':
    case u'/':
    case u';':
    case u'<':
    case u'=':
    case u'\\':
    case u'{':
    case u'}':
        return true;
    default:
        return false;
    }
}

QStringList variables(QStringView text, QChar sigil)
{
    QStringList names;
    QSet<QString> seen;
    const QChar needle[1] = {sigil};
    walk(text, QStringView(needle, 1), endsName, [&](qsizetype first, qsizetype end) {
        const QStringView name = text.sliced(first, end - first);
        QString entry = sigil + name.toString();
        if (!seen.contains(entry)) {
            const QString folded = entry.toCaseFolded();
            if (!seen.contains(folded)) {
                seen.insert(folded);
                seen.insert(entry); // spares the folding when the same spelling comes again
                names.append(entry);
            }
        }
    });
    return names;
}

QStringList subroutines(QStringView text)
{
    QStringList names;
    walk(text, u"sub ", endsSubName, [&](qsizetype first, qsizetype end) {
        names.append(QStringLiteral("sub ") + text.sliced(first, end - first).toString());
    });
    return names;
}

InspectorEntries scan(QStringView text, bool vars, bool subs)
{
    InspectorEntries e;
    if (vars) {
        e.variablesRoot = true;
        e.variables = variables(text, u'$');
        e.variables += variables(text, u'@');
    }
    if (subs) {
        e.subroutinesRoot = true;
        e.subroutines = subroutines(text);
    }
    return e;
}

} // namespace InspectorScan
