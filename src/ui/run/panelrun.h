#pragma once

#include "core/run/outputkeeper.h"
#include "core/run/runner.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <deque>

class OutputDecor;
class QPlainTextEdit;
class QTimer;

// The one runner of a text panel: what the command writes is appended to the panel as one
// new entry while it arrives. Zero bytes are shown as U+2400 so that nothing after them is
// lost. Past kHeadChars the panel shows the beginning and the most recent kTailChars or so, with
// a line between them that says how much of the middle was left out: the last lines are where
// a script says what went wrong.
//
// A command may write faster than a text panel can take it in; the panel then catches up in
// slices between other events, so the window never freezes. A run counts as going until
// everything it wrote is shown.
class PanelRun : public QObject
{
    Q_OBJECT
public:
    // Some 30,000 lines of 100 characters. Cutting the end of a larger panel would stall it:
    // the text control copies all its text now and then after a removal.
    static constexpr qsizetype kHeadChars = 1024 * 1024;
    static constexpr qsizetype kTailChars = 2 * 1024 * 1024;

    // The panel's runner, made on first use and owned by the panel.
    static PanelRun *of(QPlainTextEdit *panel);

    // A run still going in this panel is ended first, as by stopNow().
    void start(const Command &command, bool withHeader);
    void startInInterpreter(const QString &interpreter, const QString &interpreterSwitch,
                            const QString &line);
    // Asks the command and its children to end and forces them after a grace time; a second
    // call forces at once. The panel says that the run was stopped.
    void stop();
    // Ends the run before this returns; output not shown yet is left out, and counted.
    void stopNow();
    bool isRunning() const { return m_busy; }
    // Some of the output shown still waits for its colours and links.
    bool decorating() const;
    // Replaces the panel's text by a report of the program's own (no run may be going), with
    // its places linked as a run's would be; relative names count from folder.
    void showReport(const QString &text, const QString &folder);
    // The run's standard input, open while a command that keeps it so runs. What is written
    // shows in the panel too, as a terminal echoes the typing, so the transcript reads right.
    bool isInputOpen() const { return m_runner->isInputOpen(); }
    bool writeInput(const QString &text);
    void closeInput() { m_runner->closeInput(); }
    void setWorkingDirectory(const QString &folder)
    {
        m_folder = folder;
        m_runner->setWorkingDirectory(folder);
    }

    // The console's Enter key broke the line after each entry: a line break closes the entry.
    void setLineBreakAfterEntry(bool on) { m_breakAfter = on; }
    // Each run closes with a line of how it ended and how long it took.
    void setEndingLine(bool on) { m_endingLine = on; }
    // What the last run's ending line added to the panel (with the line break before it), empty
    // if none was written.
    const QString &endingTail() const { return m_endingTail; }

    static QString stoppedNote();
    static QString leftOutNote(qint64 chars);
    // What the panel shows of a piece of output (zero bytes made visible).
    static QString visible(QString text);

signals:
    void runningChanged(bool running);
    void ended(Runner::Ending ending);
    void inputOpenChanged(bool open);
    // A link in the output (a place a message names) was activated.
    void linkActivated(const QString &path, int line);
    // What the command wrote, as it arrives, before anything is made of it.
    void received(const QString &text);

private:
    explicit PanelRun(QPlainTextEdit *panel);
    void starting();
    void begin();
    void receive(const QString &text);
    qsizetype drain(); // characters shown
    qsizetype showEnd(qsizetype maxChars);
    void writeMiddleNote();
    bool pending() const;
    void discardBacklog();
    enum class Decorate { Now, Later };
    void append(const QString &text, qint64 streamPos = -1, Decorate when = Decorate::Now);
    void pinToEnd();
    void onFinished(Runner::Ending ending);
    void finishEntry();
    void onFailedToStart();

    QPlainTextEdit *m_panel;
    Runner *m_runner;
    QTimer *m_drainTimer;
    OutputDecor *m_decor;
    QString m_folder;       // where runs go whose command names no folder
    qint64 m_headSize = 0;  // output characters in the beginning, all received
    qint64 m_headShown = 0; // of them shown
    OutputKeeper m_keeper{kHeadChars, kTailChars};
    std::deque<QString> m_backlog; // of the beginning: received, not shown yet
    // The end as shown: the keeper's positions [m_endFrom, m_endTo) stand in the document from
    // m_endAt on, after the note at m_noteAt (-1: none yet).
    qint64 m_endFrom = 0;
    qint64 m_endTo = 0;
    int m_endAt = -1;
    int m_noteAt = -1;
    int m_noteLength = 0;
    qint64 m_leftOut = 0; // not shown because the run was stopped
    Runner::Ending m_ending = Runner::Ending::Exited;
    QElapsedTimer m_clock; // since the run started
    qint64 m_elapsedMs = -1;
    int m_exitCode = 0;
    QString m_endingTail;
    bool m_endingLine = false;
    bool m_busy = false;
    bool m_runnerDone = false;
    bool m_heldCR = false; // a "\r" at the end of a chunk may be half of "\r\n"
    // The panel shows the end of the output and keeps doing so, also when lines laid out anew
    // (wrapped to more rows, a narrower panel) push the end down; scrolling away ends it.
    bool m_following = true;
    bool m_pinning = false; // the scroll is ours, not the user's
    bool m_breakAfter = false;
};

// Runs the command and appends what it writes to target (the header first when asked
// for); a command that cannot be started gives the "Doh!" error box and leaves target as it
// was. Returns at once: the output arrives while the program goes on.
PanelRun *RunAndCapture(QPlainTextEdit *target, const Command &command, bool withHeader);
