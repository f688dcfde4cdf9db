#include "ui/editor/diskwatch.h"

#include "core/common/errors.h"
#include "core/common/textfile.h"
#include "core/common/workers.h"
#include "core/editor/diskstamp.h"
#include "ui/common/prompts.h"
#include "ui/editor/documentsource.h"
#include "ui/editor/gotoline.h"
#include "ui/editor/scripteditor.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QPointer>
#include <QScrollBar>
#include <QSet>
#include <QThreadPool>
#include <QTimer>

using Platform::FileStamp;

namespace {

// A file written without pause (a log) is still looked at now and then.
constexpr qint64 kLongestWaitMs = 1000;

QString absolutePath(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

QString folderOf(const QString &path)
{
    return QFileInfo(path).absolutePath();
}

} // namespace

struct DiskWatch::Reading
{
    quint64 generation = 0;
    bool confirmed = false; // the user asked for it: lands even over text typed meanwhile
    int revision = 0;       // of the text when the read began
    FileStamp stamp;        // taken before reading: a change during the read is seen again
    TextFileContent content;
    QString error;
};

DiskWatch::DiskWatch(DocumentSource &docs, QWidget *window, QObject *parent)
    : QObject(parent)
    , m_docs(docs)
    , m_window(window)
    , m_watcher(new QFileSystemWatcher(this))
{
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this,
            [this](const QString &path) { changed(path, false); });
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this,
            [this](const QString &path) { changed(path, true); });
}

DiskWatch::~DiskWatch() = default;

void DiskWatch::setSettleTime(int ms)
{
    m_settleMs = ms;
    for (auto &[editor, e] : m_entries)
        e.settle->setInterval(ms);
}

TScriptEditor *DiskWatch::documentOf(const ScriptEditorWidget *editor) const
{
    for (const auto &doc : m_docs.all()) {
        if (doc->Editor == editor)
            return doc.get();
    }
    return nullptr;
}

void DiskWatch::track(TScriptEditor &doc)
{
    const ScriptEditorWidget *editor = doc.Editor;
    auto found = m_entries.find(editor);
    if (found == m_entries.end()) {
        Entry fresh;
        fresh.settle = new QTimer(this);
        fresh.settle->setSingleShot(true);
        fresh.settle->setInterval(m_settleMs);
        connect(fresh.settle, &QTimer::timeout, this, [this, editor] { check(editor); });
        connect(editor, &QObject::destroyed, this, [this, editor] { untrack(editor); });
        found = m_entries.emplace(editor, std::move(fresh)).first;
    }
    Entry &e = found->second;
    e.path = absolutePath(doc.FileName);
    e.known = Platform::fileStamp(e.path);
    e.declined.reset();
    e.vanished = false;
    // A read still under way holds the file as it was before this.
    ++e.generation;
    e.reading = false;
    rewatch();
}

void DiskWatch::untrack(const ScriptEditorWidget *editor)
{
    const auto found = m_entries.find(editor);
    if (found == m_entries.end())
        return;
    delete found->second.settle;
    m_entries.erase(found);
    rewatch();
}

void DiskWatch::rewatch()
{
    // A file replaced or removed drops out of the watcher by itself; its folder stays.
    QSet<QString> files;
    QSet<QString> folders;
    for (const auto &[editor, e] : m_entries) {
        if (QFileInfo::exists(e.path))
            files.insert(e.path);
        const QString folder = folderOf(e.path);
        if (QFileInfo(folder).isDir())
            folders.insert(folder);
    }
    const QStringList watchedFiles = m_watcher->files();
    const QStringList watchedFolders = m_watcher->directories();
    QStringList drop;
    for (const QString &p : watchedFiles) {
        if (!files.remove(p))
            drop << p;
    }
    for (const QString &p : watchedFolders) {
        if (!folders.remove(p))
            drop << p;
    }
    if (!drop.isEmpty())
        m_watcher->removePaths(drop);
    const QStringList add = QStringList(files.begin(), files.end())
                            + QStringList(folders.begin(), folders.end());
    if (!add.isEmpty())
        m_watcher->addPaths(add);
}

void DiskWatch::changed(const QString &path, bool folder)
{
    // Each event restarts the wait, so a burst is looked at once, after it.
    for (auto &[editor, e] : m_entries) {
        if ((folder ? folderOf(e.path) : e.path) != path)
            continue;
        if (!e.settle->isActive())
            e.burst.start();
        else if (e.burst.elapsed() >= kLongestWaitMs)
            continue;
        e.settle->start();
    }
}

void DiskWatch::resumeChecks()
{
    for (auto &[editor, e] : m_entries) {
        if (e.recheck && !e.reading) {
            e.recheck = false;
            e.settle->start();
        }
    }
}

void DiskWatch::check(const ScriptEditorWidget *editor)
{
    const auto found = m_entries.find(editor);
    if (found == m_entries.end())
        return;
    Entry &e = found->second;
    // One question at a time, and none while the file is being read in.
    if (m_asking || e.reading) {
        e.recheck = true;
        return;
    }
    TScriptEditor *doc = documentOf(editor);
    if (!doc)
        return;
    if (doc->Editor->isLoading()) {
        e.settle->start();
        return;
    }
    rewatch();
    const FileStamp now = Platform::fileStamp(e.path);
    if (e.declined && *e.declined == now)
        return;
    const int revision = doc->Editor->document()->revision();
    const bool edited = e.vanished ? e.editedBeforeVanishing || revision != e.revisionAtVanishing
                                   : !doc->saved();
    switch (DiskStamp::action(DiskStamp::change(e.known, now), edited)) {
    case DiskStamp::Action::None:
        return;
    case DiskStamp::Action::Reload:
        reload(editor, e, false);
        return;
    case DiskStamp::Action::TellVanished:
        e.known = now;
        e.declined.reset();
        e.vanished = true;
        e.editedBeforeVanishing = edited;
        e.revisionAtVanishing = revision;
        // Unsaved, so that nothing takes it for a copy of a file and saving writes it again.
        doc->setSaved(false);
        emit statusMessage(QStringLiteral("\"%1\" was deleted or moved by another program; its "
                                          "text is kept here unsaved.")
                                   .arg(e.path));
        return;
    case DiskStamp::Action::AskReload:
        break;
    }
    const QString path = e.path;
    m_asking = true;
    const auto answer = Prompts::warn(
            m_window,
            QStringLiteral("\"%1\" was changed by another program, and the script has changes "
                           "made here.\n\nReload it from the disk? Yes drops the changes made "
                           "here; No keeps the text in the editor (saving it will ask before "
                           "overwriting the file).")
                    .arg(path),
            QMessageBox::Yes | QMessageBox::No);
    m_asking = false;
    // The question let events run: the script may be closed or saved by now.
    const auto still = m_entries.find(editor);
    if (still != m_entries.end() && documentOf(editor) && still->second.path == path) {
        if (answer == QMessageBox::Yes)
            reload(editor, still->second, true);
        else
            still->second.declined = now;
    }
    resumeChecks();
}

void DiskWatch::reload(const ScriptEditorWidget *editor, Entry &e, bool confirmed)
{
    e.reading = true;
    Reading r;
    r.generation = ++e.generation;
    r.confirmed = confirmed;
    if (const TScriptEditor *doc = documentOf(editor))
        r.revision = doc->Editor->document()->revision();
    QPointer<DiskWatch> self(this);
    workerPool()->start([self, editor, path = e.path, r = std::move(r)]() mutable {
        r.stamp = Platform::fileStamp(path);
        try {
            r.content = readTextFile(path);
        } catch (const AppError &error) {
            r.error = error.message();
        }
        QMetaObject::invokeMethod(
                qApp,
                [self, editor, r = std::move(r)] {
                    if (self)
                        self->arrived(editor, r);
                },
                Qt::QueuedConnection);
    });
}

void DiskWatch::arrived(const ScriptEditorWidget *editor, const Reading &r)
{
    const auto found = m_entries.find(editor);
    if (found == m_entries.end() || found->second.generation != r.generation)
        return;
    Entry &e = found->second;
    e.reading = false;
    TScriptEditor *doc = documentOf(editor);
    if (!doc)
        return;
    if (!r.error.isEmpty()) {
        if (!Platform::fileStamp(e.path).exists) { // gone meanwhile: the next look tells so
            e.settle->start();
            return;
        }
        // Unreadable: the text stays, not asked about again, and a save asks before writing.
        e.declined = r.stamp;
        emit statusMessage(r.error);
        resumeChecks();
        return;
    }
    ScriptEditorWidget *ed = doc->Editor;
    if (!r.confirmed && ed->document()->revision() != r.revision) {
        // Typed into while the file was read: now that is a question.
        e.settle->start();
        return;
    }
    const RowBreaks::LinePosition at = ed->linePosition(ed->textCursor().position());
    const int top = ed->verticalScrollBar()->value();
    const int left = ed->horizontalScrollBar()->value();
    doc->Format = r.content.format;
    ed->loadText(r.content.text);
    e.known = r.stamp;
    e.declined.reset();
    e.vanished = false;
    QPointer<ScriptEditorWidget> guard(ed);
    auto restore = [guard, at, top, left] {
        if (!guard)
            return;
        moveCaretToLine(guard, at.row + 1, at.column + 1);
        guard->verticalScrollBar()->setValue(top);
        guard->horizontalScrollBar()->setValue(left);
    };
    if (ed->isLoading())
        connect(ed, &ScriptEditorWidget::textLoaded, ed, restore, Qt::SingleShotConnection);
    else
        restore();
    emit statusMessage(QStringLiteral("\"%1\" was changed by another program and has been read "
                                      "again.")
                               .arg(e.path));
    emit reloaded(doc);
    resumeChecks();
}

bool DiskWatch::mayOverwrite(const TScriptEditor &doc, bool mayAsk)
{
    const auto found = m_entries.find(doc.Editor);
    if (found == m_entries.end() || found->second.path != absolutePath(doc.FileName))
        return true;
    if (DiskStamp::mayOverwrite(found->second.known, Platform::fileStamp(found->second.path)))
        return true;
    if (!mayAsk || m_asking)
        return false;
    m_asking = true;
    const auto answer = Prompts::warn(
            m_window,
            QStringLiteral("\"%1\" was changed by another program after it was opened or saved "
                           "here.\n\nOverwrite it with the text in the editor?")
                    .arg(doc.FileName),
            QMessageBox::Yes | QMessageBox::Cancel);
    m_asking = false;
    resumeChecks();
    return answer == QMessageBox::Yes;
}
