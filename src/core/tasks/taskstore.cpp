#include "core/tasks/taskstore.h"

#include "core/common/errors.h"
#include "core/common/extractfield.h"
#include "core/common/textfile.h"
#include "core/settings/inifile.h"
#include "core/settings/inisections.h"

#include <QFile>

#include <optional>
#include <tuple>
#include <vector>

namespace {

// One reading of a day's section (the settings object's rules, see IniSections) from one read
// of the file. The entries point into the text, so it lives as long as they do.
class SectionScan
{
public:
    SectionScan(const QString &path, const QString &section)
    {
        QFile f(path);
        if (section.isEmpty() || !f.open(QIODevice::ReadOnly))
            return;
        m_text = decodeText(f.readAll());
        m_block = IniSections::find(m_text, section);
    }

    // The entries that count, in file order.
    std::vector<IniSections::Entry> distinct() const
    {
        return m_block ? IniSections::entries(m_text, *m_block, true)
                       : std::vector<IniSections::Entry>();
    }

    std::optional<IniSections::Entry> entry(const QString &key) const
    {
        return m_block ? IniSections::findEntry(m_text, *m_block, key) : std::nullopt;
    }

private:
    QString m_text;
    std::optional<IniSections::Block> m_block;
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
    const std::vector<IniSections::Entry> entries = scan.distinct();
    QVector<TaskRow> rows;
    rows.reserve(qsizetype(entries.size()));
    for (const IniSections::Entry &e : entries)
        rows.append({ExtractField(e.value, Tasks::kFieldSep, 1).toString(), e.key.toString(),
                     flagSet(e.value)});
    return rows;
}

QString TaskStore::value(const QDate &day, const QString &diz) const
{
    const SectionScan scan(m_file.fileName(), Tasks::sectionName(day));
    const auto e = scan.entry(diz);
    return e ? e->value.toString() : Tasks::missingValue();
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
