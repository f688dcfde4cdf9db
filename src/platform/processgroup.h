#pragma once

#include <QtGlobal>

class QProcess;

// A started command runs as the leader of a process group of its own, so that a stop reaches
// everything it started (a shell's pipeline, a script's forked children) and not only the
// command itself.
namespace ProcessGroup {

// Arranges, before QProcess::start(), that the child leads a new session and process group.
// Without a controlling terminal nothing it starts can stop on terminal input either.
void startAsGroupLeader(QProcess &process);

// Ask every process of the group led by leader to end (SIGTERM), or force it (SIGKILL).
// False when there is no such group (yet): the caller then signals the process itself.
bool askToEnd(qint64 leader);
bool forceEnd(qint64 leader);

} // namespace ProcessGroup
