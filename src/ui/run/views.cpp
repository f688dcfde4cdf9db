// The views of the central page, the browser's pseudo-links, the web server and the preview
// of the Perl output.
#include "ui/shell/mainwindow.h"

#include "core/common/messagewait.h"
#include "core/common/textfile.h"
#include "core/run/browserrules.h"
#include "core/run/webserver.h"
#include "platform/platform.h"
#include "ui/common/application.h"
#include "ui/common/prompts.h"
#include "ui/common/zoom.h"
#include "ui/run/browser.h"
#include "ui/run/codeprev.h"
#include "ui/run/openurl.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

using BrowserRules::PseudoCommand;

// Runs a handler on a left click of the watched widgets.
class ClickFilter : public QObject
{
public:
    ClickFilter(QObject *parent, std::function<void()> onClick)
        : QObject(parent)
        , m_onClick(std::move(onClick))
    {}

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::MouseButtonRelease
            && static_cast<QMouseEvent *>(e)->button() == Qt::LeftButton) {
            m_onClick();
            return true;
        }
        return false;
    }

private:
    std::function<void()> m_onClick;
};

// The Perl reference is generated when the program is built and shipped beside it; a program
// folder given with --home may predate it.
QString perlReferencePage(const QString &programDir)
{
    const QString rel = QStringLiteral("doc/perlref/index.html");
    const QString own = programDir + rel;
    if (QFileInfo::exists(own))
        return own;
    const QString shipped = QCoreApplication::applicationDirPath() + u'/' + rel;
    return QFileInfo::exists(shipped) ? shipped : own;
}

} // namespace

void TForm1::SetView(ViewKind kind, const QString &path)
{
    auto check = [this](const char *name) {
        action(name)->setChecked(true);
    };
    FileMenu->setEnabled(true);
    switch (kind) {
    case ViewKind::vkSource:
        if (!path.isEmpty() && QFileInfo(path).isFile())
            OpenDocument(path);
        if (!CurrentDocument())
            return;
        Carry2->setCurrentWidget(CodeSheet);
        CapPanel->setText(QStringLiteral("Source code"));
        check("vSetCode");
        RefreshCodeInspector();
        break;
    case ViewKind::vkHTML: {
        TScriptEditor *doc = CurrentDocument();
        if (!doc)
            return;
        Carry2->setCurrentWidget(IESheet);
        FileMenu->setEnabled(false);
        if (!doc->HTMLFile.isEmpty() || doc->HTMLGiven) {
            // A fresh load already shows the newest page; reloading on top of it would
            // cancel the load and show the previous page again.
            if (doc->HTMLUpdate)
                Browser->navigate(doc->HTMLFile);
            else
                Browser->refresh();
        } else if (openUrlDialog()->exec() == QDialog::Accepted) {
            doc->HTMLFile = ChosenAddress;
            doc->HTMLGiven = true;
            Browser->navigate(doc->HTMLFile);
        }
        CapPanel->setText(QStringLiteral("HTML"));
        check("vSetHTML");
        break;
    }
    case ViewKind::vkTasks:
        Carry2->setCurrentWidget(TaskSheet);
        CapPanel->setText(QStringLiteral("Tasks"));
        check("vSetTasks");
        break;
    case ViewKind::vkToday: {
        // A missing template ends here with its error, before anything is switched.
        const QString page = BuildTodayPage(ProgramDir + QStringLiteral("doc/today/index.html"));
        Browser->navigate(page);
        Carry2->setCurrentWidget(IESheet);
        CapPanel->setText(QStringLiteral("Quillforge Today"));
        check("vSetToday");
        break;
    }
    case ViewKind::vkHelp:
        Browser->navigate(ProgramDir + QStringLiteral("doc/help/index.html"));
        Carry2->setCurrentWidget(IESheet);
        CapPanel->setText(QStringLiteral("Help"));
        check("vSetHelp");
        break;
    case ViewKind::vkBrowse:
        Browser->navigate(path);
        Carry2->setCurrentWidget(IESheet);
        CapPanel->setText(BrowserRules::browseCaption(path));
        if (QAction *checked = action("vSetCode")->actionGroup()->checkedAction())
            checked->setChecked(false);
        Browser->focusBrowser();
        break;
    }
}

TOpenURL *TForm1::openUrlDialog()
{
    if (!OpenURL)
        OpenURL = new TOpenURL(Settings, ChosenAddress, this);
    return OpenURL;
}

void TForm1::wireViews()
{
    Browser = new BrowserPage(IESheet);
    auto *layout = new QVBoxLayout(IESheet);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Browser);
    Browser->baseDir = ProgramDir;
    Browser->homeAddress = ProgramDir + QStringLiteral("doc/help/index.html");
    Browser->searchAddress = perlReferencePage(ProgramDir);

    connect(Browser, &BrowserPage::pseudoCommand, this, [this](PseudoCommand command) {
        guarded([&] {
            switch (command) {
            case PseudoCommand::Editor:
                SetView(ViewKind::vkSource,
                        Settings.ReadString(QStringLiteral("SRecent"), QStringLiteral("LastOpened"),
                                            QString()));
                break;
            case PseudoCommand::Tasks:
                SetView(ViewKind::vkTasks);
                break;
            case PseudoCommand::Help:
                SetView(ViewKind::vkHelp);
                break;
            case PseudoCommand::PerlRef:
                SetView(ViewKind::vkBrowse, perlReferencePage(ProgramDir));
                CapPanel->setText(QStringLiteral("CPAN Perl reference"));
                break;
            case PseudoCommand::None:
                break;
            }
        });
    });
    connect(Browser, &BrowserPage::browseRequested, this, [this](const QString &address) {
        guarded([&] { SetView(ViewKind::vkBrowse, address); });
    });
    // The browser's texts go to the last status-bar panel, which takes the room they need.
    QLabel *status = sBarPanels.last();
    statusBar()->removeWidget(status);
    status->setMinimumWidth(50);
    status->setMaximumWidth(QWIDGETSIZE_MAX);
    statusBar()->addWidget(status, 1);
    status->show();
    connect(Browser, &BrowserPage::statusText, status, &QLabel::setText);

    // The browser view of an address belongs to no view command.
    action("vSetCode")
            ->actionGroup()
            ->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    auto on = [this](std::initializer_list<const char *> names, std::function<void()> handler) {
        for (const char *n : names)
            connect(action(n), &QAction::triggered, this, [handler] { guarded(handler); });
    };
    on({"vSetHTML"}, [this] { SetView(ViewKind::vkHTML); });
    on({"vSetToday"}, [this] { SetView(ViewKind::vkToday); });
    on({"vSetHelp", "btHelp", "Contents1"}, [this] { SetView(ViewKind::vkHelp); });
    on({"SetotherHTMLfile1", "SetHTMLfile2", "SetotherHTMLfile3"}, [this] { SetHTMLfile1Click(); });
    action("btWebServ")->setCheckable(true);
    on({"btWebServ"}, [this] { btWebServClick(); });

    if (auto *prev = findChild<QToolButton *>(QStringLiteral("btHTMLPrev"))) {
        prev->setEnabled(true);
        connect(prev, &QToolButton::clicked, this,
                [this] { guarded([this] { btHTMLPrevClick(); }); });
    }
    if (auto *header = findChild<QWidget *>(QStringLiteral("pPerlHeader"))) {
        auto *filter = new ClickFilter(header, [this] { guarded([this] { Panel43Click(); }); });
        header->installEventFilter(filter);
        header->setToolTip(QStringLiteral("Click for an overview of the whole output"));
        for (QLabel *label : header->findChildren<QLabel *>())
            label->installEventFilter(filter);
        header->setCursor(Qt::PointingHandCursor);
    }
}

void TForm1::SetHTMLfile1Click()
{
    TScriptEditor *doc = CurrentDocument();
    if (!doc) {
        Prompts::error(this,
                       QStringLiteral("Doh! There is no script open. An HTML file belongs to a "
                                      "script: open or create one first."));
        return;
    }
    if (openUrlDialog()->exec() != QDialog::Accepted)
        return;
    doc->HTMLFile = ChosenAddress;
    doc->HTMLGiven = false;
}

void TForm1::btWebServClick()
{
    const QString launcher = Platform::webServerLauncherName();
    const QString program = WebServer::programPath(Settings, ProgramDir, launcher);
    const quint16 port = quint16(QUrl(Platform::localHttpAddress()).port(8080));
    WebServer::Probe probe;
    probe.serverAnswers = [port] {
        return Platform::localPortAnswers(port);
    };
    probe.serverInstalled = [] {
        return !Platform::findWebServerProgram().isEmpty();
    };
    const WebServer::Outcome outcome = WebServer::start(program, launcher, probe,
                                                        Platform::localHttpAddress());
    action("btWebServ")->setChecked(outcome.pressed());
    if (outcome.kind == WebServer::Outcome::AlreadyRunning) {
        // At start-up a server left from an earlier session is just what was asked for.
        if (m_formShown)
            Prompts::information(this, outcome.message);
    } else if (!outcome.message.isEmpty()) {
        Prompts::error(this, outcome.message);
    }
}

void TForm1::btHTMLPrevClick()
{
    auto *out = findChild<QPlainTextEdit *>(QStringLiteral("PerlOut"));
    const QString page = ProgramDir + QStringLiteral("etc/prev.html");
    writeFileAtomically(page, BrowserRules::previewPage(out ? out->toPlainText() : QString()));
    ProcessMessages();
    SetView(ViewKind::vkBrowse, page);
}

void TForm1::Panel43Click()
{
    if (!CodePrevForm)
        CodePrevForm = new TCodePrevForm(this);
    auto *out = findChild<QPlainTextEdit *>(QStringLiteral("PerlOut"));
    const QString text = out ? out->toPlainText() : QString();
    CodePrevForm->setLines(text.isEmpty() ? QStringList() : text.split(u'\n'));
    // Just above the output panel, at its left edge.
    if (pPerl) {
        const QPoint corner = pPerl->mapToGlobal(QPoint(0, 0));
        CodePrevForm->move(corner.x(), qMax(0, corner.y() - CodePrevForm->height()));
    }
    ZoomShow(CodePrevForm);
    CodePrevForm->raise();
}
