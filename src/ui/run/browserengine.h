#pragma once

#include "core/run/browserrules.h"

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

class QWidget;

// The browser control as the views use it. The real one (Qt WebEngine) sits in a module of its
// own that is loaded the first time a page is shown; tests put a recording one in its place.
// Plain callbacks rather than signals, so the module needs nothing of the program but this file.
class BrowserEngine
{
public:
    struct Handlers
    {
        // Every navigation, of every page the control makes; false cancels it.
        std::function<bool(const BrowserRules::Navigation &)> beforeNavigate;
        // For a navigation let through: whether the page it shows may use other local files.
        std::function<bool(const BrowserRules::Navigation &)> usesLocalFiles;
        std::function<void(const QUrl &)> navigateComplete;
        std::function<void(int progress, int maximum)> progressChange;
        std::function<void(const QString &)> statusTextChange;
        std::function<void(bool ok)> loadFinished;
        // What a page may ask of the user goes through the program's own prompts.
        std::function<void(const QString &text)> alert;
        std::function<bool(const QString &text)> confirm;
        std::function<bool(const QString &text, QString &answer)> prompt;
        std::function<QString()> chooseFile; // empty: none chosen
    };

    virtual ~BrowserEngine() = default;
    virtual QWidget *widget() = 0;
    virtual void navigate(const QUrl &url) = 0;
    virtual bool canGoBack() const = 0;
    virtual bool canGoForward() const = 0;
    virtual void goBack() = 0;
    virtual void goForward() = 0;
    virtual void reload() = 0;
    virtual void stop() = 0;
    virtual QUrl url() const = 0;
    virtual QString title() const = 0;
};

// The module's one entry point.
extern "C" {
typedef BrowserEngine *(*CreateBrowserEngineFn)(QWidget *parent,
                                                const BrowserEngine::Handlers *handlers);
}
#define QF_BROWSER_ENTRY "quillforge_create_browser"
