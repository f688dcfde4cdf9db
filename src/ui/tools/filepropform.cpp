#include "ui/tools/filepropform.h"

#include "core/common/clock.h"
#include "core/tools/filefacts.h"
#include "platform/desktoptools.h"
#include "ui/common/application.h"
#include "ui/common/prompts.h"
#include "ui/common/zoom.h"
#include "ui/editor/documentsource.h"
#include "ui/editor/scripteditor.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {

QLabel *valueLabel(const char *name, QWidget *parent)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

QCheckBox *box(const char *name, const char *caption, QWidget *parent)
{
    auto *c = new QCheckBox(QLatin1String(caption), parent);
    c->setObjectName(QLatin1String(name));
    return c;
}

// A new script carries its "Noname #n" caption as its name: only a full path is a file.
bool hasPath(const TScriptEditor &doc)
{
    return QFileInfo(doc.FileName).isAbsolute();
}

} // namespace

TFilePropForm::TFilePropForm(DocumentSource &docs, QWidget *parent)
    : QDialog(parent)
    , m_docs(docs)
{
    setObjectName(QStringLiteral("FilePropForm"));
    setWindowTitle(QStringLiteral("Properties"));
    auto *v = new QVBoxLayout(this);
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    v->addWidget(m_pages, 1);

    auto *general = new QWidget(m_pages);
    general->setObjectName(QStringLiteral("TabSheet1"));
    auto *gv = new QVBoxLayout(general);
    auto *head = new QHBoxLayout;
    icoFile = valueLabel("icoFile", general);
    lFileName = valueLabel("lFileName", general);
    QFont bold = lFileName->font();
    bold.setBold(true);
    lFileName->setFont(bold);
    head->addWidget(icoFile);
    head->addWidget(lFileName, 1);
    gv->addLayout(head);
    auto *facts = new QFormLayout;
    lKind = valueLabel("lKind", general);
    lLocation = valueLabel("lLocation", general);
    lLocation->setWordWrap(true);
    lSize = valueLabel("lSize", general);
    lDOSName = valueLabel("lDOSName", general);
    lCreated = valueLabel("lCreated", general);
    lEdited = valueLabel("lEdited", general);
    lAccessed = valueLabel("lAccessed", general);
    facts->addRow(QStringLiteral("Type:"), lKind);
    facts->addRow(QStringLiteral("Location:"), lLocation);
    facts->addRow(QStringLiteral("Size:"), lSize);
    facts->addRow(QStringLiteral("MS-DOS name:"), lDOSName);
    facts->addRow(QStringLiteral("Created:"), lCreated);
    facts->addRow(QStringLiteral("Edited:"), lEdited);
    facts->addRow(QStringLiteral("Last access:"), lAccessed);
    auto *attrs = new QGridLayout;
    chkReadOnly = box("chkReadOnly", "readonly", general);
    chkArchive = box("chkArchive", "archive", general);
    chkHidden = box("chkHidden", "hidden", general);
    chkSystem = box("chkSystem", "system", general);
    chkArchive->setEnabled(FileAttributes::kArchiveSettable);
    chkHidden->setEnabled(FileAttributes::kHiddenSettable);
    chkSystem->setEnabled(FileAttributes::kSystemSettable);
    attrs->addWidget(chkReadOnly, 0, 0);
    attrs->addWidget(chkArchive, 0, 1);
    attrs->addWidget(chkHidden, 1, 0);
    attrs->addWidget(chkSystem, 1, 1);
    facts->addRow(QStringLiteral("Attributes:"), attrs);
    gv->addLayout(facts);
    gv->addStretch();

    auto *prefs = new QWidget(m_pages);
    prefs->setObjectName(QStringLiteral("TabSheet2"));
    auto *pf = new QFormLayout(prefs);
    lLines = valueLabel("lLines", prefs);
    lSaved = valueLabel("lSaved", prefs);
    edHTMLFile = new QLineEdit(prefs);
    edHTMLFile->setObjectName(QStringLiteral("edHTMLFile"));
    chkHTMLUpdate = box("chkHTMLUpdate", "Reload / update associated HTML file on view change",
                        prefs);
    lBackup = valueLabel("lBackup", prefs);
    auto *create = new QPushButton(QStringLiteral("&Create"), prefs);
    create->setObjectName(QStringLiteral("Button3"));
    auto *backupRow = new QHBoxLayout;
    backupRow->addWidget(lBackup, 1);
    backupRow->addWidget(create);
    pf->addRow(QStringLiteral("Lines:"), lLines);
    pf->addRow(QStringLiteral("Saved:"), lSaved);
    pf->addRow(QStringLiteral("Associated HTML file:"), edHTMLFile);
    pf->addRow(QString(), chkHTMLUpdate);
    pf->addRow(QStringLiteral("Backup:"), backupRow);

    m_pages->addTab(general, QStringLiteral("&General"));
    m_pages->addTab(prefs, QStringLiteral("&Preferences"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *okay = new QPushButton(QStringLiteral("&Okay"), this);
    okay->setObjectName(QStringLiteral("Button1"));
    okay->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("Button2"));
    buttons->addWidget(okay);
    buttons->addWidget(cancel);
    v->addLayout(buttons);
    setMinimumWidth(420);

    connect(okay, &QPushButton::clicked, this, &TFilePropForm::accept);
    connect(cancel, &QPushButton::clicked, this, &TFilePropForm::reject);
    // A backup that cannot be written ends the action with its error box.
    connect(create, &QPushButton::clicked, this, [this] { guarded([this] { Button3Click(); }); });
}

TScriptEditor *TFilePropForm::shownScript() const
{
    for (const auto &d : m_docs.all()) {
        if (d.get() == m_script)
            return m_script;
    }
    return nullptr;
}

void TFilePropForm::open()
{
    TScriptEditor *doc = m_docs.current();
    m_script = doc;
    if (!doc)
        return;
    m_pages->setCurrentIndex(1);
    if (hasPath(*doc) && QFileInfo::exists(doc->FileName))
        fillGeneral(doc->FileName);
    edHTMLFile->setText(doc->HTMLFile);
    chkHTMLUpdate->setChecked(doc->HTMLUpdate);
    lBackup->setText(backupCaption(hasPath(*doc) ? doc->FileName : QString()));
    lSaved->setText(doc->saved() ? QStringLiteral("yes") : QStringLiteral("no"));
    lLines->setText(QString::number(doc->Editor->document()->blockCount()));
    ZoomShow(this);
}

void TFilePropForm::fillGeneral(const QString &path)
{
    const FileFacts f = gatherFileFacts(path, Clock::now());
    lFileName->setText(f.name);
    icoFile->setPixmap(QFileIconProvider().icon(QFileInfo(path)).pixmap(32, 32));
    lKind->setText(f.type);
    lLocation->setText(f.location);
    lSize->setText(f.size);
    lDOSName->setText(f.dosName);
    lCreated->setText(f.created);
    lEdited->setText(f.edited);
    lAccessed->setText(f.accessed);
    const FileAttributes::State a = FileAttributes::read(path);
    chkReadOnly->setChecked(a.readOnly);
    chkHidden->setChecked(a.hidden);
    chkSystem->setChecked(a.system);
    chkArchive->setChecked(a.archive);
}

void TFilePropForm::Button3Click()
{
    TScriptEditor *doc = shownScript();
    // A script that was never saved has no place for a backup.
    if (!doc || !hasPath(*doc))
        return;
    const QString path = backupPath(doc->FileName);
    const QFileInfo backup(path);
    if (backup.exists()
        && Prompts::confirm(this, QStringLiteral("Really replace the backup \"%1\" ?")
                                          .arg(backup.fileName()))
                   != QMessageBox::Yes)
        return;
    writeScript(*doc, path);
    lBackup->setText(backup.fileName());
    if (QFileInfo::exists(path))
        Prompts::information(this, QStringLiteral("The Backup has been created."));
}

void TFilePropForm::accept()
{
    TScriptEditor *doc = shownScript();
    if (!doc)
        return;
    if (hasPath(*doc) && QFileInfo::exists(doc->FileName)) {
        FileAttributes::State a = FileAttributes::read(doc->FileName);
        a.readOnly = chkReadOnly->isChecked();
        if (!FileAttributes::write(doc->FileName, a))
            Prompts::error(this, QStringLiteral("Oops! Could not change the attributes of "
                                                "\"%1\". Please check that the file is yours "
                                                "and its disk is writable.")
                                         .arg(doc->FileName));
    }
    doc->HTMLFile = edHTMLFile->text();
    doc->HTMLUpdate = chkHTMLUpdate->isChecked();
    ZoomHide(this);
}

void TFilePropForm::closeEvent(QCloseEvent *e)
{
    e->ignore();
    reject();
}

void TFilePropForm::reject()
{
    ZoomHide(this);
}
