#include "core/editor/replacer.h"

#include <algorithm>

namespace {

// A piece of a replacement: text as written, or what a group took.
struct Piece
{
    QString text;
    int group = -1;
    QString name; // a named group
};

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isNameChar(QChar c, bool first)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_'
           || (!first && isAsciiDigit(c));
}

// "${...}": a group's number or name, or nothing when the braces hold neither.
bool braced(QStringView inside, Piece &piece)
{
    if (inside.isEmpty())
        return false;
    if (std::all_of(inside.begin(), inside.end(), isAsciiDigit)) {
        bool ok = false;
        piece.group = inside.toInt(&ok);
        return ok;
    }
    for (qsizetype i = 0; i < inside.size(); ++i) {
        if (!isNameChar(inside[i], i == 0))
            return false;
    }
    piece.name = inside.toString();
    return true;
}

std::vector<Piece> parseReplacement(const QString &r)
{
    std::vector<Piece> pieces;
    QString text;
    auto reference = [&](Piece p) {
        if (!text.isEmpty())
            pieces.push_back({text, -1, {}});
        text.clear();
        pieces.push_back(std::move(p));
    };
    for (qsizetype i = 0; i < r.size(); ++i) {
        const QChar c = r[i];
        const QChar next = i + 1 < r.size() ? r[i + 1] : QChar();
        if (c == u'\\' && !next.isNull()) {
            ++i;
            if (isAsciiDigit(next))
                reference({{}, next.unicode() - u'0', {}});
            else if (next == u'n')
                text += u'\n';
            else if (next == u't')
                text += u'\t';
            else if (next == u'\\' || next == u'$')
                text += next;
            else
                text += QStringView(r).mid(i - 1, 2); // as written
        } else if (c == u'$' && (isAsciiDigit(next) || next == u'&')) {
            ++i;
            reference({{}, next == u'&' ? 0 : next.unicode() - u'0', {}});
        } else if (c == u'$' && next == u'{') {
            const qsizetype close = r.indexOf(u'}', i + 2);
            Piece p;
            if (close > 0 && braced(QStringView(r).mid(i + 2, close - i - 2), p)) {
                reference(std::move(p));
                i = close;
            } else {
                text += c;
            }
        } else {
            text += c;
        }
    }
    if (!text.isEmpty() || pieces.empty())
        pieces.push_back({text, -1, {}});
    return pieces;
}

QString expanded(const std::vector<Piece> &pieces, const QRegularExpressionMatch &m)
{
    if (pieces.size() == 1 && pieces.front().group < 0 && pieces.front().name.isEmpty())
        return pieces.front().text; // shared, not copied, for every match
    QString out;
    for (const Piece &p : pieces) {
        if (!p.name.isEmpty())
            out += m.capturedView(p.name);
        else if (p.group >= 0)
            out += m.capturedView(p.group);
        else
            out += p.text;
    }
    return out;
}

// Letters, digits and the underscore: what Perl names are made of.
const QString kNotAfterWord = QStringLiteral("(?<![\\p{L}\\p{N}_])");
const QString kNotBeforeWord = QStringLiteral("(?![\\p{L}\\p{N}_])");

} // namespace

Replacer::Replacer(const QString &pattern, SearchOptions options)
    : m_options(options)
{
    QRegularExpression::PatternOptions flags = QRegularExpression::MultilineOption
                                               | QRegularExpression::UseUnicodePropertiesOption;
    if (!options.caseSensitive)
        flags |= QRegularExpression::CaseInsensitiveOption;
    QString body = options.regex ? pattern : QRegularExpression::escape(pattern);
    if (options.regex) {
        const QRegularExpression alone(body, flags);
        if (!alone.isValid()) {
            m_error = QStringLiteral("%1 (position %2 in the pattern)")
                              .arg(alone.errorString())
                              .arg(alone.patternErrorOffset());
            body.clear();
        }
    }
    if (body.isEmpty()) {
        m_re = QRegularExpression(QStringLiteral("(?!)")); // never matches
        return;
    }
    // "\E" ends a "\Q" quote left open at the pattern's end, and is nothing otherwise.
    if (options.wholeWords)
        body = kNotAfterWord + QStringLiteral("(?:") + body + QStringLiteral("\\E)")
               + kNotBeforeWord;
    m_re = QRegularExpression(body, flags);
    if (!m_re.isValid()) {
        m_error = m_re.errorString();
        m_re = QRegularExpression(QStringLiteral("(?!)"));
    }
    m_re.optimize();
}

Replacer::Match Replacer::fromRegex(const QRegularExpressionMatch &m) const
{
    if (!m.hasMatch())
        return {};
    return {m.capturedStart(), m.capturedLength(), m};
}

Replacer::Match Replacer::findNext(QStringView text, qsizetype from, bool skipEmptyAtFrom) const
{
    from = std::clamp<qsizetype>(from, 0, text.size());
    const QRegularExpressionMatch m = m_re.match(text, from);
    if (!skipEmptyAtFrom || !m.hasMatch() || m.capturedLength() > 0 || m.capturedStart() > from)
        return fromRegex(m);
    // The iterator knows Perl's way on from an empty match.
    QRegularExpressionMatchIterator it = m_re.globalMatch(text, from);
    it.next();
    return it.hasNext() ? fromRegex(it.next()) : Match{};
}

Replacer::Match Replacer::findPrevious(QStringView text, qsizetype before) const
{
    before = std::clamp<qsizetype>(before, 0, text.size());
    // Matches are found forwards only: look through ever larger stretches before the place
    // until one holds a match, so a match close by costs little however long the text.
    for (qsizetype window = 4096;; window *= 8) {
        const qsizetype from = std::max<qsizetype>(0, before - window);
        Match last;
        QRegularExpressionMatchIterator it = m_re.globalMatch(text, from);
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            if (m.capturedStart() >= before)
                break;
            if (m.capturedEnd() <= before)
                last = fromRegex(m);
        }
        if (last.found() || from == 0)
            return last;
    }
}

Replacer::Match Replacer::matchAt(QStringView text, qsizetype start) const
{
    if (start < 0 || start > text.size())
        return {};
    return fromRegex(m_re.match(text, start, QRegularExpression::NormalMatch,
                                QRegularExpression::AnchorAtOffsetMatchOption));
}

QString Replacer::expand(const Match &match, const QString &replacement) const
{
    if (!m_options.regex)
        return replacement;
    return expanded(parseReplacement(replacement), match.groups);
}

std::vector<Replacer::Edit> Replacer::replaceAll(QStringView text, qsizetype from, qsizetype to,
                                                 const QString &replacement) const
{
    from = std::clamp<qsizetype>(from, 0, text.size());
    to = std::clamp<qsizetype>(to, from, text.size());
    const bool endsAtLineStart = to > 0 && to < text.size() && text[to - 1] == u'\n';
    const std::vector<Piece> pieces = m_options.regex ? parseReplacement(replacement)
                                                      : std::vector<Piece>{{replacement, -1, {}}};
    std::vector<Edit> edits;
    QRegularExpressionMatchIterator it = m_re.globalMatch(text, from);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        const qsizetype start = m.capturedStart();
        const qsizetype end = m.capturedEnd();
        if (end > to || (start == to && end == to && endsAtLineStart))
            break;
        edits.push_back({start, end - start, expanded(pieces, m)});
    }
    return edits;
}

QString Replacer::applied(QStringView text, const std::vector<Edit> &edits)
{
    QString out;
    out.reserve(text.size());
    qsizetype at = 0;
    for (const Edit &e : edits) {
        out += text.mid(at, e.start - at);
        out += e.text;
        at = e.start + e.length;
    }
    out += text.mid(at);
    return out;
}
