#pragma once

#include <QString>

#include <functional>

class TIniFile;

// Starting the local web server. The program only launches it; it never talks to it or ends it.
namespace WebServer {

// Files_Directories/WebServer, or the launcher shipped in the program folder.
QString programPath(const TIniFile &settings, const QString &programDir,
                    const QString &launcherName);

// The folder a program starts in: its path without the file name and without a trailing
// slash, except for the root.
QString workingDir(const QString &program);

QString missingMessage(const QString &program);

// What the shipped launcher needs, asked of the machine (tests answer for it).
struct Probe
{
    std::function<bool()> serverAnswers;   // the local address already serves pages
    std::function<bool()> serverInstalled; // the server program the launcher runs exists
};

struct Outcome
{
    enum Kind { Started, Missing, AlreadyRunning, NotInstalled, StartFailed } kind = Started;
    QString message; // empty when started
    bool pressed() const
    {
        return kind == Started || kind == AlreadyRunning || kind == StartFailed;
    }
};

// Starts program detached in its own folder. The shipped launcher is started only when no
// server answers yet and the server it runs is installed; any other program just when it exists.
Outcome start(const QString &program, const QString &launcherName, const Probe &probe,
              const QString &localAddress);

} // namespace WebServer
