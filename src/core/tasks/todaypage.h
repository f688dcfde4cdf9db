#pragma once

#include <QDate>
#include <QString>

// What the Today page's markers stand for.
struct TodayValues
{
    int taskCount = 0;
    QDate date;
    QString lastOpened; // full path, or empty
};

// The Today page from its template: on each line the first ###name### is replaced
// ("tasknum", "date", "lastopened", any other name by itself); lines end with CR LF.
QString buildTodayPage(const QString &templateText, const TodayValues &values);
