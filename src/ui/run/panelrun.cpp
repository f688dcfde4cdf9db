#include "ui/run/panelrun.h"

#include "core/run/runending.h"
#include "platform/platform.h"

#include "ui/common/prompts.h"
#include "ui/run/outputdecor.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

namespace {
// Output is shown at once when it comes after a pause, and then at most this often, so that a
// flood of small writes does not lay out the panel thousands of times a second.
constexpr int kShowIntervalMs = 30;
// Small pieces (a header, a line now and then) are cheap: they never wait.
constexpr qsizetype kThrottleChars = 8 * 1024;
// Showing text costs a few tens of milliseconds per megabyte: a backlog is shown in slices of
// this size, for at most this long before other events have their turn.
constexpr qsizetype kSliceChars = 64 * 1024;
constexpr int kSliceBudgetMs = 12;
} // namespace

PanelRun *PanelRun::of(QPlainTextEdit *panel)
{
    // One run per panel: the panel owns it as a child.
    for (QObject *child : panel->children()) {
        if (auto *existing = qobject_cast<PanelRun *>(child))
            return existing;
    }
    return new PanelRun(panel);
}

PanelRun::PanelRun(QPlainTextEdit *panel)
    : QObject(panel)
    , m_panel(panel)
    , m_runner(new Runner(this))
    , m_drainTimer(new QTimer(this))
    , m_decor(new OutputDecor(panel))
{
    setObjectName(QStringLiteral("PanelRun"));
    // Undo steps for captured output would only double the memory the text takes.
    m_panel->setUndoRedoEnabled(false);
    m_drainTimer->setSingleShot(true);
    connect(m_drainTimer, &QTimer::timeout, this, [this] { drain(); });
    connect(m_runner, &Runner::started, this, &PanelRun::begin);
    connect(m_runner, &Runner::output, this, &PanelRun::receive);
    connect(m_runner, &Runner::finished, this, [this](int exitCode, Runner::Ending ending) {
        m_exitCode = exitCode;
        m_elapsedMs = m_clock.elapsed();
        onFinished(ending);
    });
    connect(m_runner, &Runner::failedToStart, this, &PanelRun::onFailedToStart);
    connect(m_runner, &Runner::inputOpenChanged, this, &PanelRun::inputOpenChanged);
    connect(m_decor, &OutputDecor::linkActivated, this, &PanelRun::linkActivated);
    QScrollBar *bar = m_panel->verticalScrollBar();
    connect(bar, &QScrollBar::rangeChanged, this, [this] {
        if (m_following)
            pinToEnd();
    });
    connect(bar, &QScrollBar::valueChanged, this, [this, bar](int value) {
        if (!m_pinning)
            m_following = value >= bar->maximum();
    });
}

void PanelRun::pinToEnd()
{
    QScrollBar *bar = m_panel->verticalScrollBar();
    const QScopedValueRollback<bool> ours(m_pinning, true);
    bar->setValue(bar->maximum());
}

bool PanelRun::decorating() const
{
    return m_decor->decorating();
}

void PanelRun::starting()
{
    if (m_busy)
        stopNow();
    m_busy = true;
    m_runnerDone = false;
    m_ending = Runner::Ending::Exited;
    m_exitCode = 0;
    m_elapsedMs = -1;
    m_endingTail.clear();
    m_clock.start();
    m_keeper.reset();
    m_endFrom = m_endTo = 0;
    m_endAt = m_noteAt = -1;
    m_noteLength = 0;
    m_leftOut = 0;
    m_heldCR = false;
    m_headSize = m_headShown = 0;
    emit runningChanged(true);
}

void PanelRun::start(const Command &command, bool withHeader)
{
    starting();
    // Relative names in its messages count from where it runs.
    m_decor->reset(!command.workingDirectory.isEmpty() ? command.workingDirectory
                   : !m_folder.isEmpty()               ? m_folder
                                                       : QDir::currentPath());
    m_runner->start(command, withHeader);
}

void PanelRun::startInInterpreter(const QString &interpreter, const QString &interpreterSwitch,
                                  const QString &line)
{
    starting();
    m_decor->reset(!m_folder.isEmpty() ? m_folder : QDir::currentPath());
    m_runner->startInInterpreter(interpreter, interpreterSwitch, line);
}

void PanelRun::showReport(const QString &text, const QString &folder)
{
    m_panel->clear();
    m_decor->reset(folder.isEmpty() ? QDir::currentPath() : folder);
    m_decor->insert(text);
    m_decor->closeLastLine();
}

void PanelRun::stop()
{
    if (m_runner->isRunning()) {
        m_runner->stop();
    } else if (m_busy && m_runnerDone) {
        // The command has ended; what is stopped is the showing of its backlog.
        discardBacklog();
        m_ending = Runner::Ending::Stopped;
        finishEntry();
    }
}

void PanelRun::stopNow()
{
    if (!m_busy)
        return;
    m_runner->stopNow();
    // Its end may have been shown already, if nothing was waiting to be shown.
    if (!m_busy)
        return;
    discardBacklog();
    m_ending = Runner::Ending::Stopped;
    finishEntry();
}

bool PanelRun::writeInput(const QString &text)
{
    if (!m_runner->writeInput(text))
        return false;
    // After everything the script wrote before, as on a terminal.
    receive(text);
    return true;
}

QString PanelRun::stoppedNote()
{
    return tr("[Stopped by the user]");
}

QString PanelRun::leftOutNote(qint64 chars)
{
    return tr("[%1 more characters of output were left out.]").arg(chars);
}

QString PanelRun::visible(QString text)
{
    text.replace(QChar(0), QChar(0x2400));
    return text;
}

void PanelRun::begin()
{
    m_clock.start();
    // A new run is followed, wherever the last one was scrolled to.
    m_following = true;
    pinToEnd();
    // Each run is one entry that starts on a line of its own.
    const QTextDocument *doc = m_panel->document();
    if (!doc->isEmpty() && doc->lastBlock().length() > 1)
        append(QStringLiteral("\n"));
}

void PanelRun::receive(const QString &chunk)
{
    emit received(chunk);
    QString text = chunk;
    if (m_heldCR) {
        text.prepend(u'\r');
        m_heldCR = false;
    }
    if (text.endsWith(u'\r')) {
        text.chop(1);
        m_heldCR = true;
    }
    // The panel breaks lines at "\r" too; "\r\n" is one line break, not two.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text = m_decor->take(text);

    QString beginning = m_keeper.add(text);
    m_headSize += beginning.size();
    if (!beginning.isEmpty())
        m_backlog.push_back(std::move(beginning));
    if (!m_drainTimer->isActive()) {
        const qsizetype shown = drain();
        if (!m_drainTimer->isActive() && shown >= kThrottleChars)
            m_drainTimer->start(kShowIntervalMs);
    }
}

qsizetype PanelRun::drain()
{
    QElapsedTimer spent;
    spent.start();
    qsizetype shown = 0;
    while (pending() && spent.elapsed() < kSliceBudgetMs) {
        if (m_backlog.empty()) {
            shown += showEnd(kSliceChars);
            continue;
        }
        QString slice;
        while (!m_backlog.empty() && slice.size() < kSliceChars) {
            slice += m_backlog.front();
            m_backlog.pop_front();
        }
        shown += slice.size();
        const qint64 at = m_headShown;
        m_headShown += slice.size();
        // A flood is decorated where it is seen first, the rest once it pauses.
        const Decorate when = slice.size() >= kThrottleChars ? Decorate::Later : Decorate::Now;
        append(visible(std::move(slice)), at, when);
    }
    if (pending())
        m_drainTimer->start(0);
    else if (m_runnerDone && m_busy)
        finishEntry();
    return shown;
}

bool PanelRun::pending() const
{
    return !m_backlog.empty() || m_keeper.tailEnd() > m_endTo || m_keeper.tailStart() > m_endFrom;
}

// Brings the end part of the panel in line with the keeper, one step at a time: first what it
// let go of is cut from the panel (a slice at most) and counted in the note, then up to
// maxChars of what came since are appended. Returns the characters cut or shown.
qsizetype PanelRun::showEnd(qsizetype maxChars)
{
    QTextDocument *doc = m_panel->document();
    if (m_endAt < 0)
        m_endAt = doc->characterCount() - 1; // the beginning is all shown: the end follows it
    if (m_keeper.tailStart() > m_endFrom) {
        const qint64 due = qMin(m_keeper.tailStart(), m_endTo) - m_endFrom;
        const qsizetype cut = qsizetype(qMin<qint64>(due, kSliceChars));
        if (cut > 0) {
            QTextCursor c(doc);
            c.setPosition(m_endAt);
            c.setPosition(m_endAt + int(cut), QTextCursor::KeepAnchor);
            // In an edit block the cursor does not lay out the line it lands on.
            c.beginEditBlock();
            c.removeSelectedText();
            c.endEditBlock();
            m_endFrom += cut;
        }
        if (m_endFrom >= m_endTo)
            m_endFrom = m_endTo = qMax(m_endTo, m_keeper.tailStart());
        writeMiddleNote();
        if (cut > 0)
            return cut;
    }
    const QStringView more = m_keeper.tail(m_endTo, maxChars);
    if (!more.isEmpty()) {
        // Most of it is cut again before anyone reads it: decorated only if it stays.
        append(visible(more.toString()), m_headSize + m_endTo, Decorate::Later);
        m_endTo += more.size();
    }
    return more.size();
}

void PanelRun::writeMiddleNote()
{
    const QString note = m_keeper.note();
    QTextCursor c(m_panel->document());
    if (m_noteAt >= 0) {
        c.setPosition(m_noteAt);
        c.setPosition(m_noteAt + m_noteLength, QTextCursor::KeepAnchor);
        c.insertText(note);
        m_endAt += int(note.size()) - m_noteLength;
    } else {
        // On a line of its own between the beginning and the end.
        const bool lineOpen = m_endAt > 0
                              && m_panel->document()->characterAt(m_endAt - 1)
                                         != QChar::ParagraphSeparator;
        c.setPosition(m_endAt);
        c.insertText((lineOpen ? QStringLiteral("\n") : QString()) + note + u'\n');
        m_noteAt = m_endAt + (lineOpen ? 1 : 0);
        m_endAt = m_noteAt + int(note.size()) + 1;
    }
    m_noteLength = int(note.size());
}

void PanelRun::discardBacklog()
{
    // The panel's end first matches what the note says, then whatever was not shown is
    // counted as left out.
    while (m_keeper.tailStart() > m_endFrom)
        showEnd(0);
    for (const QString &s : m_backlog)
        m_leftOut += s.size();
    m_leftOut += m_keeper.tailEnd() - m_endTo;
    m_endTo = m_keeper.tailEnd();
    m_backlog.clear();
    m_drainTimer->stop();
}

void PanelRun::append(const QString &text, qint64 streamPos, Decorate when)
{
    // The beginning and the end are held apart: the end is cut at its start, which would
    // otherwise lie inside text taken for one.
    if (when == Decorate::Later)
        m_decor->insertLater(text, streamPos, m_endAt < 0 ? 0 : 1);
    else
        m_decor->insert(text, streamPos);
    if (m_following)
        pinToEnd();
}

void PanelRun::onFinished(Runner::Ending ending)
{
    if (!m_busy)
        return;
    if (m_heldCR) {
        m_heldCR = false;
        if (QString rest = m_keeper.add(m_decor->take(QStringLiteral("\n"))); !rest.isEmpty()) {
            m_headSize += rest.size();
            m_backlog.push_back(std::move(rest));
        }
    }
    m_runnerDone = true;
    m_ending = ending;
    if (pending())
        drain();
    else
        finishEntry();
}

void PanelRun::finishEntry()
{
    QString closing;
    bool lineOpen = m_panel->document()->lastBlock().length() > 1;
    auto addLine = [&](const QString &line) {
        if (lineOpen)
            closing += u'\n';
        closing += line;
        lineOpen = true;
    };
    if (m_leftOut > 0)
        addLine(leftOutNote(m_leftOut));
    if (m_ending == Runner::Ending::Stopped)
        addLine(stoppedNote());
    if (m_endingLine) {
        const int signal = m_ending == Runner::Ending::Crashed ? m_exitCode : 0;
        const QString line = runEndingLine(m_exitCode, m_ending,
                                           m_elapsedMs >= 0 ? m_elapsedMs : m_clock.elapsed(),
                                           signal > 0 ? Platform::signalName(signal) : QString());
        m_endingTail = lineOpen ? u'\n' + line : line;
        addLine(line);
    }
    if (m_breakAfter)
        closing += u'\n';
    if (!closing.isEmpty())
        append(closing);
    m_decor->closeLastLine();
    m_busy = false;
    m_drainTimer->stop();
    emit ended(m_ending);
    emit runningChanged(false);
}

void PanelRun::onFailedToStart()
{
    m_busy = false;
    emit runningChanged(false);
    Prompts::error(m_panel->window(), couldNotRunMessage());
}

PanelRun *RunAndCapture(QPlainTextEdit *target, const Command &command, bool withHeader)
{
    PanelRun *run = PanelRun::of(target);
    run->start(command, withHeader);
    return run;
}
