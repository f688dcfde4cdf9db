#pragma once

#include <QHash>
#include <QString>
#include <QtGlobal>

class QProcess;
class QProcessEnvironment;

namespace ProcessGroup {

// Arranges, before QProcess::start(), that the child leads a new session and process group.
// Without a controlling terminal nothing it starts can stop on terminal input either.
void startAsGroupLeader(QProcess &process);

// Reaps the ended children that this program adopted (orphans of what it started, which
// nobody else will wait for) and never a child it started itself. Never blocks. Returns how
// many adopted children still run.
int reapAdoptedOrphans();

} // namespace ProcessGroup

// Everything one started command leads to: its children and theirs, also those that left its
// process group and session (setsid) or lost their parent. While a family adopts, this program
// is the reaper of the orphans of everything it started, so that none of them escapes to the
// system; the command's environment carries a mark that tells which adopted orphans are the
// family's. Only a member that clears its environment and then loses its parent is lost.
// The walks read this program's own process tree only: their cost follows what it started.
class ProcessFamily
{
public:
    enum class Ending { AskToEnd, Force };

    ProcessFamily();
    ~ProcessFamily();
    ProcessFamily(const ProcessFamily &) = delete;
    ProcessFamily &operator=(const ProcessFamily &) = delete;

    // Before the command starts: adds the mark to its environment and begins adopting, until
    // the last family is gone.
    void prepare(QProcessEnvironment &environment);
    // The command itself, once started. It is never reaped here: its QProcess waits for it.
    void setLeader(qint64 pid);

    // Sends every member alive now, the leader included, the request to end (SIGTERM) or
    // kills it (SIGKILL). Returns how many members were found.
    int signalAll(Ending how);
    // Kills every member, again as long as new ones turn up (a member may fork meanwhile).
    void forceAll();
    // Finds the members now, remembers them and reaps those that ended as this program's
    // children. True while a member is left, alive or not reaped yet.
    bool reap();

private:
    QString m_mark;
    qint64 m_leader = 0;
    quint64 m_leaderStart = 0;
    QHash<qint64, quint64> m_known; // pid -> start time of every member seen
    bool m_adopting = false;
};
