#pragma once

#include "core/run/commandline.h"
#include "core/run/outputdecoder.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class ProcessFamily;
class QProcess;
class QTimer;

// The first bytes of a captured run: an HTML comment, so the output still renders as a page.
QString outputHeader();
// The error box text for a command that could not be started, for every caller.
QString couldNotRunMessage();

// Runs one command at a time and streams what it writes. Standard output and standard error
// share one pipe, so they arrive in the order written; standard input is empty, so a script
// that reads it sees end of file at once, unless the command keeps it open: then it is a pipe
// that writeInput() feeds until closeInput(), a stop, the end of the run or the next start.
// The command's words go to the program as they are; no shell runs it.
//
// Each start() ends in exactly one of finished() or failedToStart(), emitted after that
// start() has returned. Starting while a run is going ends that run first: its remaining
// output and its finished(-1, Stopped) are emitted inside start(), so nothing of it reaches
// the new run's signals.
//
// Ending a run ends everything it started, also what left its process group or lost its
// parent; what the runner adopts of it is reaped, so no ended process lingers.
class Runner : public QObject
{
    Q_OBJECT
public:
    enum class Ending {
        Exited,  // ended by itself; the exit code is its own
        Crashed, // killed by a signal it did not get from us
        Stopped, // ended by stop() or by a new start()
    };
    Q_ENUM(Ending)

    explicit Runner(QObject *parent = nullptr);
    ~Runner() override;

    // withHeader: outputHeader() is the first output of the run, once it has started.
    void start(const Command &command, bool withHeader);
    // The console's "internal command": the line goes to the interpreter as one argument,
    // after the interpreter switch (e.g. "/bin/sh" and " -c ").
    void startInInterpreter(const QString &interpreter, const QString &interpreterSwitch,
                            const QString &line);
    // Ends the run and everything it started: first asked, then forced after the grace
    // time. A second stop() forces at once.
    void stop();
    // Ends the run and everything it started at once, without a grace time: what it wrote so
    // far and its finished(-1, Stopped) are emitted before this returns.
    void stopNow();

    bool isRunning() const { return m_busy; }
    // True from started() on for a command that keeps its input open, until that input is closed.
    bool isInputOpen() const { return m_inputOpen; }
    // Hands text to the run's standard input, UTF-8 encoded as its output is read. False, and
    // nothing happens, when the input is not open.
    bool writeInput(const QString &text);
    // End of file for the run's standard input; nothing when it is not open.
    void closeInput();
    qint64 bytesReceived() const { return m_bytes; }
    void setStopGrace(int milliseconds) { m_stopGrace = milliseconds; }
    // Where later starts run when their command names no folder; empty: the IDE's own.
    void setWorkingDirectory(const QString &folder) { m_workingDirectory = folder; }

signals:
    void started();
    void output(const QString &text);
    void finished(int exitCode, Runner::Ending ending);
    void failedToStart(const QString &reason);
    void inputOpenChanged(bool open);

private:
    void launch(const Command &command, bool withHeader);
    void failLater(const QString &reason);
    void endOlderRuns();
    void endCurrentRun();
    void readAvailable();
    void emitText(const QString &text);
    void onStarted();
    void onFinished(int exitCode, bool crashed);
    void onFailedToStart();
    QProcess *release();
    void retireFamily();
    void forceAfterGrace();
    void sweepSoon();
    void sweep();

    QProcess *m_process = nullptr;
    QTimer *m_forceTimer = nullptr;
    QTimer *m_sweepTimer = nullptr;
    OutputDecoder m_decoder;
    QString m_program;
    QString m_workingDirectory;
    QString m_failure; // reason of a start that failed before any process existed
    std::unique_ptr<ProcessFamily> m_family;               // of the current run
    std::vector<std::unique_ptr<ProcessFamily>> m_retired; // runs over, members left
    ProcessFamily *m_forceDue = nullptr;                   // to force once the grace time is over
    qint64 m_bytes = 0;
    quint64 m_serial = 0;
    int m_stopGrace = 2000;
    bool m_busy = false;
    bool m_withHeader = false;
    bool m_stopRequested = false;
    bool m_keepInput = false; // the current command's
    bool m_inputOpen = false;
};
