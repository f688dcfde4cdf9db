#include "ui/run/runinput.h"

#include "core/settings/configkeys.h"
#include "core/settings/inifile.h"
#include "ui/run/panelrun.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>

namespace {

bool isEndOfInput(const QKeyEvent *k)
{
    return k->key() == Qt::Key_D && k->modifiers() == Qt::ControlModifier;
}

} // namespace

bool RunInputLine::event(QEvent *e)
{
    // Ours before any shortcut of the window, and before the line's own Delete binding.
    if (e->type() == QEvent::ShortcutOverride && isEndOfInput(static_cast<QKeyEvent *>(e))) {
        e->accept();
        return true;
    }
    return QLineEdit::event(e);
}

void RunInputLine::keyPressEvent(QKeyEvent *e)
{
    if (isEndOfInput(e)) {
        emit endOfInput();
        return;
    }
    if ((e->key() == Qt::Key_Up || e->key() == Qt::Key_Down) && e->modifiers() == Qt::NoModifier) {
        setText(e->key() == Qt::Key_Up ? m_history.previous(text()) : m_history.next());
        return;
    }
    QLineEdit::keyPressEvent(e);
}

RunInputBar::RunInputBar(PanelRun *run, TIniFile &settings, QWidget *parent)
    : QWidget(parent)
    , m_run(run)
    , m_settings(settings)
    , m_line(new RunInputLine(this))
    , m_keep(new QCheckBox(QStringLiteral("Keep input open"), this))
{
    setObjectName(QStringLiteral("pRunInput"));
    auto *h = new QHBoxLayout(this);
    h->setContentsMargins(2, 1, 2, 1);
    m_line->setObjectName(QStringLiteral("edRunInput"));
    m_line->setAccessibleName(QStringLiteral("Script input"));
    m_line->setPlaceholderText(QStringLiteral("Input for the running script (Ctrl+D ends it)"));
    m_line->setFont(QFont(QStringLiteral("Courier New"), 9));
    m_keep->setObjectName(QStringLiteral("chkKeepInput"));
    m_keep->setToolTip(QStringLiteral("Runs read what is typed in the line at the left; without "
                                      "this, a script that reads its input finds it empty"));
    m_keep->setChecked(Config::read(m_settings, Config::KeepInputOpen));
    h->addWidget(m_line, 1);
    h->addWidget(m_keep);

    connect(m_line, &QLineEdit::returnPressed, this, &RunInputBar::send);
    connect(m_line, &RunInputLine::endOfInput, this, &RunInputBar::endInput);
    connect(m_keep, &QCheckBox::toggled, this,
            [this](bool on) { Config::write(m_settings, Config::KeepInputOpen, on); });
    connect(m_run, &PanelRun::inputOpenChanged, this, &RunInputBar::follow);
    follow(m_run->isInputOpen());
}

bool RunInputBar::keepInputOpen() const
{
    return m_keep->isChecked();
}

void RunInputBar::send()
{
    if (m_run->writeInput(m_line->text() + u'\n')) {
        m_line->remember(m_line->text());
        m_line->clear();
    }
}

void RunInputBar::endInput()
{
    // As on a terminal, what stands in the line goes first, without a line break.
    if (!m_line->text().isEmpty() && m_run->writeInput(m_line->text()))
        m_line->clear();
    m_run->closeInput();
}

void RunInputBar::follow(bool open)
{
    m_line->setEnabled(open);
    // A run that waits for input, a debugger above all, is talked to at once.
    if (open)
        m_line->setFocus();
}
