#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QProcess;
class QTimer;

// One run of a command-line tool that reads text and answers on its standard output and error,
// both in UTF-8. It never blocks: start() returns at once and finished() follows. A tool that
// takes longer than the time limit is killed, so a hung one cannot keep its caller waiting.
class ToolRun : public QObject
{
    Q_OBJECT
public:
    enum class Ending {
        Exited,        // the exit code is the tool's own
        FailedToStart, // not found or not executable
        Crashed,       // killed by a signal we did not send
        Stopped,       // by stop()
        TimedOut,      // killed at the time limit
    };
    Q_ENUM(Ending)

    struct Result
    {
        Ending ending = Ending::Exited;
        int exitCode = 0;
        QString output;
        QString errors;
    };

    explicit ToolRun(QObject *parent = nullptr);
    ~ToolRun() override;

    // False while a run is going: one at a time.
    bool start(const QString &program, const QStringList &arguments, const QString &folder,
               const QString &input);
    // Kills the tool; finished() reports Stopped.
    void stop();
    bool isRunning() const { return m_process != nullptr; }
    void setTimeLimit(int milliseconds) { m_limitMs = milliseconds; }
    int timeLimit() const { return m_limitMs; }

signals:
    void finished(const ToolRun::Result &result);

private:
    void end(Ending ending);

    QProcess *m_process = nullptr;
    QTimer *m_limit;
    QByteArray m_output;
    QByteArray m_errors;
    int m_limitMs = 60000;
    bool m_stopping = false;
    bool m_timedOut = false;
};
