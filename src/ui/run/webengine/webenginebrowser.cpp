// The browser control on Qt WebEngine, built as a module the program loads on first use.
#include "ui/run/browserengine.h"

#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineFileSystemAccessRequest>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <QWebEngineView>

#include <utility>

namespace {

// Pseudo-links never load anything; registering their scheme makes every navigation to one,
// even from a script or an address typed by the program, pass through the navigation check.
class RefusingSchemeHandler : public QWebEngineUrlSchemeHandler
{
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    void requestStarted(QWebEngineUrlRequestJob *job) override
    {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
    }
};

BrowserRules::Initiator initiator(QWebEnginePage::NavigationType type)
{
    switch (type) {
    case QWebEnginePage::NavigationTypeTyped:
    case QWebEnginePage::NavigationTypeBackForward:
    case QWebEnginePage::NavigationTypeReload:
        return BrowserRules::Initiator::Program;
    default:
        return BrowserRules::Initiator::Page;
    }
}

// Catches what a page opens as a new window (a link with a target, window.open) before
// anything is loaded in it, and hands it to the page that asked. Never shown.
class NewWindowCatcher : public QWebEnginePage
{
public:
    NewWindowCatcher(QWebEngineProfile *profile, std::function<void(const QUrl &)> opened,
                     QObject *parent)
        : QWebEnginePage(profile, parent)
        , m_opened(std::move(opened))
    {}

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType, bool isMainFrame) override
    {
        if (isMainFrame && m_opened && url != QUrl(QStringLiteral("about:blank"))) {
            m_opened(url);
            m_opened = nullptr;
            deleteLater();
        }
        return false;
    }
    QWebEnginePage *createWindow(WebWindowType) override { return nullptr; }

private:
    std::function<void(const QUrl &)> m_opened;
};

// Every navigation of the page, whoever starts it, is judged by the browser's rules; what they
// refuse is neither loaded nor handed to the desktop (Qt WebEngine asks here before it would).
class GuardedPage : public QWebEnginePage
{
public:
    GuardedPage(QWebEngineProfile *profile, const BrowserEngine::Handlers &handlers, QObject *parent)
        : QWebEnginePage(profile, parent)
        , m_handlers(handlers)
    {
        connect(this, &QWebEnginePage::loadFinished, this, [this] { m_typedWebLoad = false; });
    }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override
    {
        BrowserRules::Initiator by = initiator(type);
        // A web address the user typed may move on while it loads (http to https, a new host).
        if (type == NavigationTypeRedirect && isMainFrame && m_typedWebLoad)
            by = BrowserRules::Initiator::Program;
        if (type == NavigationTypeTyped && std::exchange(m_openedByPage, false))
            by = BrowserRules::Initiator::Page;
        const BrowserRules::Navigation navigation{url, by, this->url(), isMainFrame};
        const bool allowed = m_handlers.beforeNavigate && m_handlers.beforeNavigate(navigation);
        if (allowed && isMainFrame)
            settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls,
                                     m_handlers.usesLocalFiles
                                             && m_handlers.usesLocalFiles(navigation));
        if (allowed && isMainFrame && by == BrowserRules::Initiator::Program)
            m_typedWebLoad = url.scheme().startsWith(QLatin1String("http"));
        return allowed;
    }

    // A new window opens in this page, as a navigation that this page asked for.
    QWebEnginePage *createWindow(WebWindowType) override
    {
        return new NewWindowCatcher(
                profile(),
                [this](const QUrl &url) {
                    // Not from inside the other page's navigation.
                    QTimer::singleShot(0, this, [this, url] { openedByPage(url); });
                },
                this);
    }

    void openedByPage(const QUrl &url)
    {
        const BrowserRules::Navigation asked{url, BrowserRules::Initiator::Page, this->url()};
        if (m_handlers.beforeNavigate && m_handlers.beforeNavigate(asked)) {
            m_openedByPage = true;
            load(url);
        }
    }

    void javaScriptAlert(const QUrl &, const QString &msg) override
    {
        if (m_handlers.alert)
            m_handlers.alert(msg);
    }
    bool javaScriptConfirm(const QUrl &, const QString &msg) override
    {
        return m_handlers.confirm && m_handlers.confirm(msg);
    }
    bool javaScriptPrompt(const QUrl &, const QString &msg, const QString &def,
                          QString *result) override
    {
        QString answer = def;
        if (!m_handlers.prompt || !m_handlers.prompt(msg, answer))
            return false;
        *result = answer;
        return true;
    }
    QStringList chooseFiles(FileSelectionMode, const QStringList &, const QStringList &) override
    {
        const QString f = m_handlers.chooseFile ? m_handlers.chooseFile() : QString();
        return f.isEmpty() ? QStringList() : QStringList{f};
    }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &, int,
                                  const QString &) override
    {}

private:
    const BrowserEngine::Handlers &m_handlers;
    bool m_typedWebLoad = false;
    bool m_openedByPage = false;
};

QWebEngineProfile *sharedProfile()
{
    static QWebEngineProfile *profile = nullptr;
    if (profile)
        return profile;
    QWebEngineUrlScheme cmd("cmd");
    cmd.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    QWebEngineUrlScheme::registerScheme(cmd);

    // Off the record: no cookies, cache or history written anywhere.
    profile = new QWebEngineProfile();
    profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    profile->setSpellCheckEnabled(false);
    profile->installUrlSchemeHandler("cmd", new RefusingSchemeHandler(profile));
    // Pages write no files.
    QObject::connect(profile, &QWebEngineProfile::downloadRequested,
                     [](QWebEngineDownloadRequest *d) { d->cancel(); });

    QWebEngineSettings *s = profile->settings();
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanPaste, false);
    // A local page (the preview of a script's output, a page from anywhere on the disk) uses
    // neither other local files nor remote addresses; each page lets the program's own pages
    // use their style sheets and pictures.
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    s->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
    s->setAttribute(QWebEngineSettings::ScreenCaptureEnabled, false);
    s->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
    s->setAttribute(QWebEngineSettings::WebRTCPublicInterfacesOnly, true);
    s->setAttribute(QWebEngineSettings::AllowRunningInsecureContent, false);
    s->setAttribute(QWebEngineSettings::AllowGeolocationOnInsecureOrigins, false);
    s->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
    return profile;
}

class WebEngineBrowser : public BrowserEngine
{
public:
    WebEngineBrowser(QWidget *parent, const Handlers &handlers)
        : m_handlers(handlers)
    {
        m_view = new QWebEngineView(parent);
        m_view->setObjectName(QStringLiteral("IE"));
        m_view->setContextMenuPolicy(Qt::NoContextMenu);
        m_page = new GuardedPage(sharedProfile(), m_handlers, m_view);
        m_view->setPage(m_page);
        // Every permission a page may ask for (camera, location, notifications...) is refused.
        QObject::connect(m_page, &QWebEnginePage::featurePermissionRequested, m_page,
                         [p = m_page](const QUrl &origin, QWebEnginePage::Feature f) {
                             p->setFeaturePermission(origin, f,
                                                     QWebEnginePage::PermissionDeniedByUser);
                         });
        QObject::connect(m_page, &QWebEnginePage::fileSystemAccessRequested, m_page,
                         [](QWebEngineFileSystemAccessRequest r) { r.reject(); });
        QObject::connect(m_page, &QWebEnginePage::urlChanged, m_page, [this](const QUrl &url) {
            if (!url.isEmpty() && m_handlers.navigateComplete)
                m_handlers.navigateComplete(url);
        });
        QObject::connect(m_page, &QWebEnginePage::loadStarted, m_page, [this] {
            if (m_handlers.progressChange)
                m_handlers.progressChange(0, 100);
        });
        QObject::connect(m_page, &QWebEnginePage::loadProgress, m_page, [this](int percent) {
            if (m_handlers.progressChange)
                m_handlers.progressChange(percent, 100);
        });
        QObject::connect(m_page, &QWebEnginePage::loadFinished, m_page, [this](bool ok) {
            if (m_handlers.progressChange)
                m_handlers.progressChange(-1, 100);
            if (m_handlers.loadFinished)
                m_handlers.loadFinished(ok);
        });
        QObject::connect(m_page, &QWebEnginePage::linkHovered, m_page, [this](const QString &link) {
            if (m_handlers.statusTextChange)
                m_handlers.statusTextChange(link);
        });
    }
    ~WebEngineBrowser() override { delete m_view; }

    QWidget *widget() override { return m_view; }
    void navigate(const QUrl &url) override { m_page->load(url); }
    bool canGoBack() const override { return m_page->history()->canGoBack(); }
    bool canGoForward() const override { return m_page->history()->canGoForward(); }
    void goBack() override { m_page->triggerAction(QWebEnginePage::Back); }
    void goForward() override { m_page->triggerAction(QWebEnginePage::Forward); }
    void reload() override { m_page->triggerAction(QWebEnginePage::Reload); }
    void stop() override { m_page->triggerAction(QWebEnginePage::Stop); }
    QUrl url() const override { return m_page->url(); }
    QString title() const override { return m_page->title(); }

private:
    Handlers m_handlers;
    QWebEngineView *m_view = nullptr;
    GuardedPage *m_page = nullptr;
};

} // namespace

extern "C" Q_DECL_EXPORT BrowserEngine *quillforge_create_browser(
        QWidget *parent, const BrowserEngine::Handlers *handlers)
{
    return new WebEngineBrowser(parent, *handlers);
}
