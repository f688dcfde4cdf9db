#pragma once

#include "core/run/viewkind.h"
#include "core/settings/inifile.h"
#include "ui/common/commands.h"

#include <QList>
#include <QMainWindow>

class BrowserController;
class DocumentTabs;
class EditingController;
class EditorCommands;
class ExplorerPanel;
class HighlightController;
class InspectorController;
class JournalController;
class LinkBarPanel;
class PerlToolCommands;
class QLabel;
class QMenu;
class QTimer;
class QToolBar;
class RunCommands;
class TOptions;
class TTaskPage;
class TemplatePalette;
class ToolCommands;
class ViewController;
struct TScriptEditor;

// The main window: owns the state files and composes one controller per subsystem, laying out
// their panels. The controllers talk through narrow interfaces, never through the window.
class TForm1 : public QMainWindow
{
    Q_OBJECT
public:
    explicit TForm1(const QString &programDir, QWidget *parent = nullptr);
    ~TForm1() override;

    // Start-up steps, in the order the program entry runs them.
    void FormCreate();
    void FormShow();
    // Brings panels, bars, timers and links in line with the settings.
    void ApplyOptions();

    // The operations the program entry and the tests start from.
    void OpenDocument(const QString &path);
    TScriptEditor *CurrentDocument() const;
    void SetView(ViewKind kind, const QString &path = QString());

    const QString &programDir() const { return m_programDir; }
    const TIniFile &settings() const { return m_settings; }
    DocumentTabs &documents() const { return *m_documents; }
    HighlightController &highlighting() const { return *m_highlighting; }
    InspectorController &inspector() const { return *m_inspector; }
    EditorCommands &editing() const { return *m_editing; }
    RunCommands &runs() const { return *m_runs; }
    PerlToolCommands &perlTools() const { return *m_perlTools; }
    BrowserController &browser() const { return *m_browser; }
    ViewController &views() const { return *m_views; }
    TTaskPage &tasks() const { return *m_tasks; }
    TemplatePalette &templates() const { return *m_templates; }
    TOptions *options() const { return m_options; }
    ToolCommands &tools() const { return *m_tools; }
    ExplorerPanel &explorer() const { return *m_explorerPanel; }

    // For tests: the wizard's reset pauses.
    static void setWizardStepDelay(int ms);

protected:
    bool event(QEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    void createCommands();
    void createMenus();
    void createToolBars();
    void createCentre();
    void createStatusBar();
    void createOptions();
    void closeExplorer();
    void closeTips();
    void fitStandardBar();

    QString m_programDir;
    TIniFile m_settings;
    TIniFile m_runSettings;
    TIniFile m_taskFile;
    TIniFile m_colorDefFile;
    CommandTable m_commands;

    DocumentTabs *m_documents = nullptr;
    HighlightController *m_highlighting = nullptr;
    InspectorController *m_inspector = nullptr;
    EditorCommands *m_editing = nullptr;
    EditingController *m_editingOptions = nullptr;
    RunCommands *m_runs = nullptr;
    PerlToolCommands *m_perlTools = nullptr;
    BrowserController *m_browser = nullptr;
    ViewController *m_views = nullptr;
    TTaskPage *m_tasks = nullptr;
    LinkBarPanel *m_linkBar = nullptr;
    TemplatePalette *m_templates = nullptr;
    ToolCommands *m_tools = nullptr;
    JournalController *m_journal = nullptr;
    ExplorerPanel *m_explorerPanel = nullptr;
    TOptions *m_options = nullptr;

    QToolBar *m_menuBar = nullptr;
    QToolBar *m_standardBar = nullptr;
    QToolBar *m_templateBar = nullptr;
    QToolBar *m_htmlBar = nullptr;
    QMenu *m_editorMenu = nullptr;
    QMenu *m_viewMenu = nullptr;
    QWidget *m_tips = nullptr;
    QWidget *m_explorer = nullptr;
    QLabel *m_viewCaption = nullptr;
    QList<QLabel *> m_statusPanels;
    QTimer *m_statusTimer = nullptr;
    bool m_shown = false;
    bool m_standardBarOwnRow = false;
};
