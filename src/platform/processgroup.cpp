#include "platform/processgroup.h"

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSet>

#include <optional>

#if defined(Q_OS_UNIX)
#include <csignal>
#include <unistd.h>
#endif
#if defined(Q_OS_LINUX)
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#endif

#if defined(Q_OS_UNIX)

void ProcessGroup::startAsGroupLeader(QProcess &process)
{
    // Runs in the child between fork and exec: only async-signal-safe calls belong here.
    process.setChildProcessModifier([] { ::setsid(); });
}

#else

// Elsewhere a job object would play the group's part.
void ProcessGroup::startAsGroupLeader(QProcess &) {}

#endif

#if defined(Q_OS_LINUX)

namespace {

// What /proc tells of a process.
struct ProcessStat
{
    qint64 pid = 0;
    qint64 ppid = 0;
    qint64 pgrp = 0;
    qint64 sid = 0;
    quint64 start = 0; // distinguishes a process from a later one with the same id
    char state = 0;    // 'Z' for one that ended and waits to be reaped
};

const char kMarkName[] = "QUILLFORGE_RUN";
int s_adopters = 0;
bool s_adoptedBefore = false;

QByteArray readProcFile(const QByteArray &path)
{
    QByteArray out;
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return out;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0)
            out.append(buf, n);
        else if (n == 0 || errno != EINTR)
            break;
    }
    ::close(fd);
    return out;
}

QByteArray procPath(qint64 pid)
{
    return "/proc/" + QByteArray::number(pid);
}

std::optional<ProcessStat> readStat(qint64 pid)
{
    const QByteArray s = readProcFile(procPath(pid) + "/stat");
    // The name in parentheses may hold blanks and parentheses itself.
    const qsizetype close = s.lastIndexOf(')');
    if (close < 0)
        return std::nullopt;
    const QList<QByteArray> f = s.mid(close + 2).split(' ');
    // From the state on: state ppid pgrp session, and the start time 19 fields later.
    if (f.size() < 20 || f.at(0).isEmpty())
        return std::nullopt;
    ProcessStat p;
    p.pid = pid;
    p.state = f.at(0).at(0);
    p.ppid = f.at(1).toLongLong();
    p.pgrp = f.at(2).toLongLong();
    p.sid = f.at(3).toLongLong();
    p.start = f.at(19).toULongLong();
    return p;
}

bool numeric(const char *name)
{
    return *name >= '0' && *name <= '9';
}

template<typename F>
void forEachEntry(const QByteArray &dir, F &&f)
{
    DIR *d = ::opendir(dir.constData());
    if (!d)
        return;
    while (const dirent *e = ::readdir(d)) {
        if (numeric(e->d_name))
            f(QByteArray(e->d_name));
    }
    ::closedir(d);
}

bool haveChildrenFiles()
{
    static const bool have = ::access((procPath(::getpid()) + "/task/"
                                       + QByteArray::number(::getpid()) + "/children")
                                              .constData(),
                                      R_OK)
                             == 0;
    return have;
}

QList<qint64> childrenOf(qint64 parent)
{
    QList<qint64> out;
    if (haveChildrenFiles()) {
        const QByteArray tasks = procPath(parent) + "/task/";
        forEachEntry(tasks, [&](const QByteArray &tid) {
            for (const QByteArray &c : readProcFile(tasks + tid + "/children").split(' ')) {
                if (const qint64 child = c.toLongLong(); child > 0)
                    out << child;
            }
        });
    } else {
        forEachEntry("/proc", [&](const QByteArray &pid) {
            const auto p = readStat(pid.toLongLong());
            if (p && p->ppid == parent)
                out << p->pid;
        });
    }
    return out;
}

// Every process below this one, parents before their children.
QList<ProcessStat> ourTree()
{
    QList<ProcessStat> tree;
    QList<qint64> queue = childrenOf(::getpid());
    for (qsizetype i = 0; i < queue.size(); ++i) {
        if (const auto p = readStat(queue.at(i))) {
            tree << *p;
            queue << childrenOf(p->pid);
        }
    }
    return tree;
}

bool carriesMark(qint64 pid, const QByteArray &entry)
{
    const QByteArray environ = '\0' + readProcFile(procPath(pid) + "/environ");
    return environ.contains(entry);
}

// The leader, the members seen before, whatever carries the mark, and everything below them.
QList<ProcessStat> findMembers(const QString &mark, qint64 leader, quint64 leaderStart,
                               const QHash<qint64, quint64> &known)
{
    const QByteArray entry = '\0' + QByteArray(kMarkName) + '=' + mark.toLatin1() + '\0';
    QList<ProcessStat> found;
    QSet<qint64> in;
    for (const ProcessStat &p : ourTree()) {
        const auto seen = known.constFind(p.pid);
        const bool member = (p.pid == leader && p.start == leaderStart)
                            || (seen != known.cend() && seen.value() == p.start)
                            || in.contains(p.ppid) || (p.state != 'Z' && carriesMark(p.pid, entry));
        if (member) {
            in.insert(p.pid);
            found << p;
        }
    }
    return found;
}

// To the process and, when it leads a group, to the group: what it forks meanwhile is in it.
void send(const ProcessStat &p, int sig)
{
    ::kill(pid_t(p.pid), sig);
    if (p.pgrp == p.pid)
        ::kill(-pid_t(p.pid), sig);
}

void setSubreaper(bool on)
{
    ::prctl(PR_SET_CHILD_SUBREAPER, on ? 1UL : 0UL, 0UL, 0UL, 0UL);
}

} // namespace

int ProcessGroup::reapAdoptedOrphans()
{
    const qint64 self = ::getpid();
    const qint64 ownSession = ::getsid(0);
    int running = 0;
    for (qint64 pid : childrenOf(self)) {
        const auto p = readStat(pid);
        // A child started here shares this session or leads one of its own: it has a waiting
        // QProcess. Any other child was adopted.
        if (!p || p->ppid != self || p->sid == p->pid || p->sid == ownSession)
            continue;
        if (p->state == 'Z')
            ::waitpid(pid_t(pid), nullptr, WNOHANG);
        else
            ++running;
    }
    return running;
}

ProcessFamily::ProcessFamily()
{
    static quint64 serial = 0;
    m_mark = QStringLiteral("%1.%2").arg(::getpid()).arg(++serial);
}

ProcessFamily::~ProcessFamily()
{
    if (m_adopting && --s_adopters == 0 && !s_adoptedBefore)
        setSubreaper(false);
}

void ProcessFamily::prepare(QProcessEnvironment &environment)
{
    environment.insert(QLatin1String(kMarkName), m_mark);
    if (m_adopting)
        return;
    m_adopting = true;
    if (s_adopters++ == 0) {
        int was = 0;
        ::prctl(PR_GET_CHILD_SUBREAPER, &was, 0UL, 0UL, 0UL);
        s_adoptedBefore = was != 0;
        setSubreaper(true);
    }
}

void ProcessFamily::setLeader(qint64 pid)
{
    const auto p = readStat(pid);
    m_leader = pid;
    m_leaderStart = p ? p->start : 0;
}

int ProcessFamily::signalAll(Ending how)
{
    const int sig = how == Ending::Force ? SIGKILL : SIGTERM;
    int alive = 0;
    for (const ProcessStat &p : findMembers(m_mark, m_leader, m_leaderStart, m_known)) {
        m_known.insert(p.pid, p.start);
        if (p.state == 'Z')
            continue;
        send(p, sig);
        ++alive;
    }
    return alive;
}

void ProcessFamily::forceAll()
{
    QSet<qint64> killed;
    // A member may fork between the walk and the kill; the next round finds the new one.
    for (int round = 0; round < 8; ++round) {
        bool fresh = false;
        for (const ProcessStat &p : findMembers(m_mark, m_leader, m_leaderStart, m_known)) {
            m_known.insert(p.pid, p.start);
            if (p.state == 'Z')
                continue;
            fresh = fresh || !killed.contains(p.pid);
            killed.insert(p.pid);
            send(p, SIGKILL);
        }
        if (!fresh)
            break;
    }
}

bool ProcessFamily::reap()
{
    for (const ProcessStat &p : findMembers(m_mark, m_leader, m_leaderStart, m_known))
        m_known.insert(p.pid, p.start);
    const qint64 self = ::getpid();
    for (auto it = m_known.begin(); it != m_known.end();) {
        const auto p = readStat(it.key());
        bool gone = !p || p->start != it.value();
        if (!gone && p->state == 'Z' && p->ppid == self && p->pid != m_leader)
            gone = ::waitpid(pid_t(p->pid), nullptr, WNOHANG) == p->pid;
        it = gone ? m_known.erase(it) : std::next(it);
    }
    return !m_known.isEmpty();
}

#else

// Without /proc and a child reaper the family is the command's process group (on other
// Unix systems) or the command alone; the caller ends the command itself when none is found.
int ProcessGroup::reapAdoptedOrphans()
{
    return 0;
}
ProcessFamily::ProcessFamily() = default;
ProcessFamily::~ProcessFamily() = default;
void ProcessFamily::prepare(QProcessEnvironment &) {}
void ProcessFamily::setLeader(qint64 pid)
{
    m_leader = pid;
}
int ProcessFamily::signalAll(Ending how)
{
#if defined(Q_OS_UNIX)
    const int sig = how == Ending::Force ? SIGKILL : SIGTERM;
    return m_leader > 0 && ::kill(-pid_t(m_leader), sig) == 0 ? 1 : 0;
#else
    Q_UNUSED(how);
    return 0;
#endif
}
void ProcessFamily::forceAll()
{
    signalAll(Ending::Force);
}
bool ProcessFamily::reap()
{
    return false;
}

#endif
