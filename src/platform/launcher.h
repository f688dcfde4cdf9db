#pragma once

#include <QString>
#include <QStringList>

#include <memory>

namespace Platform {

// The shell's "open": a program is started on its own; a document, folder or address goes to
// the program the desktop chooses for it. Tests install a recorder in its place.
class Launcher
{
public:
    virtual ~Launcher() = default;

    // Starts program detached, with arguments, in folder (empty: the current folder).
    virtual bool startProgram(const QString &program, const QStringList &arguments,
                              const QString &folder)
            = 0;
    // Opens a file, folder or address with the desktop's own opener.
    virtual bool openWithDesktop(const QString &target) = 0;

    static Launcher &instance();
    // Installs another launcher (tests); null restores the desktop's.
    static void install(std::unique_ptr<Launcher> launcher);
};

// Whether path names a program that starts by itself (an executable file, or a bare name found
// on PATH) rather than a document or folder to be opened.
bool isProgram(const QString &path);

} // namespace Platform
