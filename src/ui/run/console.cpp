#include "ui/run/console.h"

#include "core/common/errors.h"
#include "core/common/textfile.h"
#include "platform/platform.h"
#include "ui/common/application.h"
#include "ui/run/panelrun.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextBlock>

ConsolePanel::ConsolePanel(QPlainTextEdit *console, QCheckBox *internalCommand,
                           std::function<QString()> interpreter, QString historyFile,
                           QObject *parent)
    : QObject(parent)
    , m_console(console)
    , m_internal(internalCommand)
    , m_interpreter(std::move(interpreter))
    , m_run(PanelRun::of(console))
    , m_historyFile(std::move(historyFile))
    , m_folder(QDir::cleanPath(QDir::homePath()))
{
    setObjectName(QStringLiteral("ConsolePanel"));
    m_run->setLineBreakAfterEntry(true);
    m_run->setWorkingDirectory(m_folder);
    loadHistory();

    QFont f(QStringLiteral("Courier New"), 9);
    f.setStyleHint(QFont::Monospace);
    f.setBold(true);
    m_console->setFont(f);
    m_console->setStyleSheet(
            QStringLiteral("QPlainTextEdit { background: black; color: silver; }"));
    m_console->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_console->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_console->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_console->installEventFilter(this);

    connect(m_run, &PanelRun::runningChanged, this, [this](bool running) {
        m_console->setReadOnly(running);
        if (!running)
            showPrompt();
    });
    showPrompt();
}

void ConsolePanel::showPrompt()
{
    m_console->moveCursor(QTextCursor::End);
    const bool lineOpen = m_console->document()->lastBlock().length() > 1;
    m_console->insertPlainText((lineOpen ? QStringLiteral("\n") : QString()) + prompt());
}

QString ConsolePanel::command() const
{
    QTextBlock last = m_console->document()->lastBlock();
    if (last.text().isEmpty() && last.previous().isValid())
        last = last.previous();
    const QString p = prompt();
    return last.text().startsWith(p) ? last.text().mid(p.size()) : last.text();
}

QString ConsolePanel::prompt() const
{
    return consoleFolderText(m_folder, QDir::homePath()) + QStringLiteral("> ");
}

void ConsolePanel::changeFolder(const ConsoleCd &cd)
{
    QString text = QStringLiteral("\n");
    if (cd.error.isEmpty()) {
        m_previousFolder = m_folder;
        m_folder = cd.target;
        m_run->setWorkingDirectory(m_folder);
    } else {
        text += cd.error + u'\n';
    }
    m_console->moveCursor(QTextCursor::End);
    m_console->insertPlainText(text);
    showPrompt();
}

void ConsolePanel::recall(bool up)
{
    QTextCursor c(m_console->document()->lastBlock());
    c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    const QString p = prompt();
    const QString shown = c.selectedText();
    const bool prompted = shown.startsWith(p);
    const QString typed = prompted ? shown.mid(p.size()) : shown;
    const QString line = up ? m_history.previous(typed) : m_history.next();
    c.insertText((prompted ? p : QString()) + line);
    m_console->setTextCursor(c);
}

void ConsolePanel::loadHistory()
{
    if (m_historyFile.isEmpty() || !QFileInfo::exists(m_historyFile))
        return;
    try {
        m_history.loadBytes(readFileBytes(m_historyFile));
    } catch (const AppError &e) {
        qWarning("Console history not read: %s", e.what());
    }
}

void ConsolePanel::saveHistory()
{
    if (m_historyFile.isEmpty())
        return;
    // A history that cannot be kept is no reason to stop the user's work.
    try {
        writeFileAtomically(m_historyFile, m_history.toBytes());
    } catch (const AppError &e) {
        qWarning("Console history not kept: %s", e.what());
    }
}

bool ConsolePanel::ConsoleKeyPress()
{
    const QString line = command();
    if (m_history.add(line))
        saveHistory();
    if (const ConsoleCd cd = consoleCd(line, m_folder, QDir::homePath(), m_previousFolder);
        cd.isCd) {
        changeFolder(cd);
        return true;
    }
    if (line == clearWord()) {
        m_console->clear();
        showPrompt();
        return true;
    }
    // A blank line runs nothing: Enter is an ordinary line break then, or a fresh prompt.
    if (line.trimmed().isEmpty()) {
        if (!m_console->document()->lastBlock().text().startsWith(prompt()))
            return false;
        showPrompt();
        return true;
    }
    // The line break goes to the end, where the command's output will follow it; on an empty
    // last line the output starts there.
    m_console->moveCursor(QTextCursor::End);
    if (m_console->document()->lastBlock().length() > 1)
        m_console->insertPlainText(QStringLiteral("\n"));
    if (m_internal->isChecked())
        m_run->startInInterpreter(m_interpreter(), Platform::commandInterpreterSwitch(), line);
    else
        m_run->start(Command::fromTyped(line), false);
    return true;
}

bool ConsolePanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_console)
        return QObject::eventFilter(watched, event);
    const bool press = event->type() == QEvent::KeyPress;
    if (!press && event->type() != QEvent::ShortcutOverride)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (m_run->isRunning()) {
        const bool interrupt = key->matches(QKeySequence::Copy)
                               && !m_console->textCursor().hasSelection();
        if (interrupt && !press) {
            // The key is ours, not the main window's Copy command.
            event->accept();
            return true;
        }
        if (interrupt)
            m_run->stop();
        return interrupt;
    }
    if (!press)
        return false;
    const bool plain = !(key->modifiers() & ~Qt::KeypadModifier);
    const bool upDown = key->key() == Qt::Key_Up || key->key() == Qt::Key_Down;
    if (upDown && plain && m_console->textCursor().block() == m_console->document()->lastBlock()) {
        guarded([&] { recall(key->key() == Qt::Key_Up); });
        return true;
    }
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (!enter || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    bool handled = true;
    guarded([&] { handled = ConsoleKeyPress(); });
    return handled;
}
