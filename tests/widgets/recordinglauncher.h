#pragma once

#include "platform/launcher.h"

#include <QStringList>

// Stands in for the desktop while it lives: what would have been opened is "open TARGET", what
// would have been started is "start PROGRAM ARG...".
class RecordingLauncher : public Platform::Launcher
{
public:
    QStringList calls;

    RecordingLauncher() { Platform::Launcher::install(std::unique_ptr<Launcher>(new Proxy(this))); }
    ~RecordingLauncher() override { Platform::Launcher::install(nullptr); }
    RecordingLauncher(const RecordingLauncher &) = delete;
    RecordingLauncher &operator=(const RecordingLauncher &) = delete;

    bool startProgram(const QString &program, const QStringList &arguments, const QString &) override
    {
        calls << QStringLiteral("start ") + (QStringList{program} + arguments).join(u' ');
        return true;
    }
    bool openWithDesktop(const QString &target) override
    {
        calls << QStringLiteral("open ") + target;
        return true;
    }

private:
    // The installed launcher is owned by the platform; it forwards to the one the test holds.
    struct Proxy : Launcher
    {
        RecordingLauncher *to;
        explicit Proxy(RecordingLauncher *t)
            : to(t)
        {}
        bool startProgram(const QString &p, const QStringList &a, const QString &f) override
        {
            return to->startProgram(p, a, f);
        }
        bool openWithDesktop(const QString &t) override { return to->openWithDesktop(t); }
    };
};
