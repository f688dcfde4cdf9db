// The browser control on Qt WebEngine, built as a module the program loads on first use.
#include "ui/run/browserengine.h"

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

// Schemes a page may lead to. Anything else (mailto:, other programs' schemes) would be
// handed to the desktop, that is: start a local program.
bool loadableScheme(const QString &scheme)
{
    static const QStringList allowed = {"http", "https", "file", "about", "data", "blob", "qrc"};
    return allowed.contains(scheme.toLower());
}

class GuardedPage : public QWebEnginePage
{
public:
    GuardedPage(QWebEngineProfile *profile, const BrowserEngine::Handlers &handlers, QObject *parent)
        : QWebEnginePage(profile, parent)
        , m_handlers(handlers)
    {}

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType, bool) override
    {
        if (m_handlers.beforeNavigate && !m_handlers.beforeNavigate(url))
            return false;
        return loadableScheme(url.scheme());
    }

    // A link that asks for a new window opens in this one: a throw-away page catches its
    // address, which then goes through the same check as any other navigation.
    QWebEnginePage *createWindow(WebWindowType) override
    {
        auto *catcher = new QWebEnginePage(profile(), this);
        connect(catcher, &QWebEnginePage::urlChanged, this, [this, catcher](const QUrl &url) {
            catcher->deleteLater();
            if (!url.isEmpty())
                load(url);
        });
        return catcher;
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
