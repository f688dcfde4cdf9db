#pragma once

#include "core/run/browserrules.h"
#include "ui/run/browserengine.h"

#include <QWidget>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QToolBar;
class QVBoxLayout;

// The browser page of the central page control: toolbar, address box and the browser control
// IE, which is created on the first navigation so that a start in the code view does not pay
// for it.
class BrowserPage : public QWidget
{
    Q_OBJECT
public:
    using Factory = std::function<BrowserEngine *(QWidget *parent, const BrowserEngine::Handlers *)>;

    explicit BrowserPage(QWidget *parent = nullptr);
    ~BrowserPage() override;

    // Tests put a recording engine in place of Qt WebEngine; an empty factory restores it.
    static void setEngineFactory(Factory factory);

    // Loads an address (a path, a web address, a relative name against baseDir). Pseudo-links
    // are caught here as well as inside the browser.
    void navigate(const QString &address);
    void refresh();
    void focusBrowser();
    bool hasEngine() const { return m_engine != nullptr; }
    BrowserEngine *engine(); // null when the browser cannot be loaded
    QComboBox *addressBox() const { return m_edURL; }

    QString baseDir;       // relative addresses are taken from here
    QString homeAddress;   // the Home button
    QString searchAddress; // the Find button
    QStringList ownPlaces; // the program's own pages, which may use other local files

signals:
    // Queued, so that a pseudo-link never switches views inside the browser's own callback.
    void pseudoCommand(BrowserRules::PseudoCommand command);
    // Enter or Go in the address box with an address that is not a pseudo-link.
    void browseRequested(const QString &address);
    void statusText(const QString &text);
    void loadFinished(bool ok);

private:
    bool allowNavigation(const BrowserRules::Navigation &navigation);
    void navigationDone(const QUrl &url);
    void btGotoURLClick();
    void edURLClick(int index);
    void rememberAddress(const QString &text);
    void historyStep(bool back);
    BrowserEngine *createEngine();

    BrowserEngine::Handlers m_handlers;
    std::unique_ptr<BrowserEngine> m_engine;
    bool m_engineFailed = false;
    bool m_going = false;
    QToolBar *m_toolBar = nullptr;
    QComboBox *m_edURL = nullptr;
    QVBoxLayout *m_layout = nullptr;
    QLabel *m_placeholder = nullptr;
};
