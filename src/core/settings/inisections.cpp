#include "core/settings/inisections.h"

#include "core/settings/inilines.h"

#include <QSet>
#include <QString>

#include <algorithm>

namespace IniSections {

namespace {

// Calls f(line, start, next) for the lines starting in [from, to) until f returns false.
template<typename F>
void forEachLine(QStringView text, qsizetype from, qsizetype to, F f)
{
    for (qsizetype pos = from; pos < to;) {
        qsizetype nl = text.indexOf(u'\n', pos);
        const qsizetype next = nl < 0 ? text.size() : nl + 1;
        if (nl < 0)
            nl = text.size();
        if (!f(text.mid(pos, nl - pos), pos, next))
            return;
        pos = next;
    }
}

// Folded per code point, as the case-blind comparison does.
size_t foldedHash(QStringView s)
{
    size_t h = 14695981039346656037ULL;
    for (qsizetype i = 0; i < s.size(); ++i) {
        char32_t c = s[i].unicode();
        if (c < 0x80) {
            if (c >= u'A' && c <= u'Z')
                c += 32;
        } else {
            if (QChar::isHighSurrogate(c) && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
                c = QChar::surrogateToUcs4(s[i].unicode(), s[i + 1].unicode());
                ++i;
            }
            c = QChar::toCaseFolded(c);
        }
        h = (h ^ c) * 1099511628211ULL;
    }
    return h;
}

// Marks the entries whose key occurred before. Sorting hashes keeps a million keys
// cache-friendly where a hash set of them is not.
std::vector<bool> laterOccurrences(const std::vector<Entry> &entries)
{
    std::vector<std::pair<size_t, quint32>> order(entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
        order[i] = {foldedHash(entries[i].key), quint32(i)};
    std::sort(order.begin(), order.end());
    std::vector<bool> dup(entries.size(), false);
    for (size_t run = 0; run < order.size();) {
        size_t end = run + 1;
        while (end < order.size() && order[end].first == order[run].first)
            ++end;
        for (size_t j = run + 1; j < end; ++j) {
            for (size_t k = run; k < j; ++k) {
                if (!dup[order[k].second]
                    && sameName(entries[order[j].second].key, entries[order[k].second].key)) {
                    dup[order[j].second] = true;
                    break;
                }
            }
        }
        run = end;
    }
    return dup;
}

} // namespace

bool sameName(QStringView a, QStringView b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

std::vector<Block> blocks(QStringView text)
{
    std::vector<Block> out;
    QSet<QString> seen;
    forEachLine(text, 0, text.size(), [&](QStringView line, qsizetype start, qsizetype next) {
        if (const auto name = IniLine::section(line)) {
            if (!out.empty())
                out.back().end = start;
            const QString folded = name->toString().toCaseFolded();
            out.push_back({*name, start, next, text.size(), seen.contains(folded)});
            seen.insert(folded);
        }
        return true;
    });
    return out;
}

std::optional<Block> find(QStringView text, QStringView name)
{
    std::optional<Block> found;
    forEachLine(text, 0, text.size(), [&](QStringView line, qsizetype start, qsizetype next) {
        const auto header = IniLine::section(line);
        if (!header)
            return true;
        if (found) {
            found->end = start;
            return false;
        }
        if (sameName(*header, name))
            found = Block{*header, start, next, text.size(), false};
        return true;
    });
    return found;
}

int blockCount(QStringView text, QStringView name)
{
    int n = 0;
    forEachLine(text, 0, text.size(), [&](QStringView line, qsizetype, qsizetype) {
        const auto header = IniLine::section(line);
        if (header && sameName(*header, name))
            ++n;
        return true;
    });
    return n;
}

std::vector<Entry> entries(QStringView text, const Block &block, bool firstOnly)
{
    std::vector<Entry> all;
    forEachLine(text, block.body, block.end, [&](QStringView line, qsizetype start, qsizetype next) {
        if (const auto key = IniLine::key(line))
            all.push_back({*key, IniLine::value(line), start, next});
        return true;
    });
    if (!firstOnly)
        return all;
    const std::vector<bool> dup = laterOccurrences(all);
    std::vector<Entry> out;
    out.reserve(all.size());
    for (size_t i = 0; i < all.size(); ++i) {
        if (!dup[i])
            out.push_back(all[i]);
    }
    return out;
}

std::optional<Entry> findEntry(QStringView text, const Block &block, QStringView key)
{
    std::optional<Entry> found;
    const QStringView wanted = key.trimmed();
    forEachLine(text, block.body, block.end, [&](QStringView line, qsizetype start, qsizetype next) {
        const auto k = IniLine::key(line);
        if (k && k->compare(wanted, Qt::CaseInsensitive) == 0)
            found = Entry{*k, IniLine::value(line), start, next};
        return !found;
    });
    return found;
}

} // namespace IniSections
