#pragma once

#include "core/run/browserrules.h"

#include <QElapsedTimer>
#include <QObject>

class BrowserPage;
class CgiLogPanel;
class CommandTable;
class DocumentSource;
class QLabel;
class QSplitter;
class QTimer;
class TIniFile;
class TOpenURL;
struct TScriptEditor;

// The browser page of the central area, the HTML page that belongs to a script, the
// open-address dialog and the local web server.
class BrowserController : public QObject
{
    Q_OBJECT
public:
    BrowserController(TIniFile &settings, QString programDir, const CommandTable &commands,
                      DocumentSource &docs, QWidget *parent);

    QWidget *sheet() const { return m_sheet; }
    BrowserPage *browser() const { return m_browser; }
    CgiLogPanel *cgiLog() const { return m_cgiLog; }
    // The browser's status texts go to label.
    void setStatusLabel(QLabel *label);

    void navigate(const QString &address);
    void focus();
    // Shows the script's HTML page; asks for its address when it has none. False when the user
    // cancelled.
    bool showPageOf(TScriptEditor &doc);
    // "Set other HTML file": asks for the address of the current script's page.
    void chooseHtmlFile();
    // Starts the local web server; at start-up a server already running is just what was asked.
    void startWebServer(bool quietWhenRunning);

    QString perlReferencePage() const;
    QString helpPage() const;

signals:
    void pseudoCommand(BrowserRules::PseudoCommand command);
    void browseRequested(const QString &address);

private:
    // Empty when cancelled.
    QString askAddress();
    // A server that ends with a failure in its first seconds says so, with what it printed.
    void watchServerStart();
    static constexpr qint64 kServerWatchMs = 4000;

    TIniFile &m_settings;
    QString m_programDir;
    const CommandTable &m_commands;
    DocumentSource &m_docs;
    QWidget *m_sheet;
    BrowserPage *m_browser;
    QSplitter *m_split;
    CgiLogPanel *m_cgiLog;
    TOpenURL *m_openUrl = nullptr; // made on first use, then kept
    QTimer *m_serverWatchTimer = nullptr;
    QElapsedTimer m_serverWatch;
    QString m_startedServer;
};
