#pragma once

#include "core/run/viewkind.h"
#include "core/settings/inifile.h"
#include "ui/shell/scripteditor.h"

#include <QMainWindow>
#include <QPointer>
#include <QTextCharFormat>

#include <memory>
#include <vector>

class PatternPainter;
class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QSplitter;
class QStackedWidget;
class QTabBar;
class QTimer;
class QToolBar;
class QToolButton;
class QWidget;
class RunCommands;
class BrowserPage;
class TCodePrevForm;
class TOpenURL;
class TTaskPage;
class CodeInspector;
class TFindForm;
class TOptions;

// The main window: owns the settings files, the open scripts, the panels and the timers.
class TForm1 : public QMainWindow
{
    Q_OBJECT
public:
    explicit TForm1(const QString &programDir, QWidget *parent = nullptr);
    ~TForm1() override;

    // Start-up steps, in the order the program entry runs them.
    void FormCreate();
    void FormShow();
    void ApplyOptions();
    void FormResize();

    // Documents.
    void OpenDocument(const QString &path);
    TScriptEditor *CurrentDocument() const;
    const std::vector<std::unique_ptr<TScriptEditor>> &documents() const { return Documents; }
    bool btSaveClick();    // false when nothing was written
    bool SaveDocumentAs(); // false when cancelled or failed
    void CloseCurrentDocument();
    void iCloseCurr();
    void tabScriptSelChange();
    void RebuildRecentMenu();
    void btOpenClick();
    void btNewClick();
    void AutoSaveTimerTimer();
    const QStringList &recentFiles() const { return RecentFiles; }

    void SetView(ViewKind kind, const QString &path = QString());

    // Colours (editor/highlightcontrol.cpp).
    void LoadColorDefinitions();
    void Highlight(int offset);
    void highlightDocument(TScriptEditor &doc, int offset);
    // Writes doc/template.html from the given template and returns its path; throws IoError.
    QString BuildTodayPage(const QString &templatePath);
    // Browser, web server and Perl output preview (src/run/views.cpp).
    void btWebServClick();
    void btHTMLPrevClick();
    void SetHTMLfile1Click();
    void Panel43Click();

    // Panel close buttons.
    void SpeedButton1Click();
    void SpeedButton3Click();
    void SpeedButton10Click();
    void SpeedButton4Click();

    // Code inspector and find (src/editor/proptree.cpp, editorcommands.cpp).
    void RefreshCodeInspector();
    void PropTreeClick();
    void btFindClick();

    // The options dialog and the custom links of the link bar (app/options.cpp).
    TOptions *options() const { return Options; }

    QString ProgramDir;
    TIniFile Settings;
    TIniFile RunSettings;
    TIniFile TaskFile;
    TIniFile ColorDefFile;
    TTaskPage *TaskPage = nullptr; // fills TaskSheet
    QStringList ColorDefLines;
    QStringList TemplatePaths;
    QString ChosenAddress;
    QString ConsoleCommand;

    // For tests: the wizard's reset pauses.
    static void setWizardStepDelay(int ms);

protected:
    void closeEvent(QCloseEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    friend class MainWindowLayout;
    friend class RunCommands; // saves the copy of a script that a run asks for
    bool FormCloseQuery();
    void createActions();
    void createMenus();
    void createToolBars();
    void createCentre();
    void createStatusBar();
    void wireCommands();
    void wireViews();
    void wireCodeInspector();
    void wireFind();
    void createOptions();
    TOpenURL *openUrlDialog();
    void updateStatus();
    bool saveDocument(TScriptEditor &doc);
    bool writeDocument(TScriptEditor &doc, const QString &path);
    QAction *action(const char *name) const;

    void attachHighlighter(TScriptEditor &doc);
    void onEditorKey(QChar key);

    std::shared_ptr<const PatternPainter> m_painter;
    std::vector<QTextCharFormat> m_colorFormats;
    std::vector<std::unique_ptr<TScriptEditor>> Documents;
    QStringList RecentFiles;
    int NonameCount = 0;

    // Widgets named as the rest of the program refers to them.
    QToolBar *FileMenu = nullptr;
    QToolBar *ToolBar1 = nullptr;
    QToolBar *ToolBar2 = nullptr;
    QToolBar *ToolBar3 = nullptr;
    QMenu *MainMenuFile = nullptr;
    QMenu *RTFPop = nullptr;
    QMenu *popRecent = nullptr;
    QMenu *popView = nullptr;
    QTabBar *tabScriptSel = nullptr;
    QWidget *pBarPanel = nullptr;
    QLabel *pBarLabel = nullptr;
    QProgressBar *pBar = nullptr;
    QList<QLabel *> sBarPanels;
    QLabel *CapPanel = nullptr;
    QWidget *pTips = nullptr;
    QWidget *pLinkBar = nullptr;
    QWidget *pInspector = nullptr;
    QWidget *pExplorer = nullptr;
    QWidget *pPC = nullptr;
    QWidget *pPerl = nullptr;
    QWidget *pConsole = nullptr;
    QSplitter *hSplit = nullptr;  // link bar | explorer | centre | inspector
    QSplitter *vSplit = nullptr;  // centre page over the output area
    QSplitter *pcSplit = nullptr; // console beside the output
    QLabel *PathCap = nullptr;
    QStackedWidget *Carry2 = nullptr;
    QWidget *CodeSheet = nullptr;
    QWidget *TaskSheet = nullptr;
    QWidget *IESheet = nullptr;
    QStackedWidget *EditorCarry = nullptr;
    QTimer *Timer1 = nullptr;
    QTimer *Timer2 = nullptr;
    QTimer *AutoSaveTimer = nullptr;
    QString m_openDir;
    bool m_formShown = false;
    RunCommands *RunCmds = nullptr;        // run commands, Perl output and console (src/run/)
    BrowserPage *Browser = nullptr;        // fills IESheet
    TOpenURL *OpenURL = nullptr;           // made on first use, then kept
    TCodePrevForm *CodePrevForm = nullptr; // likewise
    CodeInspector *Inspector = nullptr;    // fills PropTree
    TFindForm *FindForm = nullptr;
    TOptions *Options = nullptr; // made once in FormCreate
};
