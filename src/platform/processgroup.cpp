#include "platform/processgroup.h"

#include <QProcess>

#if defined(Q_OS_UNIX)
#include <csignal>
#include <unistd.h>
#endif

#if defined(Q_OS_UNIX)

void ProcessGroup::startAsGroupLeader(QProcess &process)
{
    // Runs in the child between fork and exec: only async-signal-safe calls belong here.
    process.setChildProcessModifier([] { ::setsid(); });
}

bool ProcessGroup::askToEnd(qint64 leader)
{
    return leader > 0 && ::kill(-pid_t(leader), SIGTERM) == 0;
}

bool ProcessGroup::forceEnd(qint64 leader)
{
    return leader > 0 && ::kill(-pid_t(leader), SIGKILL) == 0;
}

#else

// Elsewhere a job object would play the group's part; until then the caller ends the
// command alone.
void ProcessGroup::startAsGroupLeader(QProcess &) {}
bool ProcessGroup::askToEnd(qint64)
{
    return false;
}
bool ProcessGroup::forceEnd(qint64)
{
    return false;
}

#endif
