#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QCheckBox;
class QComboBox;
class QFrame;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QToolButton;
class TColorPage;
class TIniFile;
class TSchemePage;

// What the options dialog needs of the program around it.
struct OptionsHost
{
    TIniFile &Settings;
    TIniFile &RunSettings;
    TIniFile &ColorDefFile;
    QString ProgramDir;
    std::function<void()> reloadColours; // definitions read again, the current script recoloured
    std::function<void()> applyOptions;
    std::function<void()> rebuildRecentMenu;
};

// The options dialog. Made once per run: fields loaded at creation keep what the user last
// typed, fields loaded at each showing reflect the settings file.
class TOptions : public QDialog
{
    Q_OBJECT
public:
    enum class Page { Editor, General, Files, View, Compiler, CustomLinks };

    TOptions(OptionsHost host, QWidget *parent);

    // Shows the dialog without a modal loop and turns to page.
    void open(Page page);
    TSchemePage *schemePage() const { return m_schemePage; }

    void applySettings();
    void okay();
    void cancel();
    void clearRecentFiles();
    void removeRecentAddresses();
    void showSelectedLink();
    void updateLink();
    void createLink();
    void removeLink();

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void FormShow();
    QWidget *createEditorPage();
    QWidget *createGeneralPage();
    QWidget *createFilesPage();
    QWidget *createViewPage();
    QWidget *createLinksPage();
    void setPreviewPanel(int index, bool visible);
    void arrangePreviewStrip(int consoleWidth);
    void setLinkEditing(bool on);
    void loadLinks();
    void writeSettings();
    void hideDialog();

    OptionsHost m_host;
    TSchemePage *m_schemePage = nullptr;
    TColorPage *m_colorPage = nullptr;
    QTabWidget *OpPages = nullptr;
    QCheckBox *chkWelcome = nullptr;

    QCheckBox *chkHighlighting = nullptr;
    QCheckBox *chkHighlightNewLine = nullptr;
    QCheckBox *chkHighlightKeyStroke = nullptr;
    QCheckBox *chkAutoSave = nullptr;
    QSpinBox *edAutoSaveInterval = nullptr;
    QCheckBox *chkLineNumbers = nullptr;
    QCheckBox *chkCurrentLine = nullptr;
    QCheckBox *chkBracketMatch = nullptr;
    QSpinBox *edTabWidth = nullptr;
    QCheckBox *chkTabSpaces = nullptr;

    QSpinBox *edRecentCount = nullptr;
    QListWidget *lbURLRecents = nullptr;
    QCheckBox *chkVarCheck = nullptr;
    QCheckBox *chkSubCheck = nullptr;
    QCheckBox *chkUpdateVarList = nullptr;
    QCheckBox *chkUpdateInterval = nullptr;
    QSpinBox *edUpdateInterval = nullptr;
    QRadioButton *radVCode = nullptr;
    QRadioButton *radVToday = nullptr;
    QRadioButton *radVTasks = nullptr;
    QCheckBox *chkVLastOpened = nullptr;
    QComboBox *edCmd = nullptr;

    QLineEdit *edPerlLoc = nullptr;
    QLineEdit *edWebServLoc = nullptr;
    QCheckBox *chkAutoRunWebServ = nullptr;
    QLineEdit *edCGIHomeLoc = nullptr;
    QLineEdit *edLocalHostLoc = nullptr;
    QRadioButton *radNoAutoSaveRun = nullptr;
    QRadioButton *radAutoSaveRun = nullptr;
    QRadioButton *radAutoSaveRunAs = nullptr;
    QCheckBox *chkRunInScriptFolder = nullptr;
    QSpinBox *edCriticSeverity = nullptr;
    QLineEdit *edSaveRunAs = nullptr;

    // Preview panels in the order of cbView; each with its frame (the tip has none).
    QFrame *m_preview[6] = {};
    QFrame *m_previewFrame[6] = {};
    QFrame *Panel7 = nullptr;
    QComboBox *cbView = nullptr;
    QCheckBox *chkView = nullptr;
    QListWidget *lvVisibleBars = nullptr;
    QCheckBox *chkTemplateCaptions = nullptr;

    QListWidget *lvLinks = nullptr;
    QLineEdit *edLinkProg = nullptr;
    QLineEdit *edLinkParams = nullptr;
    QLineEdit *edLinkIcon = nullptr;
    QToolButton *btOpenLinkProg = nullptr;
    QToolButton *btOpenLinkIcon = nullptr;
    QPushButton *btUpdateLink = nullptr;
};
