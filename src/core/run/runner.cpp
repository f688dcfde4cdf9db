#include "core/run/runner.h"

#include "platform/processgroup.h"

#include <QProcess>
#include <QTimer>

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
{
    m_forceTimer->setSingleShot(true);
    connect(m_forceTimer, &QTimer::timeout, this, [this] {
        forceEndPendingGroup();
        if (m_process && m_stopRequested)
            m_process->kill();
    });
}

Runner::~Runner()
{
    if (QProcess *p = release()) {
        if (!ProcessGroup::forceEnd(p->processId()))
            p->kill();
        p->waitForFinished(1000);
        delete p;
    }
    forceEndPendingGroup();
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
    launch(command.program, command.arguments, withHeader);
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

void Runner::launch(const QString &program, const QStringList &arguments, bool withHeader)
{
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
    m_process->setStandardInputFile(QProcess::nullDevice());
    // The output goes to a text panel, not a terminal: no colour or cursor codes, please.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TERM"), QStringLiteral("dumb"));
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
    m_process->start(program, arguments);
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
    const qint64 pid = m_process->processId();
    if (m_stopRequested) {
        m_forceTimer->stop();
        forceEndPendingGroup();
        if (!ProcessGroup::forceEnd(pid))
            m_process->kill();
        return;
    }
    m_stopRequested = true;
    // Before the child has made its own group there is no group to signal yet.
    if (!ProcessGroup::askToEnd(pid))
        m_process->terminate();
    m_pendingGroup = pid;
    m_forceTimer->start(m_stopGrace);
}

void Runner::stopNow()
{
    endOlderRuns();
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
    forceEndPendingGroup();
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
    QProcess *old = release();
    // The old process leaves quietly: nothing it still does reaches this runner's signals.
    connect(old, &QProcess::finished, old, &QObject::deleteLater);
    connect(old, &QProcess::errorOccurred, old, [old](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            old->deleteLater();
    });
    if (!ProcessGroup::forceEnd(old->processId()))
        old->kill();
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

void Runner::forceEndPendingGroup()
{
    if (m_pendingGroup > 0)
        ProcessGroup::forceEnd(m_pendingGroup);
    m_pendingGroup = 0;
}

void Runner::emitText(const QString &text)
{
    if (!text.isEmpty())
        emit output(text);
}

void Runner::onStarted()
{
    emit started();
    if (m_withHeader)
        emit output(outputHeader());
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
    const Ending ending = m_stopRequested ? Ending::Stopped
                          : crashed       ? Ending::Crashed
                                          : Ending::Exited;
    // The group stays marked while a stop's grace time runs: its other members may
    // ignore the polite request.
    release()->deleteLater();
    emit finished(exitCode, ending);
}

void Runner::onFailedToStart()
{
    QProcess *p = release();
    const QString reason = tr("Could not start \"%1\": %2").arg(m_program, p->errorString());
    p->deleteLater();
    emit failedToStart(reason);
}
