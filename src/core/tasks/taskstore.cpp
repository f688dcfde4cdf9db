#include "core/tasks/taskstore.h"

#include "core/common/errors.h"
#include "core/common/extractfield.h"
#include "core/common/textfile.h"
#include "core/settings/inifile.h"
#include "core/settings/inilines.h"

#include <QFile>

#include <algorithm>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// One entry of a section, pointing into the file's text.
struct Entry
{
    QStringView key;
    QStringView value;
};

// Reads a section with the same rules as TIniFile (first section of that name; blanks and one
// pair of quotes stripped) from one read of the file. Keys that occur again are kept here; the
// first occurrence is the one that counts.
class SectionScan
{
public:
    SectionScan(const QString &path, const QString &section)
    {
        QFile f(path);
        if (section.isEmpty() || !f.open(QIODevice::ReadOnly))
            return;
        m_text = decodeText(f.readAll());
        scan(QStringView(section).trimmed());
    }

    const std::vector<Entry> &entries() const { return m_entries; }

    // The entries without the later occurrences of a key, in file order.
    std::vector<Entry> distinct() const
    {
        const std::vector<bool> dup = laterOccurrences();
        std::vector<Entry> out;
        out.reserve(m_entries.size());
        for (size_t i = 0; i < m_entries.size(); ++i) {
            if (!dup[i])
                out.push_back(m_entries[i]);
        }
        return out;
    }

private:
    void scan(QStringView section)
    {
        const QStringView all(m_text);
        bool inside = false;
        qsizetype pos = 0;
        while (pos < all.size()) {
            qsizetype nl = all.indexOf(u'\n', pos);
            if (nl < 0)
                nl = all.size();
            const QStringView line = all.mid(pos, nl - pos);
            pos = nl + 1;

            if (const auto name = IniLine::section(line)) {
                if (inside)
                    return;
                inside = name->compare(section, Qt::CaseInsensitive) == 0;
                continue;
            }
            if (!inside)
                continue;
            if (const auto key = IniLine::key(line))
                m_entries.push_back({*key, IniLine::value(line)});
        }
    }

    // Sorting hashes keeps a million keys cache-friendly where a hash set of them is not.
    std::vector<bool> laterOccurrences() const
    {
        std::vector<std::pair<size_t, quint32>> order(m_entries.size());
        for (size_t i = 0; i < m_entries.size(); ++i)
            order[i] = {foldedHash(m_entries[i].key), quint32(i)};
        std::sort(order.begin(), order.end());
        std::vector<bool> dup(m_entries.size(), false);
        for (size_t run = 0; run < order.size();) {
            size_t end = run + 1;
            while (end < order.size() && order[end].first == order[run].first)
                ++end;
            for (size_t j = run + 1; j < end; ++j) {
                for (size_t k = run; k < j; ++k) {
                    if (!dup[order[k].second]
                        && m_entries[order[j].second].key.compare(m_entries[order[k].second].key,
                                                                  Qt::CaseInsensitive)
                                   == 0) {
                        dup[order[j].second] = true;
                        break;
                    }
                }
            }
            run = end;
        }
        return dup;
    }

    // Folded per code point, as the case-blind comparison does.
    static size_t foldedHash(QStringView s)
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

    QString m_text;
    std::vector<Entry> m_entries;
};

// The state flag as a whole number; anything else counts as 0 rather than ending the load.
bool flagSet(QStringView value)
{
    const QStringView flag = ExtractField(value, Tasks::kFieldSep, 0).trimmed();
    if (flag == u"0")
        return false;
    return TIniFile::parseInteger(flag.toString(), 0) != 0;
}

bool hasLineBreak(const QString &s)
{
    for (QChar c : s) {
        if (c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            return true;
    }
    return false;
}

QStringList splitLines(const QString &text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (QChar c : {QChar(u'\r'), QChar(QChar::LineSeparator), QChar(QChar::ParagraphSeparator)})
        t.replace(c, u'\n');
    return t.split(u'\n');
}

// The reserved characters in a field, as the message to show; empty when there are none.
QString reservedProblem(const QString &field, const QString &text, bool oneLine)
{
    if (text.contains(Tasks::kFieldSep))
        return QStringLiteral("Oops! The field \"%1\" contains \"|\", which the task list uses to "
                              "separate the parts of a task. Please remove it or use another "
                              "character.")
                .arg(field);
    if (text.contains(Tasks::kLineSep))
        return QStringLiteral("Oops! The field \"%1\" contains \"%2\", which the task list uses to "
                              "separate the lines of a task. Please remove it or use another "
                              "character.")
                .arg(field, QString(Tasks::kLineSep));
    if (oneLine && hasLineBreak(text))
        return QStringLiteral("Oops! The field \"%1\" must be a single line. Please remove the "
                              "line break.")
                .arg(field);
    return {};
}

} // namespace

QString Tasks::sectionName(const QDate &day)
{
    return day.isValid() ? day.toString(QStringLiteral("dd.MM.yyyy")) : QString();
}

QString Tasks::missingValue()
{
    return QStringLiteral("[?]|[?]|[?]");
}

QString Tasks::textField(const QString &value)
{
    return ExtractField(value, kFieldSep, 2);
}

QStringList Tasks::shownLines(const QString &value)
{
    // Splitting once gives field i for every i up to the number of separators, whatever that
    // number is: a long text is never cut short by a narrow counter.
    return textField(value).split(kLineSep);
}

QStringList Tasks::editLines(const QString &value)
{
    return shownLines(value).mid(1);
}

QString Tasks::header(const QString &from)
{
    return u'<' + from + QStringLiteral(" said:>");
}

QString Tasks::composeValue(const TaskDraft &draft)
{
    QString t = header(draft.from);
    for (const QString &line : splitLines(draft.text)) {
        t += kLineSep;
        t += line;
    }
    QString v = QStringLiteral("0|") + draft.forWhom + kFieldSep + t;
    // The reader strips trailing blanks; dropping them here keeps what is stored and what is
    // read back the same.
    while (!v.isEmpty() && v.back().isSpace())
        v.chop(1);
    return v;
}

QString Tasks::emptyFieldsMessage()
{
    return QStringLiteral("Oops! At least one of the fields have not been filled out.");
}

QString Tasks::removeQuestion(const QString &diz)
{
    return QStringLiteral("Really remove entry \"%1\" ?").arg(diz);
}

QString Tasks::draftProblem(const TaskDraft &draft)
{
    // Blanks alone would be stored as nothing at all: they count as empty.
    if (draft.from.trimmed().isEmpty() || draft.forWhom.trimmed().isEmpty()
        || draft.diz.trimmed().isEmpty() || draft.text.trimmed().isEmpty())
        return emptyFieldsMessage();
    if (!TIniFile::keyProblem(draft.diz).isEmpty() || hasLineBreak(draft.diz))
        return QStringLiteral("Oops! The Diz \"%1\" cannot be stored: a short description "
                              "must not contain \"=\" or a line break, nor begin with \"[\" or "
                              "\";\". Please change the description.")
                .arg(draft.diz.simplified());
    if (!draft.when.isValid())
        return QStringLiteral("Oops! Please choose the date of the task.");
    for (const auto &[name, text, oneLine] :
         {std::tuple{QStringLiteral("From"), draft.from, true},
          std::tuple{QStringLiteral("For"), draft.forWhom, true},
          std::tuple{QStringLiteral("Text"), draft.text, false}}) {
        const QString p = reservedProblem(name, text, oneLine);
        if (!p.isEmpty())
            return p;
    }
    return {};
}

QVector<TaskRow> TaskStore::load(const QDate &day) const
{
    const SectionScan scan(m_file.fileName(), Tasks::sectionName(day));
    const std::vector<Entry> entries = scan.distinct();
    QVector<TaskRow> rows;
    rows.reserve(qsizetype(entries.size()));
    for (const Entry &e : entries)
        rows.append({ExtractField(e.value, Tasks::kFieldSep, 1).toString(), e.key.toString(),
                     flagSet(e.value)});
    return rows;
}

QString TaskStore::value(const QDate &day, const QString &diz) const
{
    const QStringView wanted = QStringView(diz).trimmed();
    const SectionScan scan(m_file.fileName(), Tasks::sectionName(day));
    for (const Entry &e : scan.entries()) {
        if (e.key.compare(wanted, Qt::CaseInsensitive) == 0)
            return e.value.toString();
    }
    return Tasks::missingValue();
}

void TaskStore::store(const TaskDraft &draft)
{
    const QString problem = Tasks::draftProblem(draft);
    if (!problem.isEmpty())
        throw FormatError(problem);
    m_file.WriteString(Tasks::sectionName(draft.when), draft.diz.trimmed(),
                       Tasks::composeValue(draft));
}

void TaskStore::remove(const QDate &day, const QString &diz)
{
    m_file.DeleteKey(Tasks::sectionName(day), diz);
}
