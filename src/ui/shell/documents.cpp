// Script documents: opening, saving, closing, the tab strip and the recent-files list.
#include "ui/shell/mainwindow.h"

#include "core/common/clock.h"
#include "core/common/errors.h"
#include "core/common/messagewait.h"
#include "core/settings/recentfiles.h"
#include "ui/common/application.h"
#include "ui/common/icons.h"
#include "ui/common/prompts.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QStackedWidget>
#include <QTabBar>

namespace {
const QString kOpenFilter = QStringLiteral(
        "Perl scripts (*.pl *.cgi);;"
        "Text files (*.txt *.bat *.ini *.inf *.asc *.1st *.me *.sys);;"
        "All files (*)");
}

void TForm1::OpenDocument(const QString &path)
{
    auto doc = std::make_unique<TScriptEditor>();
    const bool exists = !path.isEmpty() && QFileInfo(path).isFile();
    // Read before creating anything, so a file that cannot be read leaves no tab behind.
    TextFileContent content;
    if (exists)
        content = readTextFile(path);

    doc->Editor = new ScriptEditorWidget(EditorCarry);
    doc->Editor->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(doc->Editor, &QWidget::customContextMenuRequested, this,
            [this, ed = doc->Editor](const QPoint &p) { RTFPop->popup(ed->mapToGlobal(p)); });
    attachHighlighter(*doc);
    if (exists) {
        doc->Editor->loadText(content.text);
        doc->Format = content.format;
        doc->setSaved(true);
    } else {
        doc->setSaved(false);
    }
    doc->HTMLGiven = false;
    doc->HTMLUpdate = true;
    if (!path.isEmpty()) {
        doc->FileName = path;
    } else {
        ++NonameCount;
        doc->FileName = QStringLiteral("Noname #%1").arg(NonameCount);
    }
    EditorCarry->addWidget(doc->Editor);
    const QString caption = path.isEmpty() ? doc->FileName : QFileInfo(path).fileName();
    Documents.push_back(std::move(doc));

    {
        const QSignalBlocker block(tabScriptSel);
        const int index = tabScriptSel->addTab(caption);
        tabScriptSel->setTabIcon(index, scriptIcon());
        tabScriptSel->setTabToolTip(index, Documents.back()->FileName);
        tabScriptSel->setCurrentIndex(index);
    }
    tabScriptSelChange();
    if (!exists)
        return;

    ProcessMessages();
    if (TScriptEditor *d = CurrentDocument())
        highlightDocument(*d, 0);
    Settings.WriteString(QStringLiteral("SRecent"), QStringLiteral("LastOpened"), path);
    RecentFiles::recordOpening(Settings, RecentFiles, path,
                               Settings.ReadInteger(QStringLiteral("Config"),
                                                    QStringLiteral("RecentCount"), 8),
                               Clock::now());
    RebuildRecentMenu();
}

TScriptEditor *TForm1::CurrentDocument() const
{
    const int i = tabScriptSel->currentIndex();
    return i >= 0 && i < int(Documents.size()) ? Documents[size_t(i)].get() : nullptr;
}

void TForm1::tabScriptSelChange()
{
    TScriptEditor *doc = CurrentDocument();
    if (!doc)
        return;
    EditorCarry->setCurrentWidget(doc->Editor);
    SetView(ViewKind::vkSource);
    PathCap->setText(u' ' + doc->FileName);
}

void TForm1::btNewClick()
{
    OpenDocument(QString());
}

void TForm1::btOpenClick()
{
    const QString file = Prompts::instance().openFile(this, QStringLiteral("Open"), m_openDir,
                                                      kOpenFilter);
    if (file.isEmpty())
        return;
    OpenDocument(file);
    m_openDir = QFileInfo(file).absolutePath();
    Settings.WriteString(QStringLiteral("SRecent"), QStringLiteral("Perls"), m_openDir + u'/');
}

bool TForm1::writeDocument(TScriptEditor &doc, const QString &path)
{
    if (doc.Editor->isLoading())
        throw AppError(
                QStringLiteral(
                        "Oops! \"%1\" is still being loaded. Please save it again in a moment.")
                        .arg(doc.FileName));
    // Paragraph separators are how the control stores line breaks; the raw text keeps
    // every other character (non-breaking spaces included) exactly as typed.
    QString text = doc.Editor->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    writeTextFile(path, text, doc.Format);
    return true;
}

bool TForm1::saveDocument(TScriptEditor &doc)
{
    if (doc.saved())
        return true;
    if (QFileInfo(doc.FileName).isFile()) {
        writeDocument(doc, doc.FileName);
        doc.setSaved(true);
        return true;
    }
    // A new script, or one whose file has gone: ask where to write it.
    TScriptEditor *current = CurrentDocument();
    if (current != &doc) {
        for (size_t i = 0; i < Documents.size(); ++i) {
            if (Documents[i].get() == &doc)
                tabScriptSel->setCurrentIndex(int(i));
        }
    }
    return SaveDocumentAs();
}

bool TForm1::btSaveClick()
{
    TScriptEditor *doc = CurrentDocument();
    if (!doc || doc->saved())
        return false;
    return saveDocument(*doc);
}

bool TForm1::SaveDocumentAs()
{
    TScriptEditor *doc = CurrentDocument();
    if (!doc)
        return false;
    const QString start = QFileInfo(doc->FileName).isAbsolute() ? doc->FileName : m_openDir;
    const QString file = Prompts::instance().saveFile(this, QStringLiteral("Save as"), start,
                                                      QString());
    if (file.isEmpty())
        return false;
    if (QFileInfo::exists(file)
        && Prompts::confirm(this, QStringLiteral("The file \"%1\" already exists. Replace it now?")
                                          .arg(file))
                   != QMessageBox::Yes)
        return false;
    writeDocument(*doc, file);
    doc->FileName = file;
    doc->setSaved(true);
    tabScriptSel->setTabText(tabScriptSel->currentIndex(), QFileInfo(file).completeBaseName());
    tabScriptSel->setTabToolTip(tabScriptSel->currentIndex(), file);
    tabScriptSelChange();
    return true;
}

void TForm1::AutoSaveTimerTimer()
{
    if (!CurrentDocument())
        return;
    // A tick while the Save dialog of the previous tick is still open must not stack dialogs.
    static bool busy = false;
    if (busy)
        return;
    busy = true;
    try {
        btSaveClick();
    } catch (...) {
        busy = false;
        throw;
    }
    busy = false;
}

void TForm1::CloseCurrentDocument()
{
    TScriptEditor *doc = CurrentDocument();
    if (!doc)
        return;
    if (doc->saved() || doc->Editor->document()->characterCount() - 1 <= 1) {
        iCloseCurr();
        return;
    }
    const auto answer
            = Prompts::confirm(this,
                               QStringLiteral("Document \"%1\".\nSave it now?").arg(doc->FileName),
                               QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel)
        return;
    // A script that could not be written stays open, so its text is not lost.
    if (answer == QMessageBox::Yes && !saveDocument(*doc))
        return;
    iCloseCurr();
}

void TForm1::iCloseCurr()
{
    const int index = tabScriptSel->currentIndex();
    if (index < 0 || index >= int(Documents.size()))
        return;
    std::unique_ptr<TScriptEditor> doc = std::move(Documents[size_t(index)]);
    Documents.erase(Documents.begin() + index);
    EditorCarry->removeWidget(doc->Editor);
    doc->Editor->deleteLater();
    {
        const QSignalBlocker block(tabScriptSel);
        tabScriptSel->removeTab(index);
        if (tabScriptSel->count() > 0)
            tabScriptSel->setCurrentIndex(tabScriptSel->count() - 1);
    }
    if (tabScriptSel->count() > 0)
        tabScriptSelChange();
    else
        PathCap->clear();
}

void TForm1::RebuildRecentMenu()
{
    popRecent->clear();
    RecentFiles.clear();
    ReadSectionToList(Settings, QStringLiteral("Recent"), RecentFiles);
    const QStringList entries = RecentFiles::menuEntries(RecentFiles, [](const QString &p) {
        return QFileInfo::exists(p);
    });
    for (const QString &path : entries) {
        QAction *a = popRecent->addAction(scriptIcon(), QString());
        // The caption is the path exactly; "&" must not turn into an accelerator.
        a->setText(QString(path).replace(u'&', QStringLiteral("&&")));
        a->setData(path);
        connect(a, &QAction::triggered, this,
                [this, path] { guarded([&] { OpenDocument(path); }); });
    }
    popRecent->setEnabled(!entries.isEmpty());
}
