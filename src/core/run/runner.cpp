#include "core/run/runner.h"

#include "platform/processgroup.h"

#include <QProcess>
#include <QTimer>

namespace {
// After a stop the members end within milliseconds: look soon, then less and less often.
constexpr int kFirstSweepMs = 10;
constexpr int kSlowestSweepMs = 1000;
} // namespace

QString outputHeader()
{
    return QStringLiteral("<!-- Ostravine Quillforge Build 1.0 running Perl. --> ");
}

QString couldNotRunMessage()
{
    return QStringLiteral(
            "Doh! Perl could not be run, most probably I was not able to detect where or if Perl "
            "has been installed on this system. Please enter Edit|Options|Files & Directories to "
            "enter the path of Perl.\nImportant: Perl itself and maybe I dislike Perl to be "
            "installed into a directory path that contains blanks, this can cause inpredictable "
            "errors.");
}

Runner::Runner(QObject *parent)
    : QObject(parent)
    , m_forceTimer(new QTimer(this))
    , m_sweepTimer(new QTimer(this))
{
    m_forceTimer->setSingleShot(true);
    connect(m_forceTimer, &QTimer::timeout, this, [this] {
        forceAfterGrace();
        if (m_process && m_stopRequested)
            m_process->kill();
    });
    m_sweepTimer->setSingleShot(true);
    connect(m_sweepTimer, &QTimer::timeout, this, &Runner::sweep);
}

Runner::~Runner()
{
    forceAfterGrace();
    if (QProcess *p = release()) {
        if (m_family)
            m_family->forceAll();
        p->kill();
        p->waitForFinished(1000);
        delete p;
    }
    ProcessGroup::reapAdoptedOrphans();
    for (const auto &f : m_retired)
        f->reap();
}

void Runner::start(const Command &command, bool withHeader)
{
    if (command.program.isEmpty()) {
        failLater(tr("The command is empty."));
        return;
    }
    if (const QString why = command.problem(); !why.isEmpty()) {
        failLater(why);
        return;
    }
    launch(command, withHeader);
}

void Runner::startInInterpreter(const QString &interpreter, const QString &interpreterSwitch,
                                const QString &line)
{
    const Command command = interpreterCommand(interpreter, interpreterSwitch, line);
    if (command.program.isEmpty()) {
        failLater(tr("No command interpreter is set."));
        return;
    }
    start(command, false);
}

void Runner::launch(const Command &command, bool withHeader)
{
    const QString &program = command.program;
    endOlderRuns();
    ++m_serial;
    m_busy = true;
    m_withHeader = withHeader;
    m_stopRequested = false;
    m_bytes = 0;
    m_decoder.reset();
    m_program = program;

    m_process = new QProcess(this);
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    m_keepInput = command.keepInputOpen;
    if (!m_keepInput)
        m_process->setStandardInputFile(QProcess::nullDevice());
    // The command's own folder first, then the one the runner was given for all its starts.
    const QString &folder = command.workingDirectory.isEmpty() ? m_workingDirectory
                                                               : command.workingDirectory;
    if (!folder.isEmpty())
        m_process->setWorkingDirectory(folder);
    // The output goes to a text panel, not a terminal: no colour or cursor codes, please.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TERM"), QStringLiteral("dumb"));
    // Unbuffered, Perl's standard output keeps its place before later error lines in the shared
    // pipe. A layer the user chose is theirs.
    if (!env.contains(QStringLiteral("PERLIO")))
        env.insert(QStringLiteral("PERLIO"), QStringLiteral(":unix"));
    m_family = std::make_unique<ProcessFamily>();
    m_family->prepare(env);
    m_process->setProcessEnvironment(env);
    ProcessGroup::startAsGroupLeader(*m_process);
    connect(m_process, &QProcess::started, this, &Runner::onStarted);
    connect(m_process, &QProcess::readyReadStandardOutput, this, &Runner::readAvailable);
    connect(m_process, &QProcess::finished, this, [this](int code, QProcess::ExitStatus status) {
        onFinished(code, status == QProcess::CrashExit);
    });
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            onFailedToStart();
    });
    m_process->start(program, command.arguments);
    if (m_process && m_family && m_process->processId() > 0)
        m_family->setLeader(m_process->processId());
    // Orphans of the run that end while it goes are reaped as they come.
    sweepSoon();
}

void Runner::failLater(const QString &reason)
{
    endOlderRuns();
    ++m_serial;
    m_busy = true;
    m_program.clear();
    m_failure = reason;
    const quint64 serial = m_serial;
    QTimer::singleShot(0, this, [this, serial] {
        if (serial != m_serial || !m_busy)
            return;
        m_busy = false;
        emit failedToStart(m_failure);
    });
}

void Runner::stop()
{
    if (!m_process)
        return;
    if (m_stopRequested) {
        m_forceTimer->stop();
        forceAfterGrace();
        m_process->kill();
        return;
    }
    m_stopRequested = true;
    // A script that waits for a line hears the end of its input along with the request.
    closeInput();
    // Before the child exists as a process of its own there is nobody to ask yet.
    if (!m_family || m_family->signalAll(ProcessFamily::Ending::AskToEnd) == 0)
        m_process->terminate();
    m_forceDue = m_family.get();
    m_forceTimer->start(m_stopGrace);
    sweepSoon();
}

void Runner::stopNow()
{
    endOlderRuns();
}

bool Runner::writeInput(const QString &text)
{
    if (!m_inputOpen || !m_process)
        return false;
    // Buffered by the process object and written as the pipe takes it: never a wait here.
    return m_process->write(text.toUtf8()) >= 0;
}

void Runner::closeInput()
{
    if (!m_inputOpen)
        return;
    m_inputOpen = false;
    if (m_process)
        m_process->closeWriteChannel();
    emit inputOpenChanged(false);
}

void Runner::endOlderRuns()
{
    // A slot of the old run's finished() may itself have started a run: end that one too.
    do
        endCurrentRun();
    while (m_busy);
}

void Runner::endCurrentRun()
{
    forceAfterGrace();
    m_forceTimer->stop();
    if (!m_busy)
        return;
    if (!m_process) {
        // A failure that had not been reported yet is reported now, in its turn.
        m_busy = false;
        ++m_serial;
        emit failedToStart(m_failure);
        return;
    }
    readAvailable();
    emitText(m_decoder.flush());
    closeInput();
    QProcess *old = release();
    // The old process leaves quietly: nothing it still does reaches this runner's signals.
    connect(old, &QProcess::finished, old, &QObject::deleteLater);
    connect(old, &QProcess::errorOccurred, old, [old](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            old->deleteLater();
    });
    if (m_family)
        m_family->forceAll();
    old->kill();
    retireFamily();
    emit finished(-1, Ending::Stopped);
}

QProcess *Runner::release()
{
    QProcess *p = m_process;
    m_process = nullptr;
    m_busy = false;
    if (p)
        disconnect(p, nullptr, this, nullptr);
    return p;
}

void Runner::retireFamily()
{
    if (!m_family)
        return;
    // What the run leaves behind is looked for now, while it can still be told apart.
    m_family->reap();
    m_retired.push_back(std::move(m_family));
    sweepSoon();
}

void Runner::forceAfterGrace()
{
    if (!m_forceDue)
        return;
    m_forceDue->forceAll();
    m_forceDue = nullptr;
    sweepSoon();
}

void Runner::sweepSoon()
{
    m_sweepTimer->start(kFirstSweepMs);
}

void Runner::sweep()
{
    bool more = ProcessGroup::reapAdoptedOrphans() > 0;
    if (m_family) {
        m_family->reap();
        more = true;
    }
    for (auto it = m_retired.begin(); it != m_retired.end();) {
        if ((*it)->reap() || it->get() == m_forceDue) {
            more = true;
            ++it;
        } else {
            it = m_retired.erase(it);
        }
    }
    if (more)
        m_sweepTimer->start(qMin(m_sweepTimer->interval() * 2, kSlowestSweepMs));
}

void Runner::emitText(const QString &text)
{
    if (!text.isEmpty())
        emit output(text);
}

void Runner::onStarted()
{
    const quint64 serial = m_serial;
    emit started();
    if (m_withHeader)
        emit output(outputHeader());
    // A slot of started() may have stopped the run already, or started another.
    if (serial == m_serial && m_keepInput && m_process && !m_stopRequested) {
        m_inputOpen = true;
        emit inputOpenChanged(true);
    }
}

void Runner::readAvailable()
{
    if (!m_process)
        return;
    const QByteArray bytes = m_process->readAllStandardOutput();
    if (bytes.isEmpty())
        return;
    m_bytes += bytes.size();
    emitText(m_decoder.decode(bytes));
}

void Runner::onFinished(int exitCode, bool crashed)
{
    readAvailable();
    emitText(m_decoder.flush());
    closeInput();
    const Ending ending = m_stopRequested ? Ending::Stopped
                          : crashed       ? Ending::Crashed
                                          : Ending::Exited;
    // The family stays due for forcing while a stop's grace time runs: its other members may
    // ignore the polite request.
    release()->deleteLater();
    retireFamily();
    emit finished(exitCode, ending);
}

void Runner::onFailedToStart()
{
    QProcess *p = release();
    retireFamily();
    const QString reason = tr("Could not start \"%1\": %2").arg(m_program, p->errorString());
    p->deleteLater();
    emit failedToStart(reason);
}
