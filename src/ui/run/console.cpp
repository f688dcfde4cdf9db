#include "ui/run/console.h"

#include "platform/platform.h"
#include "ui/common/application.h"
#include "ui/run/panelrun.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextBlock>

ConsolePanel::ConsolePanel(QPlainTextEdit *console, QCheckBox *internalCommand,
                           std::function<QString()> interpreter, QObject *parent)
    : QObject(parent)
    , m_console(console)
    , m_internal(internalCommand)
    , m_interpreter(std::move(interpreter))
    , m_run(PanelRun::of(console))
{
    setObjectName(QStringLiteral("ConsolePanel"));
    m_run->setLineBreakAfterEntry(true);

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
            m_console->moveCursor(QTextCursor::End);
    });
}

QString ConsolePanel::command() const
{
    QTextBlock last = m_console->document()->lastBlock();
    if (last.text().isEmpty() && last.previous().isValid())
        last = last.previous();
    return last.text();
}

bool ConsolePanel::ConsoleKeyPress()
{
    const QString line = command();
    if (line == clearWord()) {
        m_console->clear();
        return true;
    }
    // A blank line runs nothing: Enter is an ordinary line break then.
    if (line.trimmed().isEmpty())
        return false;
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
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (!enter || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    bool handled = true;
    guarded([&] { handled = ConsoleKeyPress(); });
    return handled;
}
