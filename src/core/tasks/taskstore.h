#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

class TIniFile;

// One row of the task list.
struct TaskRow
{
    QString forWhom;      // field 1 of the value
    QString diz;          // the key, spelt as in the file
    bool checked = false; // state flag other than 0
};

// What the add-task dialog hands over. The text holds its lines separated by line breaks.
struct TaskDraft
{
    QDate when;
    QString from;
    QString forWhom;
    QString diz;
    QString text;
};

// The tasks file format: one section per day ("dd.mm.yyyy"), the Diz as key, and the value
// "state|For|<From said:>¶line¶line". Nothing is escaped, so "|" and "¶" are reserved.
namespace Tasks {

inline constexpr QChar kFieldSep = u'|';
inline constexpr QChar kLineSep = u'\u00B6';

QString sectionName(const QDate &day);
// The value read for a key that does not exist.
QString missingValue();

QString textField(const QString &value);
// Every line of the text field, the "<From said:>" header first.
QStringList shownLines(const QString &value);
// The lines the dialog edits: the header is left out.
QStringList editLines(const QString &value);

QString header(const QString &from);
QString composeValue(const TaskDraft &draft);

// Empty when the draft can be stored and read back unchanged; otherwise what to tell the user.
QString draftProblem(const TaskDraft &draft);
QString emptyFieldsMessage();
QString removeQuestion(const QString &diz);

} // namespace Tasks

// Reads and writes tasks through the main window's tasks file. Reads go to the file every time;
// a whole day is read in one pass, since the settings object reads the file once per key.
class TaskStore
{
public:
    explicit TaskStore(TIniFile &file)
        : m_file(file)
    {}

    QVector<TaskRow> load(const QDate &day) const;
    QString value(const QDate &day, const QString &diz) const;

    // Throws FormatError for a draft that draftProblem refuses, IoError when the file cannot
    // be written.
    void store(const TaskDraft &draft);
    void remove(const QDate &day, const QString &diz);

private:
    TIniFile &m_file;
};
