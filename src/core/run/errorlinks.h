#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

#include <functional>

// A place in a file named by a line of output, such as perl's "... at FILE line N.".
struct ErrorLink
{
    qsizetype start = 0;  // of "FILE line N" in the output line
    qsizetype length = 0; // up to the last digit of N
    QString path;         // absolute
    int line = 0;

    bool operator==(const ErrorLink &o) const
    {
        return start == o.start && length == o.length && path == o.path && line == o.line;
    }
};

// Finds the places perl names in its messages: "at FILE line N" with whatever follows (", <STDIN>
// line 2.", ", near ..."), the syntax check's forms, Carp's "called at FILE line N" and a bare
// "FILE line N". FILE may hold blanks; it counts only when it names an existing file, so
// "(eval 12)", "-e" and names of files that are gone are not links. A relative FILE is taken
// from the folder the command ran in. The debugger's "main::(FILE:N):" and "Pkg::sub(FILE:N):"
// are places too.
class ErrorLinkFinder
{
public:
    using Exists = std::function<bool(const QString &absolutePath)>;

    // exists: whether a path is a file (the file system by default; asked once per name).
    explicit ErrorLinkFinder(Exists exists = {});

    void setFolder(const QString &folder);
    const QString &folder() const { return m_folder; }

    // The places in one line of output, in order, not overlapping.
    QList<ErrorLink> find(QStringView line);
    // Only the debugger's current-line places in it.
    QList<ErrorLink> debuggerPlaces(QStringView line)
    {
        QList<ErrorLink> links;
        findDebuggerPlaces(line, links);
        return links;
    }

    // Cheap test: text that cannot hold a place at all.
    static bool mayHold(QStringView text)
    {
        return text.contains(marker()) || text.contains(debuggerMarker());
    }
    // What a line with a place holds: every message form, or the debugger's.
    static QStringView marker() { return u" line "; }
    static QStringView debuggerMarker() { return u"):"; }

private:
    void findDebuggerPlaces(QStringView line, QList<ErrorLink> &links);
    QString resolve(QStringView file);

    Exists m_exists;
    QString m_folder;
    QHash<QString, QString> m_known; // name as written -> absolute path, empty if no file
};
