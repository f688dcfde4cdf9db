#pragma once

#include "core/run/serverconfig.h"

#include <QString>

#include <functional>
#include <optional>

class TIniFile;

// Starting the local web server. The program only launches it; it never talks to it or ends it.
namespace WebServer {

// Files_Directories/WebServer, or the launcher shipped in the program folder.
QString programPath(const TIniFile &settings, const QString &programDir);

// The folder a program starts in: its path without the file name and without a trailing
// slash, except for the root.
QString workingDir(const QString &program);

QString missingMessage(const QString &program);

// Where the program folder's server keeps its configuration, pid file and logs, and where a
// start leaves what the program printed and how it ended.
QString runDir(const QString &programDir);

// What the shipped launcher needs, asked of the machine (tests answer for it).
struct Probe
{
    std::function<bool()> serverAnswers;   // the local address already serves pages
    std::function<bool()> serverInstalled; // the server program the launcher runs exists
};

struct Setup
{
    QString launcherName; // the shipped launcher's file name
    QString localAddress; // the address it serves, for messages
    quint16 port = 8080;
    Folders folders; // what the launcher's server serves and runs; its run folder for any program
    Probe probe;
};

struct Outcome
{
    enum Kind { Started, Missing, AlreadyRunning, NotInstalled, Refused, StartFailed };
    Kind kind = Started;
    QString message; // empty when started
    bool pressed() const
    {
        return kind == Started || kind == AlreadyRunning || kind == StartFailed;
    }
};

// Starts program detached in its own folder. The shipped launcher is started only when no
// server answers yet and the server it runs is installed, and gets the configuration written
// for it as its one argument; any other program is started as it is, just when it exists.
Outcome start(const QString &program, const Setup &setup);

// After a start: the error box's text when the program has ended with a failure, with what it
// printed; nothing while it runs or when it ended well (a launcher that put its server in the
// background).
std::optional<QString> failedStart(const QString &program, const QString &runDir);

} // namespace WebServer
