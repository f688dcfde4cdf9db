#include "ui/shell/viewcontroller.h"

#include "core/run/browserrules.h"
#include "core/settings/configkeys.h"
#include "core/settings/inifile.h"
#include "ui/common/application.h"
#include "ui/common/commands.h"
#include "ui/editor/scripteditor.h"
#include "ui/run/browsercontroller.h"
#include "ui/shell/documenttabs.h"

#include <QAction>
#include <QActionGroup>
#include <QFileInfo>
#include <QLabel>
#include <QStackedWidget>

namespace {

const char *const kViewCommands[] = {"vSetCode", "vSetHTML", "vSetTasks", "vSetToday", "vSetHelp"};
} // namespace

ViewController::ViewController(TIniFile &settings, const CommandTable &commands, DocumentTabs &docs,
                               BrowserController &browser, std::function<QString()> todayPage,
                               QWidget *codeSheet, QWidget *taskSheet, QLabel *caption,
                               QWidget *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_commands(commands)
    , m_docs(docs)
    , m_browser(browser)
    , m_todayPage(std::move(todayPage))
    , m_pages(new QStackedWidget(parent))
    , m_codeSheet(codeSheet)
    , m_taskSheet(taskSheet)
    , m_caption(caption)
{
    m_pages->setObjectName(QStringLiteral("Carry2"));
    m_pages->addWidget(m_codeSheet);
    m_pages->addWidget(m_taskSheet);
    m_pages->addWidget(m_browser.sheet());

    // The view commands are radio items; the browser view of an address belongs to none.
    auto *group = new QActionGroup(this);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (const char *n : kViewCommands) {
        commands[n]->setCheckable(true);
        group->addAction(commands[n]);
    }
    commands.onTriggered({"vSetCode"}, this, [this] { setView(ViewKind::vkSource); });
    commands.onTriggered({"vSetHTML"}, this, [this] { setView(ViewKind::vkHTML); });
    commands.onTriggered({"vSetTasks"}, this, [this] { setView(ViewKind::vkTasks); });
    commands.onTriggered({"vSetToday"}, this, [this] { setView(ViewKind::vkToday); });
    commands.onTriggered({"vSetHelp", "btHelp", "Contents1"}, this,
                         [this] { setView(ViewKind::vkHelp); });

    using BrowserRules::PseudoCommand;
    connect(&m_browser, &BrowserController::pseudoCommand, this, [this](PseudoCommand command) {
        guarded([&] {
            switch (command) {
            case PseudoCommand::Editor:
                setView(ViewKind::vkSource, Config::read(m_settings, Config::LastOpened));
                break;
            case PseudoCommand::Tasks:
                setView(ViewKind::vkTasks);
                break;
            case PseudoCommand::Help:
                setView(ViewKind::vkHelp);
                break;
            case PseudoCommand::PerlRef:
                setView(ViewKind::vkBrowse, m_browser.perlReferencePage());
                m_caption->setText(QStringLiteral("CPAN Perl reference"));
                break;
            case PseudoCommand::None:
                break;
            }
        });
    });
    connect(&m_browser, &BrowserController::browseRequested, this, [this](const QString &address) {
        guarded([&] { setView(ViewKind::vkBrowse, address); });
    });
    connect(&m_docs, &DocumentTabs::currentChanged, this, [this] { setView(ViewKind::vkSource); });
}

void ViewController::check(const char *command)
{
    m_commands[command]->setChecked(true);
}

void ViewController::setView(ViewKind kind, const QString &path)
{
    emit fileCommandsEnabled(true);
    switch (kind) {
    case ViewKind::vkSource:
        if (!path.isEmpty() && QFileInfo(path).isFile())
            m_docs.open(path);
        if (!m_docs.current())
            return;
        m_pages->setCurrentWidget(m_codeSheet);
        m_caption->setText(QStringLiteral("Source code"));
        check("vSetCode");
        emit sourceShown();
        break;
    case ViewKind::vkHTML: {
        TScriptEditor *doc = m_docs.current();
        if (!doc)
            return;
        m_pages->setCurrentWidget(m_browser.sheet());
        emit fileCommandsEnabled(false);
        m_browser.showPageOf(*doc);
        m_caption->setText(QStringLiteral("HTML"));
        check("vSetHTML");
        break;
    }
    case ViewKind::vkTasks:
        m_pages->setCurrentWidget(m_taskSheet);
        m_caption->setText(QStringLiteral("Tasks"));
        check("vSetTasks");
        break;
    case ViewKind::vkToday: {
        // A missing template ends here with its error, before anything is switched.
        const QString page = m_todayPage();
        m_browser.navigate(page);
        m_pages->setCurrentWidget(m_browser.sheet());
        m_caption->setText(QStringLiteral("Quillforge Today"));
        check("vSetToday");
        break;
    }
    case ViewKind::vkHelp:
        m_browser.navigate(m_browser.helpPage());
        m_pages->setCurrentWidget(m_browser.sheet());
        m_caption->setText(QStringLiteral("Help"));
        check("vSetHelp");
        break;
    case ViewKind::vkBrowse:
        m_browser.navigate(path);
        m_pages->setCurrentWidget(m_browser.sheet());
        m_caption->setText(BrowserRules::browseCaption(path));
        if (QAction *checked = m_commands["vSetCode"]->actionGroup()->checkedAction())
            checked->setChecked(false);
        m_browser.focus();
        break;
    }
}

void ViewController::showInitialView()
{
    m_pages->setCurrentWidget(m_browser.sheet());
    switch (Config::read(m_settings, Config::InitialView)) {
    case 1:
        setView(ViewKind::vkToday);
        break;
    case 2:
        setView(ViewKind::vkTasks);
        break;
    case 0:
        if (Config::read(m_settings, Config::OpenLast))
            setView(ViewKind::vkSource, Config::read(m_settings, Config::LastOpened));
        else
            setView(ViewKind::vkSource);
        break;
    default:
        break;
    }
}
