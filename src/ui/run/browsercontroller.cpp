#include "ui/run/browsercontroller.h"

#include "core/run/webserver.h"
#include "core/settings/inifile.h"
#include "platform/platform.h"
#include "ui/common/application.h"
#include "ui/common/commands.h"
#include "ui/common/prompts.h"
#include "ui/editor/documentsource.h"
#include "ui/editor/scripteditor.h"
#include "ui/run/browser.h"
#include "ui/run/cgilog.h"
#include "ui/run/openurl.h"

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QFileInfo>
#include <QLabel>
#include <QSplitter>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

BrowserController::BrowserController(TIniFile &settings, QString programDir,
                                     const CommandTable &commands, DocumentSource &docs,
                                     QWidget *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_programDir(std::move(programDir))
    , m_commands(commands)
    , m_docs(docs)
    , m_sheet(new QWidget(parent))
{
    m_sheet->setObjectName(QStringLiteral("IESheet"));
    // The CGI log sits under the page it explains; it shows once the local server runs.
    m_split = new QSplitter(Qt::Vertical, m_sheet);
    m_browser = new BrowserPage(m_split);
    m_cgiLog = new CgiLogPanel(m_split);
    m_cgiLog->hide();
    m_split->addWidget(m_browser);
    m_split->addWidget(m_cgiLog);
    m_split->setStretchFactor(0, 1);
    m_split->setStretchFactor(1, 0);
    auto *layout = new QVBoxLayout(m_sheet);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_split);
    m_browser->baseDir = m_programDir;
    m_browser->homeAddress = helpPage();
    m_browser->searchAddress = perlReferencePage();
    m_browser->ownPlaces = {QFileInfo(helpPage()).path() + u'/',
                            QFileInfo(perlReferencePage()).path() + u'/',
                            m_programDir + QStringLiteral("doc/template.html")};
    connect(m_browser, &BrowserPage::pseudoCommand, this, &BrowserController::pseudoCommand);
    connect(m_browser, &BrowserPage::browseRequested, this, &BrowserController::browseRequested);

    commands.onTriggered({"SetotherHTMLfile1", "SetHTMLfile2", "SetotherHTMLfile3"}, this,
                         [this] { chooseHtmlFile(); });
    commands["btWebServ"]->setCheckable(true);
    commands.onTriggered({"btWebServ"}, this, [this] { startWebServer(false); });
    m_serverWatchTimer = new QTimer(this);
    m_serverWatchTimer->setInterval(100);
    connect(m_serverWatchTimer, &QTimer::timeout, this, &BrowserController::watchServerStart);
}

void BrowserController::setStatusLabel(QLabel *label)
{
    connect(m_browser, &BrowserPage::statusText, label, &QLabel::setText);
}

void BrowserController::navigate(const QString &address)
{
    m_browser->navigate(address);
}

void BrowserController::focus()
{
    m_browser->focusBrowser();
}

QString BrowserController::helpPage() const
{
    return m_programDir + QStringLiteral("doc/help/index.html");
}

// The Perl reference is generated when the program is built and shipped beside it; a program
// folder given with --home may predate it.
QString BrowserController::perlReferencePage() const
{
    const QString rel = QStringLiteral("doc/perlref/index.html");
    const QString own = m_programDir + rel;
    if (QFileInfo::exists(own))
        return own;
    const QString shipped = QCoreApplication::applicationDirPath() + u'/' + rel;
    return QFileInfo::exists(shipped) ? shipped : own;
}

QString BrowserController::askAddress()
{
    if (!m_openUrl)
        m_openUrl = new TOpenURL(m_settings, m_sheet->window());
    if (Prompts::instance().modal(*m_openUrl) != QDialog::Accepted)
        return QString();
    return m_openUrl->chosenAddress();
}

bool BrowserController::showPageOf(TScriptEditor &doc)
{
    if (!doc.HTMLFile.isEmpty() || doc.HTMLGiven) {
        // A fresh load already shows the newest page; reloading on top of it would
        // cancel the load and show the previous page again.
        if (doc.HTMLUpdate)
            m_browser->navigate(doc.HTMLFile);
        else
            m_browser->refresh();
        return true;
    }
    const QString address = askAddress();
    if (address.isEmpty())
        return false;
    doc.HTMLFile = address;
    doc.HTMLGiven = true;
    m_browser->navigate(doc.HTMLFile);
    return true;
}

void BrowserController::chooseHtmlFile()
{
    TScriptEditor *doc = m_docs.current();
    if (!doc) {
        Prompts::error(m_sheet->window(),
                       QStringLiteral("Doh! There is no script open. An HTML file belongs to a "
                                      "script: open or create one first."));
        return;
    }
    const QString address = askAddress();
    if (address.isEmpty())
        return;
    doc->HTMLFile = address;
    doc->HTMLGiven = false;
}

void BrowserController::startWebServer(bool quietWhenRunning)
{
    const QString program = WebServer::programPath(m_settings, m_programDir);
    WebServer::Setup setup;
    setup.launcherName = Platform::webServerLauncherName();
    setup.localAddress = Platform::localHttpAddress();
    setup.port = quint16(QUrl(setup.localAddress).port(8080));
    setup.folders = WebServer::serverFolders(m_settings, m_programDir);
    setup.probe.serverAnswers = [port = setup.port] {
        return Platform::localPortAnswers(port);
    };
    setup.probe.serverInstalled = [] {
        return !Platform::findWebServerProgram().isEmpty();
    };
    const WebServer::Outcome outcome = WebServer::start(program, setup);
    m_commands["btWebServ"]->setChecked(outcome.pressed());
    // Only the shipped launcher's server writes the logs its configuration names.
    if ((outcome.kind == WebServer::Outcome::Started
         || outcome.kind == WebServer::Outcome::AlreadyRunning)
        && QFileInfo(program).fileName() == setup.launcherName) {
        m_cgiLog->follow(WebServer::cgiErrorLog(setup.folders), WebServer::accessLog(setup.folders));
        if (m_cgiLog->isHidden()) {
            m_cgiLog->show();
            const int total = m_split->height();
            const int log = std::min(m_cgiLog->sizeHint().height(), total / 3);
            if (total > 0)
                m_split->setSizes({total - log, log});
        }
    }
    if (outcome.kind == WebServer::Outcome::AlreadyRunning) {
        if (!quietWhenRunning)
            Prompts::information(m_sheet->window(), outcome.message);
    } else if (!outcome.message.isEmpty()) {
        Prompts::error(m_sheet->window(), outcome.message);
    } else if (outcome.kind == WebServer::Outcome::Started) {
        m_startedServer = program;
        m_serverWatch.start();
        m_serverWatchTimer->start();
    }
}

void BrowserController::watchServerStart()
{
    const std::optional<QString> failure = WebServer::failedStart(m_startedServer,
                                                                  WebServer::runDir(m_programDir));
    if (!failure) {
        if (m_serverWatch.elapsed() > kServerWatchMs)
            m_serverWatchTimer->stop();
        return;
    }
    m_serverWatchTimer->stop();
    m_commands["btWebServ"]->setChecked(false);
    m_cgiLog->stop();
    m_cgiLog->hide();
    Prompts::error(m_sheet->window(), *failure);
}
