#include "ui/shell/options.h"

#include "core/common/errors.h"
#include "core/common/extractfield.h"
#include "core/common/messagewait.h"
#include "core/settings/configkeys.h"
#include "core/settings/inifile.h"
#include "core/tools/customlinks.h"
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
    connect(okay, &QPushButton::clicked, this, [this] { guarded([this] { this->okay(); }); });
    connect(cancel, &QPushButton::clicked, this, [this] { this->cancel(); });
    connect(accept, &QPushButton::clicked, this, [this] { guarded([this] { applySettings(); }); });

    // Taller when the pages need it, so that no field is squeezed.
    resize(size().expandedTo(sizeHint()));
    FormCreate();
}

void TOptions::FormCreate()
{
    using namespace Config;
    const TIniFile &s = m_host.Settings;
    edRecentCount->setValue(read(s, RecentCount));
    const Inspector inspector = Inspector::read(s);
    chkVarCheck->setChecked(inspector.vars);
    chkSubCheck->setChecked(inspector.subroutines);
    chkUpdateVarList->setChecked(inspector.onTyping);
    chkUpdateInterval->setChecked(inspector.periodically);
    edUpdateInterval->setValue(inspector.intervalMs / 1000);
    edPerlLoc->setText(read(s, PerlPath));
    edWebServLoc->setText(read(s, WebServerPath, Reader::OptionsDialog, m_host.ProgramDir));
    edCGIHomeLoc->setText(read(s, CgiBin, Reader::Any, m_host.ProgramDir));
    edLocalHostLoc->setText(read(s, LocalHost));
    chkAutoRunWebServ->setChecked(read(s, RunWebServer));
    switch (read(s, InitialView)) {
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
    chkVLastOpened->setChecked(read(s, OpenLast, Reader::OptionsDialog));
    chkHighlighting->setChecked(read(s, SyntaxHighlighting));
    chkHighlightNewLine->setChecked(read(s, HighlightOnNewLine));
    chkHighlightKeyStroke->setChecked(read(s, HighlightOnKeyStroke));
    const Editing editing = Editing::read(s);
    chkLineNumbers->setChecked(editing.lineNumbers);
    chkCurrentLine->setChecked(editing.currentLine);
    chkBracketMatch->setChecked(editing.brackets);
    edTabWidth->setValue(editing.tabWidth);
    chkTabSpaces->setChecked(editing.tabSpaces);
    loadLinks();
    const Bars bars = Bars::read(s);
    for (int i = 0; i < Bars::Count; ++i)
        lvVisibleBars->item(i)->setCheckState(bars.shown[i] ? Qt::Checked : Qt::Unchecked);
    switch (read(s, RunAutoSave)) {
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
    edSaveRunAs->setText(read(s, RunAutoSaveAs));
    chkRunInScriptFolder->setChecked(read(s, RunInScriptFolder));
    edCriticSeverity->setValue(read(s, CriticSeverity));
    edCmd->setCurrentText(read(s, Cmd));
}

void TOptions::FormShow()
{
    ProcessMessages();
    const TIniFile &s = m_host.Settings;
    m_colorPage->FormShow();

    lbURLRecents->clear();
    QStringList pairs;
    s.ReadSectionValues(Config::RecentUrlsSection, pairs);
    for (const QString &pair : pairs) {
        auto *item = new QListWidgetItem(ExtractField(pair, QLatin1Char('='), 1), lbURLRecents);
        item->setData(Qt::UserRole, pair.section(QLatin1Char('='), 0, 0));
    }
    chkTemplateCaptions->setChecked(Config::read(s, Config::TemplateCaptions));
    const Config::Panels panels = Config::Panels::read(s);
    for (int i = 0; i < Config::Panels::Count; ++i)
        setPreviewPanel(i, panels.shown[i]);
    arrangePreviewStrip(133);
    chkView->setChecked(!m_preview[qMax(0, cbView->currentIndex())]->isHidden());
    const Config::AutoSaving autoSaving = Config::AutoSaving::read(s);
    chkAutoSave->setChecked(autoSaving.on);
    edAutoSaveInterval->setValue(autoSaving.intervalMs / 60000);
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
    using namespace Config;
    TIniFile &s = m_host.Settings;
    write(s, RecentCount, edRecentCount->value());
    Inspector inspector;
    inspector.vars = chkVarCheck->isChecked();
    inspector.subroutines = chkSubCheck->isChecked();
    inspector.onTyping = chkUpdateVarList->isChecked();
    inspector.periodically = chkUpdateInterval->isChecked();
    inspector.intervalMs = edUpdateInterval->value() * 1000;
    inspector.write(s);
    write(s, PerlPath, edPerlLoc->text());
    write(s, WebServerPath, edWebServLoc->text());
    write(s, CgiBin, edCGIHomeLoc->text());
    write(s, LocalHost, edLocalHostLoc->text());
    write(s, RunWebServer, chkAutoRunWebServ->isChecked());
    if (radVCode->isChecked())
        write(s, InitialView, 0);
    else if (radVToday->isChecked())
        write(s, InitialView, 1);
    else if (radVTasks->isChecked())
        write(s, InitialView, 2);
    write(s, OpenLast, chkVLastOpened->isChecked());
    write(s, SyntaxHighlighting, chkHighlighting->isChecked());
    write(s, HighlightOnNewLine, chkHighlightNewLine->isChecked());
    write(s, HighlightOnKeyStroke, chkHighlightKeyStroke->isChecked());
    Editing{chkLineNumbers->isChecked(), chkCurrentLine->isChecked(), chkBracketMatch->isChecked(),
            edTabWidth->value(), chkTabSpaces->isChecked()}
            .write(s);
    Panels panels;
    for (int i = 0; i < Panels::Count; ++i)
        panels.shown[i] = !m_preview[i]->isHidden();
    panels.write(s);
    Bars bars;
    for (int i = 0; i < Bars::Count; ++i)
        bars.shown[i] = lvVisibleBars->item(i)->checkState() == Qt::Checked;
    // The menu bar cannot be switched off: without it the options could not be reached again.
    bars.shown[Bars::FileMenu] = true;
    bars.write(s);
    write(s, TemplateCaptions, chkTemplateCaptions->isChecked());
    write(s, RunAutoSaveAs, edSaveRunAs->text());
    if (radNoAutoSaveRun->isChecked())
        write(s, RunAutoSave, 0);
    else if (radAutoSaveRun->isChecked())
        write(s, RunAutoSave, 1);
    else if (radAutoSaveRunAs->isChecked())
        write(s, RunAutoSave, 2);
    AutoSaving{chkAutoSave->isChecked(), edAutoSaveInterval->value() * 60000}.write(s);
    write(s, Cmd, edCmd->currentText());
    write(s, RunInScriptFolder, chkRunInScriptFolder->isChecked());
    write(s, CriticSeverity, edCriticSeverity->value());
    if (chkWelcome->isChecked()) {
        write(s, DriveId, QString());
        write(s, Welcome, true);
    }
}

void TOptions::applySettings()
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

void TOptions::okay()
{
    hideDialog();
    applySettings();
}

void TOptions::cancel()
{
    hideDialog();
}

void TOptions::clearRecentFiles()
{
    m_host.Settings.EraseSection(Config::RecentSection);
    ProcessMessages();
    m_host.rebuildRecentMenu();
    Prompts::information(this, QStringLiteral("Recent list has been cleared."));
}

void TOptions::removeRecentAddresses()
{
    for (QListWidgetItem *item : lbURLRecents->selectedItems()) {
        m_host.Settings.DeleteKey(Config::RecentUrlsSection, item->data(Qt::UserRole).toString());
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

void TOptions::showSelectedLink()
{
    QListWidgetItem *item = lvLinks->currentItem();
    if (!item || !item->isSelected()) {
        btUpdateLink->setEnabled(false);
        return;
    }
    setLinkEditing(true);
    const QString value = m_host.Settings.ReadString(Config::CustomLinksSection, item->text(),
                                                     QString());
    edLinkProg->setText(ExtractField(value, QLatin1Char('|'), 0));
    edLinkParams->setText(ExtractField(value, QLatin1Char('|'), 1));
    edLinkIcon->setText(CustomLinks::iconBoxText(value));
}

void TOptions::updateLink()
{
    QListWidgetItem *item = lvLinks->currentItem();
    if (!item)
        return;
    const QString value = CustomLinks::composeValue(edLinkProg->text(), edLinkParams->text(),
                                                    edLinkIcon->text());
    const QString problem = TIniFile::valueProblem(value);
    if (!problem.isEmpty()) {
        Prompts::error(this, problem);
        return;
    }
    m_host.Settings.WriteString(Config::CustomLinksSection, item->text(), value);
    loadLinks();
    setLinkEditing(false);
}

void TOptions::createLink()
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

void TOptions::removeLink()
{
    QListWidgetItem *item = lvLinks->currentItem();
    if (!item || !item->isSelected())
        return;
    if (Prompts::confirm(this, QStringLiteral("Delete link \"%1\" now?").arg(item->text()))
        != QMessageBox::Yes)
        return;
    m_host.Settings.DeleteKey(Config::CustomLinksSection, item->text());
    delete item;
    btUpdateLink->setEnabled(false);
}
