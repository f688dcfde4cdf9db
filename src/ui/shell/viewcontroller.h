#pragma once

#include "core/run/viewkind.h"

#include <QObject>
#include <QString>

#include <functional>

class BrowserController;
class CommandTable;
class DocumentTabs;
class QLabel;
class QStackedWidget;
class QWidget;
class TIniFile;

// Switches the central page between the source code, the script's HTML page, the task page,
// the Today page, help and any address, and keeps the caption and the view commands in step.
class ViewController : public QObject
{
    Q_OBJECT
public:
    // todayPage writes the Today page and returns its path (throws when it cannot).
    ViewController(TIniFile &settings, const CommandTable &commands, DocumentTabs &docs,
                   BrowserController &browser, std::function<QString()> todayPage,
                   QWidget *codeSheet, QWidget *taskSheet, QLabel *caption, QWidget *parent);

    QStackedWidget *pages() const { return m_pages; }
    void setView(ViewKind kind, const QString &path = QString());
    // Start-up: the view the settings ask for.
    void showInitialView();

signals:
    // The source view is shown: the code inspector catches up.
    void sourceShown();
    // The file commands apply to the source and Today views, not to a script's page.
    void fileCommandsEnabled(bool enabled);

private:
    void check(const char *command);

    TIniFile &m_settings;
    const CommandTable &m_commands;
    DocumentTabs &m_docs;
    BrowserController &m_browser;
    std::function<QString()> m_todayPage;
    QStackedWidget *m_pages;
    QWidget *m_codeSheet;
    QWidget *m_taskSheet;
    QLabel *m_caption;
};
