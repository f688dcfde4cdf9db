#include "ui/shell/options.h"

#include "core/common/errors.h"
#include "core/common/extractfield.h"
#include "core/common/messagewait.h"
#include "core/run/detectperl.h"
#include "core/settings/inifile.h"
#include "core/tools/customlinks.h"
#include "platform/platform.h"
#include "ui/common/application.h"
#include "ui/common/prompts.h"
#include "ui/common/zoom.h"
#include "ui/editor/colorpage.h"
#include "ui/run/runform.h"
#include "ui/run/schemepage.h"
#include "ui/shell/welcome.h"
#include "ui/tools/linkbar.h"

#include <QAction>
#include <QBoxLayout>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>

namespace {

const QString kConfig = QStringLiteral("Config");
const QString kCI = QStringLiteral("CodeInspector");
const QString kFiles = QStringLiteral("Files_Directories");
const char *const kVisibleKeys[6] = {"Visible_LinkBar", "Visible_Explorer", "Visible_CodeInspector",
                                     "Visible_PerlOut", "Visible_Console",  "Visible_TipOfDay"};
const char *const kBarKeys[4] = {"Visible_Sym_FileMenu", "Visible_Sym_Standard",
                                 "Visible_Sym_Templates", "Visible_Sym_HTML"};

} // namespace

TOptions::TOptions(OptionsHost host, QWidget *parent)
    : QDialog(parent)
    , m_host(std::move(host))
{
    setObjectName(QStringLiteral("Options"));
    setWindowTitle(QStringLiteral("Options"));
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setModal(false);
    // Room for every tab in one row and unclipped labels in the fonts of this platform.
    resize(780, 560);

    auto *outer = new QVBoxLayout(this);
    OpPages = new QTabWidget(this);
    OpPages->setObjectName(QStringLiteral("OpPages"));
    OpPages->setTabPosition(QTabWidget::South);
    OpPages->setUsesScrollButtons(false);
    OpPages->addTab(createEditorPage(), QStringLiteral("Editor preferences"));
    OpPages->addTab(createGeneralPage(), QStringLiteral("General settings"));
    OpPages->addTab(createFilesPage(), QStringLiteral("Files / Directories"));
    auto *editorTab = new QWidget();
    editorTab->setObjectName(QStringLiteral("TabSheet4"));
    OpPages->addTab(editorTab, QStringLiteral("Editor"));
    OpPages->setTabVisible(3, false);
    OpPages->setTabEnabled(3, false); // else ctrl+Tab still lands on it
    OpPages->addTab(createViewPage(), QStringLiteral("View"));
    m_schemePage = new TSchemePage(&m_host.Settings, &m_host.RunSettings);
    m_schemePage->setObjectName(QStringLiteral("tabCompiler"));
    connect(m_schemePage, &TSchemePage::fileOptionsRequested, this,
            [this] { OpPages->setCurrentIndex(2); });
    OpPages->addTab(m_schemePage, QStringLiteral("Run / syntax check / debug"));
    OpPages->addTab(createLinksPage(), QStringLiteral("Custom links"));
    outer->addWidget(OpPages, 1);

    auto *bottom = new QHBoxLayout();
    chkWelcome = new QCheckBox(QStringLiteral("Re-run \"Welcome\" dialog next time"));
    chkWelcome->setObjectName(QStringLiteral("chkWelcome"));
    bottom->addWidget(chkWelcome, 1);
    auto *okay = new QPushButton(QStringLiteral("&Okay"));
    okay->setObjectName(QStringLiteral("Button1"));
    okay->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("&Cancel"));
    cancel->setObjectName(QStringLiteral("Button2"));
    auto *accept = new QPushButton(QStringLiteral("&Accept"));
    accept->setObjectName(QStringLiteral("btAccept"));
    bottom->addWidget(okay);
    bottom->addWidget(cancel);
    bottom->addWidget(accept);
    outer->addLayout(bottom);
    connect(okay, &QPushButton::clicked, this, [this] { guarded([this] { Button1Click(); }); });
    connect(cancel, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(accept, &QPushButton::clicked, this, [this] { guarded([this] { btAcceptClick(); }); });

    FormCreate();
}

void TOptions::FormCreate()
{
    TIniFile &s = m_host.Settings;
    edRecentCount->setValue(s.ReadInteger(kConfig, QStringLiteral("RecentCount"), 8));
    chkVarCheck->setChecked(s.ReadBool(kCI, QStringLiteral("Vars"), true));
    chkSubCheck->setChecked(s.ReadBool(kCI, QStringLiteral("Subroutines"), true));
    chkUpdateVarList->setChecked(s.ReadBool(kCI, QStringLiteral("UpdateOnTyping"), true));
    chkUpdateInterval->setChecked(s.ReadBool(kCI, QStringLiteral("UpdateIntervalActive"), true));
    edUpdateInterval->setValue(s.ReadInteger(kCI, QStringLiteral("UpdateInterval"), 60000) / 1000);
    QStringList fileKeys;
    s.ReadSection(kFiles, fileKeys);
    // Only a missing key asks for detection: an empty stored path is the user's choice.
    edPerlLoc->setText(fileKeys.contains(QStringLiteral("Perl"), Qt::CaseInsensitive)
                               ? s.ReadString(kFiles, QStringLiteral("Perl"), QString())
                               : DetectPerl());
    edWebServLoc->setText(
            s.ReadString(kFiles, QStringLiteral("WebServer"), Platform::findWebServerProgram()));
    edCGIHomeLoc->setText(s.ReadString(kFiles, QStringLiteral("cgi-bin"),
                                       Platform::defaultCgiBin(m_host.ProgramDir)));
    edLocalHostLoc->setText(
            s.ReadString(kFiles, QStringLiteral("LocalHost"), Platform::localHttpAddress()));
    chkAutoRunWebServ->setChecked(s.ReadBool(kConfig, QStringLiteral("RunWebServer"), false));
    switch (s.ReadInteger(kConfig, QStringLiteral("InitialView"), 0)) {
    case 0:
        radVCode->setChecked(true);
        break;
    case 1:
        radVToday->setChecked(true);
        break;
    case 2:
        radVTasks->setChecked(true);
        break;
    default:
        break;
    }
    chkVLastOpened->setChecked(s.ReadBool(kConfig, QStringLiteral("OpenLast"), true));
    chkHighlighting->setChecked(s.ReadBool(kConfig, QStringLiteral("SyntaxHighlighting"), true));
    chkHighlightNewLine->setChecked(s.ReadBool(kConfig, QStringLiteral("HighlightOnNewLine"), true));
    chkHighlightKeyStroke->setChecked(
            s.ReadBool(kConfig, QStringLiteral("HighlightOnKeyStroke"), false));
    loadLinks();
    for (int i = 0; i < 4; ++i)
        lvVisibleBars->item(i)->setCheckState(s.ReadBool(kConfig, QLatin1String(kBarKeys[i]), true)
                                                      ? Qt::Checked
                                                      : Qt::Unchecked);
    switch (s.ReadInteger(kConfig, QStringLiteral("Run_AutoSave"), 1)) {
    case 0:
        radNoAutoSaveRun->setChecked(true);
        break;
    case 1:
        radAutoSaveRun->setChecked(true);
        break;
    case 2:
        radAutoSaveRunAs->setChecked(true);
        break;
    default:
        break;
    }
    edSaveRunAs->setText(s.ReadString(kConfig, QStringLiteral("Run_AutoSaveAs"),
                                      Platform::defaultRunAutoSaveAs()));
    edCmd->setCurrentText(
            s.ReadString(kConfig, QStringLiteral("Cmd"), Platform::defaultCommandInterpreter()));
}

void TOptions::FormShow()
{
    ProcessMessages();
    TIniFile &s = m_host.Settings;
    m_colorPage->FormShow();

    lbURLRecents->clear();
    QStringList pairs;
    s.ReadSectionValues(QStringLiteral("RecentURLs"), pairs);
    for (const QString &pair : pairs) {
        auto *item = new QListWidgetItem(ExtractField(pair, QLatin1Char('='), 1), lbURLRecents);
        item->setData(Qt::UserRole, pair.section(QLatin1Char('='), 0, 0));
    }
    chkTemplateCaptions->setChecked(s.ReadBool(kConfig, QStringLiteral("TemplateCaptions"), true));
    for (int i = 0; i < 6; ++i)
        setPreviewPanel(i, s.ReadBool(kConfig, QLatin1String(kVisibleKeys[i]), true));
    arrangePreviewStrip(133);
    chkView->setChecked(!m_preview[qMax(0, cbView->currentIndex())]->isHidden());
    chkAutoSave->setChecked(s.ReadBool(kConfig, QStringLiteral("AutoSave"), false));
    edAutoSaveInterval->setValue(s.ReadInteger(kConfig, QStringLiteral("AutoSaveInterval"), 7)
                                 / 60000);
    m_schemePage->LoadSchemeList();
}

void TOptions::open(Page page)
{
    const int index[] = {0, 1, 2, 4, 5, 6};
    ZoomShow(this);
    OpPages->setCurrentIndex(index[static_cast<int>(page)]);
}

void TOptions::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    guarded([this] { FormShow(); });
}

void TOptions::hideDialog()
{
    m_colorPage->stopPreview();
    ZoomHide(this);
}

void TOptions::closeEvent(QCloseEvent *e)
{
    m_colorPage->stopPreview();
    QDialog::closeEvent(e);
}

void TOptions::writeSettings()
{
    TIniFile &s = m_host.Settings;
    s.WriteInteger(kConfig, QStringLiteral("RecentCount"), edRecentCount->value());
    s.WriteBool(kCI, QStringLiteral("Vars"), chkVarCheck->isChecked());
    s.WriteBool(kCI, QStringLiteral("Subroutines"), chkSubCheck->isChecked());
    s.WriteBool(kCI, QStringLiteral("UpdateOnTyping"), chkUpdateVarList->isChecked());
    s.WriteBool(kCI, QStringLiteral("UpdateIntervalActive"), chkUpdateInterval->isChecked());
    s.WriteInteger(kCI, QStringLiteral("UpdateInterval"), edUpdateInterval->value() * 1000);
    s.WriteString(kFiles, QStringLiteral("Perl"), edPerlLoc->text());
    s.WriteString(kFiles, QStringLiteral("WebServer"), edWebServLoc->text());
    s.WriteString(kFiles, QStringLiteral("cgi-bin"), edCGIHomeLoc->text());
    s.WriteString(kFiles, QStringLiteral("LocalHost"), edLocalHostLoc->text());
    s.WriteBool(kConfig, QStringLiteral("RunWebServer"), chkAutoRunWebServ->isChecked());
    if (radVCode->isChecked())
        s.WriteInteger(kConfig, QStringLiteral("InitialView"), 0);
    else if (radVToday->isChecked())
        s.WriteInteger(kConfig, QStringLiteral("InitialView"), 1);
    else if (radVTasks->isChecked())
        s.WriteInteger(kConfig, QStringLiteral("InitialView"), 2);
    s.WriteBool(kConfig, QStringLiteral("OpenLast"), chkVLastOpened->isChecked());
    s.WriteBool(kConfig, QStringLiteral("SyntaxHighlighting"), chkHighlighting->isChecked());
    s.WriteBool(kConfig, QStringLiteral("HighlightOnNewLine"), chkHighlightNewLine->isChecked());
    s.WriteBool(kConfig, QStringLiteral("HighlightOnKeyStroke"), chkHighlightKeyStroke->isChecked());
    for (int i = 0; i < 6; ++i)
        s.WriteBool(kConfig, QLatin1String(kVisibleKeys[i]), !m_preview[i]->isHidden());
    // The menu bar cannot be switched off: without it the options could not be reached again.
    s.WriteBool(kConfig, QLatin1String(kBarKeys[0]), true);
    for (int i = 1; i < 4; ++i)
        s.WriteBool(kConfig, QLatin1String(kBarKeys[i]),
                    lvVisibleBars->item(i)->checkState() == Qt::Checked);
    s.WriteBool(kConfig, QStringLiteral("TemplateCaptions"), chkTemplateCaptions->isChecked());
    s.WriteString(kConfig, QStringLiteral("Run_AutoSaveAs"), edSaveRunAs->text());
    if (radNoAutoSaveRun->isChecked())
        s.WriteInteger(kConfig, QStringLiteral("Run_AutoSave"), 0);
    else if (radAutoSaveRun->isChecked())
        s.WriteInteger(kConfig, QStringLiteral("Run_AutoSave"), 1);
    else if (radAutoSaveRunAs->isChecked())
        s.WriteInteger(kConfig, QStringLiteral("Run_AutoSave"), 2);
    s.WriteBool(kConfig, QStringLiteral("AutoSave"), chkAutoSave->isChecked());
    s.WriteInteger(kConfig, QStringLiteral("AutoSaveInterval"), edAutoSaveInterval->value() * 60000);
    s.WriteString(kConfig, QStringLiteral("Cmd"), edCmd->currentText());
    if (chkWelcome->isChecked()) {
        s.WriteString(kConfig, QStringLiteral("HD_ID"), QString());
        s.WriteBool(kConfig, QStringLiteral("Welcome"), true);
    }
}

void TOptions::btAcceptClick()
{
    for (int i = 0; i < 3; ++i)
        ProcessMessages();
    m_host.reloadColours();
    writeSettings();
    // With no scheme shown there is nothing to save; a nameless section could not be read back.
    if (!m_schemePage->selectedScheme().isEmpty())
        m_schemePage->SaveScheme(m_schemePage->selectedScheme());
    m_host.applyOptions();
}

void TOptions::Button1Click()
{
    hideDialog();
    btAcceptClick();
}

void TOptions::Button2Click()
{
    hideDialog();
}

void TOptions::btClearRecentClick()
{
    m_host.Settings.EraseSection(QStringLiteral("Recent"));
    ProcessMessages();
    m_host.rebuildRecentMenu();
    Prompts::information(this, QStringLiteral("Recent list has been cleared."));
}

void TOptions::Button3Click()
{
    for (QListWidgetItem *item : lbURLRecents->selectedItems()) {
        m_host.Settings.DeleteKey(QStringLiteral("RecentURLs"), item->data(Qt::UserRole).toString());
        delete item;
        ProcessMessages();
    }
}

void TOptions::loadLinks()
{
    LinkBar::LoadCustomLinks(lvLinks, m_host.Settings);
}

void TOptions::setLinkEditing(bool on)
{
    for (QWidget *w : {static_cast<QWidget *>(edLinkProg), static_cast<QWidget *>(edLinkParams),
                       static_cast<QWidget *>(edLinkIcon), static_cast<QWidget *>(btOpenLinkProg),
                       static_cast<QWidget *>(btOpenLinkIcon), static_cast<QWidget *>(btUpdateLink)})
        w->setEnabled(on);
}

void TOptions::lvLinksClick()
{
    QListWidgetItem *item = lvLinks->currentItem();
    if (!item || !item->isSelected()) {
        btUpdateLink->setEnabled(false);
        return;
    }
    setLinkEditing(true);
    const QString value = m_host.Settings.ReadString(CustomLinks::kSection, item->text(), QString());
    edLinkProg->setText(ExtractField(value, QLatin1Char('|'), 0));
    edLinkParams->setText(ExtractField(value, QLatin1Char('|'), 1));
    edLinkIcon->setText(CustomLinks::iconBoxText(value));
}

void TOptions::btUpdateLinkClick()
{
    QListWidgetItem *item = lvLinks->currentItem();
    if (!item)
        return;
    const QString value = CustomLinks::composeValue(edLinkProg->text(), edLinkParams->text(),
                                                    edLinkIcon->text());
    if (value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r'))) {
        Prompts::error(this, TIniFile::valueProblem(value));
        return;
    }
    m_host.Settings.WriteString(CustomLinks::kSection, item->text(), value);
    loadLinks();
    setLinkEditing(false);
}

void TOptions::Button5Click()
{
    QString name;
    if (!Prompts::instance().input(this, QStringLiteral("New shortcut"),
                                   QStringLiteral("Enter a name for the new shortcut."), name))
        return;
    const QString problem = CustomLinks::nameProblem(name);
    if (!problem.isEmpty()) {
        Prompts::error(this, problem);
        return;
    }
    auto *item = new QListWidgetItem(LinkBar::linkIcon(QString()), name, lvLinks);
    lvLinks->setCurrentItem(item);
}

void TOptions::Button6Click()
{
    QListWidgetItem *item = lvLinks->currentItem();
    if (!item || !item->isSelected())
        return;
    if (Prompts::confirm(this, QStringLiteral("Delete link \"%1\" now?").arg(item->text()))
        != QMessageBox::Yes)
        return;
    m_host.Settings.DeleteKey(CustomLinks::kSection, item->text());
    delete item;
    btUpdateLink->setEnabled(false);
}
