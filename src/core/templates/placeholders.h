#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>

// What the placeholders of a template line stand for.
struct PlaceholderValues
{
    QDateTime now;
    QString user;

    // The clock's time (core/common/clock) and the user's name.
    static PlaceholderValues current();
};

// The name the "user" placeholder gives: the account's full name unless set (tests; an empty
// name returns to the account's).
QString placeholderUserName();
void setPlaceholderUserName(const QString &name);

// How the "now" placeholder shows a moment: the locale's short date and the time, the time
// left out at exactly midnight.
QString placeholderDateTime(const QDateTime &when);

// The line with its first placeholder expanded: the text between "!!!#" and the next "#!!!"
// after it. "now" and "user" (any case) give the date and time and the user's name; any other
// name stays as plain text without its markers. A line without a complete pair of markers, in
// that order, is returned unchanged.
QString ExpandPlaceholder(QStringView line, const PlaceholderValues &values);
