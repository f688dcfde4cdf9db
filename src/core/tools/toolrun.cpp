#include "core/tools/toolrun.h"

#include <QProcess>
#include <QTimer>

ToolRun::ToolRun(QObject *parent)
    : QObject(parent)
    , m_limit(new QTimer(this))
{
    m_limit->setSingleShot(true);
    connect(m_limit, &QTimer::timeout, this, [this] {
        m_timedOut = true;
        if (m_process)
            m_process->kill();
    });
}

ToolRun::~ToolRun()
{
    if (m_process) {
        m_process->disconnect(this);
        m_process->kill();
        m_process->waitForFinished(1000);
    }
}

bool ToolRun::start(const QString &program, const QStringList &arguments, const QString &folder,
                    const QString &input)
{
    if (m_process)
        return false;
    m_output.clear();
    m_errors.clear();
    m_stopping = false;
    m_timedOut = false;
    m_process = new QProcess(this);
    m_process->setProgram(program);
    m_process->setArguments(arguments);
    m_process->setWorkingDirectory(folder);
    QProcess *p = m_process;
    connect(p, &QProcess::readyReadStandardOutput, this,
            [this, p] { m_output += p->readAllStandardOutput(); });
    connect(p, &QProcess::readyReadStandardError, this,
            [this, p] { m_errors += p->readAllStandardError(); });
    connect(p, &QProcess::finished, this, [this, p](int, QProcess::ExitStatus status) {
        m_output += p->readAllStandardOutput();
        m_errors += p->readAllStandardError();
        if (m_timedOut)
            end(Ending::TimedOut);
        else if (m_stopping)
            end(Ending::Stopped);
        else
            end(status == QProcess::CrashExit ? Ending::Crashed : Ending::Exited);
    });
    connect(p, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            end(Ending::FailedToStart);
    });
    // The text is written as the tool reads it; a large script does not wait for it here.
    connect(p, &QProcess::started, this, [p, bytes = input.toUtf8()] {
        p->write(bytes);
        p->closeWriteChannel();
    });
    m_limit->start(m_limitMs);
    m_process->start();
    return true;
}

void ToolRun::stop()
{
    if (!m_process)
        return;
    m_stopping = true;
    m_process->kill();
}

void ToolRun::end(Ending ending)
{
    if (!m_process)
        return;
    m_limit->stop();
    Result r;
    r.ending = ending;
    r.exitCode = ending == Ending::Exited ? m_process->exitCode() : -1;
    r.output = QString::fromUtf8(m_output);
    r.errors = QString::fromUtf8(m_errors);
    m_process->disconnect(this);
    m_process->deleteLater();
    m_process = nullptr;
    emit finished(r);
}
