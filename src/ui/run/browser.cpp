#include "ui/run/browser.h"

#include "platform/platform.h"
#include "ui/common/icons.h"
#include "ui/common/prompts.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLibrary>
#include <QLineEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

BrowserPage::Factory &engineFactory()
{
    static BrowserPage::Factory factory;
    return factory;
}

// Chromium refuses to start as root without its sandbox switched off, and would otherwise
// reach out to the network on its own (updates, reports, prefetching).
void prepareChromium()
{
    if (Platform::runsAsAdministrator() && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    for (const char *f : {"--disable-background-networking", "--disable-component-update",
                          "--disable-domain-reliability", "--no-pings"}) {
        if (!flags.contains(f))
            flags += QByteArray(" ") + f;
    }
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.trimmed());
}

// The module sits beside the program; a program run from the build tree finds it there.
BrowserEngine *loadWebEngine(QWidget *parent, const BrowserEngine::Handlers *handlers,
                             QString *error)
{
    static QLibrary module;
    static CreateBrowserEngineFn create = nullptr;
    if (!create) {
        prepareChromium();
        const QStringList places = {QCoreApplication::applicationDirPath(),
                                    QStringLiteral(QF_BROWSER_BUILD_DIR)};
        for (const QString &dir : places) {
            module.setFileName(dir + QStringLiteral("/quillforge_browser"));
            if (module.load())
                break;
        }
        create = reinterpret_cast<CreateBrowserEngineFn>(module.resolve(QF_BROWSER_ENTRY));
        if (!create) {
            *error = module.errorString();
            return nullptr;
        }
    }
    return create(parent, handlers);
}

// An icon-only button: its hint is also its name for screen readers, and its caption where the
// theme and the style have no picture for it.
QToolButton *toolButton(QToolBar *bar, const char *name, const char *hint, const char *icon,
                        QStyle::StandardPixmap fallback)
{
    auto *b = new QToolButton(bar);
    b->setObjectName(QLatin1String(name));
    b->setToolTip(QLatin1String(hint));
    b->setAccessibleName(QLatin1String(hint));
    b->setText(QLatin1String(hint));
    b->setIcon(themeIcon(icon, fallback));
    b->setToolButtonStyle(b->icon().isNull() ? Qt::ToolButtonTextOnly : Qt::ToolButtonIconOnly);
    b->setAutoRaise(true);
    bar->addWidget(b);
    return b;
}

} // namespace

BrowserPage::BrowserPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("IECarry"));
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);

    m_toolBar = new QToolBar(QStringLiteral("Browser"), this);
    m_toolBar->setObjectName(QStringLiteral("ToolBar5"));
    m_toolBar->setIconSize(QSize(18, 18));
    connect(toolButton(m_toolBar, "ToolButton15", "Back", "go-previous", QStyle::SP_ArrowBack),
            &QToolButton::clicked, this, [this] { historyStep(true); });
    connect(toolButton(m_toolBar, "ToolButton19", "Next", "go-next", QStyle::SP_ArrowForward),
            &QToolButton::clicked, this, [this] { historyStep(false); });
    connect(toolButton(m_toolBar, "ToolButton20", "Stop", "process-stop", QStyle::SP_BrowserStop),
            &QToolButton::clicked, this, [this] {
                if (m_engine)
                    m_engine->stop();
            });
    connect(toolButton(m_toolBar, "ToolButton27", "Refresh", "view-refresh",
                       QStyle::SP_BrowserReload),
            &QToolButton::clicked, this, &BrowserPage::refresh);
    connect(toolButton(m_toolBar, "ToolButton28", "Home", "go-home", QStyle::SP_DirHomeIcon),
            &QToolButton::clicked, this, [this] { navigate(homeAddress); });
    connect(toolButton(m_toolBar, "ToolButton29", "Find", "edit-find",
                       QStyle::SP_FileDialogContentsView),
            &QToolButton::clicked, this, [this] { navigate(searchAddress); });
    m_toolBar->addSeparator();

    m_edURL = new QComboBox(m_toolBar);
    m_edURL->setObjectName(QStringLiteral("edURL"));
    m_edURL->setEditable(true);
    m_edURL->setInsertPolicy(QComboBox::NoInsert);
    // Inline completion would turn a typed prefix into another address on Enter.
    m_edURL->setCompleter(nullptr);
    m_edURL->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_edURL->setMinimumContentsLength(20);
    m_edURL->setEditText(QStringLiteral("/"));
    m_edURL->setToolTip(QStringLiteral("Address: a file, a folder or a web address"));
    m_toolBar->addWidget(m_edURL);
    connect(m_edURL->lineEdit(), &QLineEdit::returnPressed, this, &BrowserPage::btGotoURLClick);
    connect(m_edURL, qOverload<int>(&QComboBox::activated), this, &BrowserPage::edURLClick);
    auto *go = toolButton(m_toolBar, "btGotoURL", "Go to this address", "go-jump",
                          QStyle::SP_ArrowRight);
    connect(go, &QToolButton::clicked, this, &BrowserPage::btGotoURLClick);
    m_layout->addWidget(m_toolBar);

    m_placeholder = new QLabel(this);
    m_placeholder->setObjectName(QStringLiteral("IEPlaceholder"));
    m_placeholder->setAlignment(Qt::AlignCenter);
    m_placeholder->setWordWrap(true);
    m_placeholder->setAutoFillBackground(true);
    m_placeholder->setBackgroundRole(QPalette::Base);
    m_layout->addWidget(m_placeholder, 1);

    m_handlers.beforeNavigate = [this](const BrowserRules::Navigation &navigation) {
        return allowNavigation(navigation);
    };
    m_handlers.usesLocalFiles = [this](const BrowserRules::Navigation &navigation) {
        return BrowserRules::mayUseLocalFiles(navigation, ownPlaces);
    };
    m_handlers.navigateComplete = [this](const QUrl &url) {
        navigationDone(url);
    };
    m_handlers.progressChange = [this](int progress, int maximum) {
        emit statusText(BrowserRules::progressText(progress, maximum));
    };
    m_handlers.statusTextChange = [this](const QString &text) {
        emit statusText(text);
    };
    m_handlers.loadFinished = [this](bool ok) {
        emit loadFinished(ok);
    };
    m_handlers.alert = [this](const QString &text) {
        Prompts::information(this, text);
    };
    m_handlers.confirm = [this](const QString &text) {
        return Prompts::confirm(this, text, QMessageBox::Ok | QMessageBox::Cancel)
               == QMessageBox::Ok;
    };
    m_handlers.prompt = [this](const QString &text, QString &answer) {
        return Prompts::instance().input(this, QStringLiteral("Quillforge"), text, answer);
    };
    m_handlers.chooseFile = [this] {
        return Prompts::instance().openFile(this, QStringLiteral("Choose a file"), QString(),
                                            QStringLiteral("All files (*)"));
    };
}

BrowserPage::~BrowserPage() = default;

void BrowserPage::setEngineFactory(Factory factory)
{
    engineFactory() = std::move(factory);
}

BrowserEngine *BrowserPage::createEngine()
{
    QString error;
    BrowserEngine *e = engineFactory() ? engineFactory()(this, &m_handlers)
                                       : loadWebEngine(this, &m_handlers, &error);
    if (!e) {
        m_engineFailed = true;
        const QString text
                = QStringLiteral(
                          "Oops! The web browser could not be loaded, so pages cannot be shown.\n\n"
                          "Reason: %1\n\nReinstall Quillforge, or install the Debian package "
                          "\"libqt6webenginewidgets6\".")
                          .arg(error);
        m_placeholder->setText(text);
        Prompts::error(this, text);
    }
    return e;
}

BrowserEngine *BrowserPage::engine()
{
    if (!m_engine && !m_engineFailed) {
        m_engine.reset(createEngine());
        if (m_engine) {
            m_layout->replaceWidget(m_placeholder, m_engine->widget());
            m_placeholder->hide();
            m_engine->widget()->show();
        }
    }
    return m_engine.get();
}

void BrowserPage::navigate(const QString &address)
{
    const QUrl url = BrowserRules::toUrl(address, baseDir);
    // The same check as the browser's own, so that nothing is created for a pseudo-link.
    if (!allowNavigation({url, BrowserRules::Initiator::Program}))
        return;
    if (BrowserEngine *e = engine())
        e->navigate(url);
}

void BrowserPage::refresh()
{
    if (m_engine)
        m_engine->reload();
}

void BrowserPage::focusBrowser()
{
    if (m_engine)
        m_engine->widget()->setFocus();
}

bool BrowserPage::allowNavigation(const BrowserRules::Navigation &navigation)
{
    switch (BrowserRules::judge(navigation)) {
    case BrowserRules::Verdict::Load:
        return true;
    case BrowserRules::Verdict::PseudoLink:
        if (const auto command = BrowserRules::pseudoCommand(navigation.url.toString());
            command != BrowserRules::PseudoCommand::None)
            QTimer::singleShot(0, this, [this, command] { emit pseudoCommand(command); });
        return false;
    case BrowserRules::Verdict::Refuse:
        break;
    }
    return false;
}

void BrowserPage::navigationDone(const QUrl &url)
{
    const QString shown = BrowserRules::displayAddress(url);
    m_edURL->setEditText(shown);
    rememberAddress(shown);
}

void BrowserPage::btGotoURLClick()
{
    // The combo box hands an Enter that its line edit passed on back to it, and reports the
    // list entry matching the text as chosen: one Enter, one navigation.
    if (m_going)
        return;
    m_going = true;
    QTimer::singleShot(0, this, [this] { m_going = false; });
    const QString text = m_edURL->currentText();
    if (!BrowserRules::isPseudoLink(text))
        emit browseRequested(text);
    rememberAddress(text);
}

void BrowserPage::rememberAddress(const QString &text)
{
    QStringList items;
    for (int i = 0; i < m_edURL->count(); ++i)
        items << m_edURL->itemText(i);
    if (BrowserRules::addAddress(items, text)) {
        const QSignalBlocker block(m_edURL);
        m_edURL->addItem(text);
        m_edURL->setEditText(text);
    }
}

void BrowserPage::edURLClick(int index)
{
    if (index >= 0 && !m_going)
        navigate(m_edURL->itemText(index));
}

void BrowserPage::historyStep(bool back)
{
    BrowserEngine *e = m_engine.get();
    if (!e || !(back ? e->canGoBack() : e->canGoForward())) {
        Prompts::error(this,
                       back ? QStringLiteral("Oops! There is no earlier page to go back to.")
                            : QStringLiteral("Oops! There is no later page to go forward to."));
        return;
    }
    back ? e->goBack() : e->goForward();
}
