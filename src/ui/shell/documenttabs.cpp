#include "ui/shell/documenttabs.h"

#include "core/common/clock.h"
#include "core/common/errors.h"
#include "core/common/messagewait.h"
#include "core/common/textfile.h"
#include "core/editor/linecolumn.h"
#include "core/settings/configkeys.h"
#include "core/settings/inifile.h"
#include "core/settings/recentfiles.h"
#include "platform/platform.h"
#include "ui/common/application.h"
#include "ui/common/commands.h"
#include "ui/common/icons.h"
#include "ui/common/prompts.h"
#include "ui/editor/diskwatch.h"
#include "ui/editor/gotoline.h"
#include "ui/editor/scripteditor.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QStackedWidget>
#include <QTabBar>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>

namespace {

const QString kOpenFilter = QStringLiteral(
        "Perl scripts (*.pl *.pm *.t *.pod *.psgi *.cgi);;"
        "Text files (*.txt *.bat *.ini *.inf *.asc *.1st *.me *.sys);;"
        "All files (*)");
// A period of a few milliseconds would save without pause and make the program unusable.
constexpr int kMinAutoSavePeriodMs = 1000;
// Put before the name on the tab of a script with unsaved text.
const QString kModifiedMark = QStringLiteral("*");

// A folder, a pipe or a device holds no script: reading a pipe waits for a writer that may
// never come, and a device may never end. An empty path or one that is not there yet is fine.
void refuseWhatIsNoFile(const QString &path)
{
    using Platform::FileKind;
    QString what;
    switch (Platform::fileKind(path)) {
    case FileKind::Missing:
    case FileKind::Regular:
        return;
    case FileKind::Folder:
        what = QStringLiteral("a folder");
        break;
    case FileKind::Pipe:
        what = QStringLiteral("a pipe");
        break;
    case FileKind::Device:
        what = QStringLiteral("a device");
        break;
    case FileKind::Socket:
        what = QStringLiteral("a socket");
        break;
    case FileKind::Other:
        what = QStringLiteral("a special file");
        break;
    }
    throw IoError(QStringLiteral("Oops! \"%1\" is %2, not a file that can be edited. Please open "
                                 "a script file.")
                          .arg(path, what));
}

// One file, whatever path leads to it; a file that is gone by its cleaned absolute path.
QString fileIdentity(const QString &path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

// A new script that is still empty has nothing to lose; a file emptied by the user has.
bool holdsUnsavedText(const TScriptEditor &doc)
{
    return !doc.saved()
           && (!doc.Editor->document()->isEmpty() || QFileInfo(doc.FileName).isAbsolute());
}
} // namespace

DocumentTabs::DocumentTabs(TIniFile &settings, const CommandTable &commands, QMenu *editorMenu,
                           QWidget *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_tabs(new QTabBar(parent))
    , m_editors(new QStackedWidget(parent))
    , m_pathBar(new QFrame(parent))
    , m_pathCaption(new QLabel(QStringLiteral(" Noname.pl"), m_pathBar))
    , m_editorMenu(editorMenu)
    , m_recentMenu(new QMenu(parent))
    , m_autoSaveTimer(new QTimer(this))
    , m_diskWatch(new DiskWatch(*this, parent, this))
{
    m_tabs->setObjectName(QStringLiteral("tabScriptSel"));
    m_tabs->setShape(QTabBar::RoundedSouth);
    m_tabs->setDocumentMode(true);
    m_tabs->setExpanding(false);
    m_tabs->setDrawBase(false);
    m_tabs->setUsesScrollButtons(true);
    m_editors->setObjectName(QStringLiteral("EditorCarry"));
    m_recentMenu->setObjectName(QStringLiteral("popRecent"));
    m_autoSaveTimer->setObjectName(QStringLiteral("AutoSaveTimer"));

    auto *frame = static_cast<QFrame *>(m_pathBar);
    frame->setObjectName(QStringLiteral("pPathCap"));
    frame->setFrameShape(QFrame::StyledPanel);
    auto *ph = new QHBoxLayout(frame);
    ph->setContentsMargins(2, 1, 1, 1);
    m_pathCaption->setObjectName(QStringLiteral("PathCap"));
    m_pathCaption->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_pathCaption->addAction(commands["Properties3"]);
    m_pathCaption->addAction(commands["SetotherHTMLfile3"]);
    ph->addWidget(m_pathCaption, 1);
    auto *closeDoc = new QToolButton(frame);
    closeDoc->setObjectName(QStringLiteral("SpeedButton2"));
    closeDoc->setDefaultAction(commands["SpeedButton2"]);
    closeDoc->setAutoRaise(true);
    closeDoc->setIconSize(QSize(14, 14));
    ph->addWidget(closeDoc);

    commands.onTriggered({"btNew", "New1", "New2"}, this, [this] { open(QString()); });
    commands.onTriggered({"btOpen", "Open1", "Open2"}, this, [this] { openWithDialog(); });
    commands.onTriggered({"btSave", "Save1", "Save2"}, this, [this] { saveCurrent(); });
    commands.onTriggered({"Saveas1", "Saveas2"}, this, [this] { saveAs(); });
    commands.onTriggered({"Close1", "SpeedButton2"}, this, [this] { closeCurrent(); });
    commands.onTriggered({"Gotoline1"}, this, [this] { goToLine(); });
    // The tabs are switched from the keyboard wherever the focus is, the editor included.
    auto *next = new QAction(QStringLiteral("Next script"), parent);
    next->setObjectName(QStringLiteral("NextScript"));
    next->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)});
    auto *previous = new QAction(QStringLiteral("Previous script"), parent);
    previous->setObjectName(QStringLiteral("PreviousScript"));
    previous->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
                            QKeySequence(Qt::CTRL | Qt::Key_PageUp)});
    parent->addActions({next, previous});
    connect(next, &QAction::triggered, this, [this] { selectNeighbour(1); });
    connect(previous, &QAction::triggered, this, [this] { selectNeighbour(-1); });
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) {
        if (index >= 0 && index < int(m_documents.size()))
            selectionChanged();
    });
    connect(m_autoSaveTimer, &QTimer::timeout, this, [this] { guarded([this] { saveOnTimer(); }); });
    connect(m_diskWatch, &DiskWatch::reloaded, this, &DocumentTabs::fileOpened);
}

DocumentTabs::~DocumentTabs() = default;

void DocumentTabs::setStatusLabels(QLabel *position, QLabel *modified)
{
    m_positionLabel = position;
    m_modifiedLabel = modified;
}

void DocumentTabs::reset()
{
    m_recentFiles.clear();
    m_documents.clear();
    m_openDir = Config::read(m_settings, Config::OpenFolder);
    // Until a file has been opened, the dialogs start where the user's files are.
    if (m_openDir.isEmpty())
        m_openDir = QDir::homePath();
}

int DocumentTabs::tabOfFile(const QString &path) const
{
    const QString wanted = fileIdentity(path);
    for (size_t i = 0; i < m_documents.size(); ++i) {
        const QString &name = m_documents[i]->FileName;
        // A new script's title names no file.
        if (QFileInfo(name).isAbsolute() && fileIdentity(name) == wanted)
            return int(i);
    }
    return -1;
}

void DocumentTabs::selectTab(int index)
{
    {
        const QSignalBlocker block(m_tabs);
        m_tabs->setCurrentIndex(index);
    }
    selectionChanged();
}

void DocumentTabs::open(const QString &path)
{
    refuseWhatIsNoFile(path);
    if (!path.isEmpty()) {
        // A second editor on the same file would let one save overwrite the other's changes.
        const int already = tabOfFile(path);
        if (already >= 0) {
            selectTab(already);
            return;
        }
    }
    auto doc = std::make_unique<TScriptEditor>();
    const bool exists = !path.isEmpty() && QFileInfo(path).isFile();
    // Read before creating anything, so a file that cannot be read leaves no tab behind.
    TextFileContent content;
    if (exists)
        content = readTextFile(path);

    doc->Editor = new ScriptEditorWidget(m_editors);
    doc->Editor->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(doc->Editor, &QWidget::customContextMenuRequested, this,
            [this, ed = doc->Editor](const QPoint &p) { m_editorMenu->popup(ed->mapToGlobal(p)); });
    // The status line follows every key (the character is not in the text yet).
    connect(doc->Editor, &ScriptEditorWidget::keyTyped, this, [this] { updateStatus(); });
    // Undoing back to the saved text takes the mark away again.
    connect(doc->Editor, &QPlainTextEdit::modificationChanged, this,
            [this, ed = doc->Editor] { showMark(ed); });
    connect(doc->Editor, &QPlainTextEdit::textChanged, this,
            [this, ed = doc->Editor] { showMark(ed); });
    emit documentCreated(doc.get());
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
        ++m_nonameCount;
        doc->FileName = QStringLiteral("Noname #%1").arg(m_nonameCount);
    }
    m_editors->addWidget(doc->Editor);
    const QString caption = path.isEmpty() ? doc->FileName : QFileInfo(path).fileName();
    m_documents.push_back(std::move(doc));
    if (exists)
        m_diskWatch->track(*m_documents.back());

    {
        const QSignalBlocker block(m_tabs);
        const int index = m_tabs->addTab(QString());
        setCaption(index, caption);
        m_tabs->setTabIcon(index, scriptIcon());
        m_tabs->setTabToolTip(index, m_documents.back()->FileName);
        m_tabs->setCurrentIndex(index);
    }
    selectionChanged();
    if (!exists)
        return;

    ProcessMessages();
    if (TScriptEditor *d = current())
        emit fileOpened(d);
    Config::write(m_settings, Config::LastOpened, path);
    RecentFiles::recordOpening(m_settings, m_recentFiles, path,
                               Config::read(m_settings, Config::RecentCount), Clock::now());
    rebuildRecentMenu();
    reportSaveLeftovers(path);
}

void DocumentTabs::openAt(const QString &path, int line, int column)
{
    open(path);
    if (const TScriptEditor *doc = current())
        showLine(doc->Editor, line, column);
}

void DocumentTabs::setCaption(int index, const QString &caption)
{
    m_tabs->setTabData(index, caption);
    showMark(m_documents[size_t(index)]->Editor);
}

void DocumentTabs::showMark(const ScriptEditorWidget *editor)
{
    for (size_t i = 0; i < m_documents.size(); ++i) {
        const TScriptEditor &doc = *m_documents[i];
        if (doc.Editor != editor)
            continue;
        const int index = int(i);
        if (index >= m_tabs->count())
            return;
        // "&" in a file name is a character, not a keyboard accelerator.
        QString text = m_tabs->tabData(index).toString().replace(u'&', QStringLiteral("&&"));
        if (holdsUnsavedText(doc))
            text.prepend(kModifiedMark);
        if (m_tabs->tabText(index) != text)
            m_tabs->setTabText(index, text);
        return;
    }
}

void DocumentTabs::selectNeighbour(int step)
{
    const int count = m_tabs->count();
    if (count < 2)
        return;
    // The stack of editors hands the focus on to the editor shown.
    m_tabs->setCurrentIndex(((m_tabs->currentIndex() + step) % count + count) % count);
}

void DocumentTabs::goToLine()
{
    TScriptEditor *doc = current();
    if (!doc)
        return;
    ScriptEditorWidget *editor = doc->Editor;
    QString answer = QString::number(editor->linePosition(editor->textCursor().position()).row + 1);
    // Until the text is all there, its number of lines is not known.
    QString label = QStringLiteral("Line (or line:column)");
    if (!editor->isLoading())
        label += QStringLiteral(", 1\u2013%1").arg(lineCount(editor));
    QWidget *window = m_tabs->window();
    if (!Prompts::instance().input(window, QStringLiteral("Go to line"), label + u':', answer))
        return;
    const std::optional<LineColumn::Place> place = LineColumn::parse(answer);
    if (!place) {
        Prompts::error(window, QStringLiteral("Oops! \"%1\" is no line. Please give a line "
                                              "number, or a line and a column such as 120:5.")
                                       .arg(answer.trimmed()));
        return;
    }
    moveCaretToLine(editor, place->line, place->column);
    editor->setFocus();
}

void DocumentTabs::reportSaveLeftovers(const QString &path)
{
    // Left where they are: after a kill during a save they may hold the only copy of the text.
    const QStringList left = atomicWriteLeftovers(path);
    if (left.isEmpty())
        return;
    Prompts::warn(m_tabs->window(),
                  QStringLiteral("A save of \"%1\" was broken off before it ended; what it wrote "
                                 "is still beside the script:\n\n%2\n\nThis may be text that the "
                                 "script lacks. Compare it with the script, keep what you need, "
                                 "and delete what is left over.")
                          .arg(path, left.join(u'\n')));
}

TScriptEditor *DocumentTabs::current() const
{
    const int i = m_tabs->currentIndex();
    return i >= 0 && i < int(m_documents.size()) ? m_documents[size_t(i)].get() : nullptr;
}

void DocumentTabs::selectionChanged()
{
    TScriptEditor *doc = current();
    if (!doc)
        return;
    m_editors->setCurrentWidget(doc->Editor);
    m_pathCaption->setText(u' ' + doc->FileName);
    emit currentChanged(doc);
}

int DocumentTabs::tabOfEditor(const ScriptEditorWidget *editor) const
{
    for (size_t i = 0; editor && i < m_documents.size(); ++i) {
        if (m_documents[i]->Editor == editor)
            return int(i);
    }
    return -1;
}

ScriptEditorWidget *DocumentTabs::editorOfFile(const QString &path) const
{
    const int tab = tabOfFile(path);
    return tab < 0 ? nullptr : m_documents[size_t(tab)]->Editor;
}

void DocumentTabs::showLine(const ScriptEditorWidget *editor, int line, int column)
{
    const int tab = tabOfEditor(editor);
    if (tab < 0)
        return;
    if (m_tabs->currentIndex() != tab)
        selectTab(tab);
    moveCaretToLine(m_documents[size_t(tab)]->Editor, line, column);
    m_documents[size_t(tab)]->Editor->setFocus();
}

void DocumentTabs::showDebuggerStop(const ScriptEditorWidget *editor, int line)
{
    const int tab = tabOfEditor(editor);
    for (size_t i = 0; i < m_documents.size(); ++i) {
        if (int(i) != tab)
            m_documents[i]->Editor->markDebuggerLine(0);
    }
    if (tab < 0)
        return;
    if (m_tabs->currentIndex() != tab)
        selectTab(tab);
    m_documents[size_t(tab)]->Editor->markDebuggerLine(line);
}

void DocumentTabs::openWithDialog()
{
    const QString file = Prompts::instance().openFile(m_tabs->window(), QStringLiteral("Open"),
                                                      m_openDir, kOpenFilter);
    if (file.isEmpty())
        return;
    open(file);
    m_openDir = QFileInfo(file).absolutePath();
    Config::write(m_settings, Config::OpenFolder, m_openDir + u'/');
}

bool DocumentTabs::save(TScriptEditor &doc)
{
    if (doc.saved())
        return true;
    if (QFileInfo(doc.FileName).isFile()) {
        // Another program's newer file is not written over unasked.
        if (!m_diskWatch->mayOverwrite(doc, !m_autoSaving))
            return false;
        writeScript(doc, doc.FileName);
        doc.setSaved(true);
        m_diskWatch->track(doc);
        return true;
    }
    // A new script, or one whose file has gone: ask where to write it.
    if (current() != &doc) {
        for (size_t i = 0; i < m_documents.size(); ++i) {
            if (m_documents[i].get() == &doc)
                m_tabs->setCurrentIndex(int(i));
        }
    }
    return saveAs();
}

bool DocumentTabs::saveCurrent()
{
    TScriptEditor *doc = current();
    if (!doc || doc->saved())
        return false;
    return save(*doc);
}

bool DocumentTabs::saveAs()
{
    TScriptEditor *doc = current();
    if (!doc)
        return false;
    QWidget *window = m_tabs->window();
    const QString start = QFileInfo(doc->FileName).isAbsolute() ? doc->FileName : m_openDir;
    const QString file = Prompts::instance().saveFile(window, QStringLiteral("Save as"), start,
                                                      QString());
    if (file.isEmpty())
        return false;
    if (QFileInfo::exists(file)
        && Prompts::confirm(window,
                            QStringLiteral("The file \"%1\" already exists. Replace it now?")
                                    .arg(file))
                   != QMessageBox::Yes)
        return false;
    writeScript(*doc, file);
    doc->FileName = file;
    doc->setSaved(true);
    m_diskWatch->track(*doc);
    setCaption(m_tabs->currentIndex(), QFileInfo(file).completeBaseName());
    m_tabs->setTabToolTip(m_tabs->currentIndex(), file);
    selectionChanged();
    return true;
}

void DocumentTabs::saveOnTimer()
{
    // Only a script that has a file is written: the periodic save never asks where to.
    // A tick while an error box of the previous tick is still open must not stack boxes.
    TScriptEditor *doc = current();
    if (!doc || doc->saved() || m_autoSaving || !QFileInfo(doc->FileName).isAbsolute()
        || !QFileInfo(doc->FileName).isFile())
        return;
    m_autoSaving = true;
    try {
        save(*doc);
    } catch (...) {
        m_autoSaving = false;
        throw;
    }
    m_autoSaving = false;
}

void DocumentTabs::closeCurrent()
{
    TScriptEditor *doc = current();
    if (!doc)
        return;
    if (doc->saved() || doc->Editor->document()->characterCount() - 1 <= 1) {
        closeCurrentNow();
        return;
    }
    const auto answer
            = Prompts::confirm(m_tabs->window(),
                               QStringLiteral("Document \"%1\".\nSave it now?").arg(doc->FileName),
                               QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel)
        return;
    // A script that could not be written stays open, so its text is not lost.
    if (answer == QMessageBox::Yes && !save(*doc))
        return;
    closeCurrentNow();
}

void DocumentTabs::closeCurrentNow()
{
    const int index = m_tabs->currentIndex();
    if (index < 0 || index >= int(m_documents.size()))
        return;
    emit documentClosing(m_documents[size_t(index)].get());
    std::unique_ptr<TScriptEditor> doc = std::move(m_documents[size_t(index)]);
    m_documents.erase(m_documents.begin() + index);
    m_editors->removeWidget(doc->Editor);
    doc->Editor->deleteLater();
    {
        const QSignalBlocker block(m_tabs);
        m_tabs->removeTab(index);
        if (m_tabs->count() > 0)
            m_tabs->setCurrentIndex(m_tabs->count() - 1);
    }
    if (m_tabs->count() > 0) {
        selectionChanged();
    } else {
        m_pathCaption->clear();
        // Nothing is left to have a position or to be modified.
        if (m_positionLabel) {
            m_positionLabel->clear();
            m_modifiedLabel->clear();
        }
        emit lastClosed();
    }
}

bool DocumentTabs::confirmClose()
{
    for (const auto &doc : m_documents) {
        if (doc->saved() || doc->Editor->document()->characterCount() - 1 <= 1)
            continue;
        const auto answer = Prompts::confirm(
                m_tabs->window(),
                QStringLiteral(
                        "The file \"%1\" has not been saved yet. Do you want to save it now?")
                        .arg(doc->FileName),
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (answer == QMessageBox::Cancel)
            return false;
        if (answer == QMessageBox::Yes) {
            // A script that could not be written keeps the window open: nothing is lost.
            bool written = false;
            guarded([&] { written = save(*doc); });
            if (!written)
                return false;
            ProcessMessages();
        }
    }
    return true;
}

void DocumentTabs::rebuildRecentMenu()
{
    m_recentMenu->clear();
    m_recentFiles.clear();
    ReadSectionToList(m_settings, Config::RecentSection, m_recentFiles);
    const QStringList entries = RecentFiles::menuEntries(m_recentFiles, [](const QString &p) {
        return QFileInfo::exists(p);
    });
    for (const QString &path : entries) {
        QAction *a = m_recentMenu->addAction(scriptIcon(), QString());
        // The caption is the path exactly; "&" must not turn into an accelerator.
        a->setText(QString(path).replace(u'&', QStringLiteral("&&")));
        a->setData(path);
        connect(a, &QAction::triggered, this, [this, path] { guarded([&] { open(path); }); });
    }
    m_recentMenu->setEnabled(!entries.isEmpty());
}

void DocumentTabs::applyOptions()
{
    const Config::AutoSaving saving = Config::AutoSaving::read(m_settings);
    m_autoSaveTimer->setInterval(qMax(kMinAutoSavePeriodMs, saving.intervalMs));
    if (saving.on)
        m_autoSaveTimer->start();
    else
        m_autoSaveTimer->stop();
}

void DocumentTabs::updateStatus()
{
    TScriptEditor *doc = current();
    if (!doc || !m_positionLabel)
        return;
    const RowBreaks::LinePosition at = doc->Editor->linePosition(
            doc->Editor->textCursor().selectionStart());
    m_positionLabel->setText(QStringLiteral("Row: %1 Col: %2").arg(at.row).arg(at.column));
    m_modifiedLabel->setText(doc->saved() ? QString() : QStringLiteral("modified"));
}
