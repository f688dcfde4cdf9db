#pragma once

#include "platform/filestamp.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <map>
#include <optional>

class DocumentSource;
class QFileSystemWatcher;
class QTimer;
class QWidget;
class ScriptEditorWidget;
struct TScriptEditor;
struct TextFileContent;

// Watches the files of the open scripts for changes made by other programs. An unedited
// script reads its file again by itself, keeping caret and scroll; an edited one asks whether
// to reload or keep the text; a script whose file vanished keeps its text as unsaved. A save
// over a file that changed since it was read or written asks first.
//
// Editors and version control replace a file by renaming another over it, which ends the
// watch on the old file: the folder is watched too and the file watched again after each
// change. A burst of changes is looked at once, when it has been quiet for the settle time;
// the file is read on a worker.
class DiskWatch : public QObject
{
    Q_OBJECT
public:
    DiskWatch(DocumentSource &docs, QWidget *window, QObject *parent = nullptr);
    ~DiskWatch() override;

    // doc's text was just read from its file or written to it: that state of the file is
    // the one its text matches, and the file is watched from now on.
    void track(TScriptEditor &doc);
    // Before doc is written over its own file. True when the file is still what was read or
    // last written (or is gone), or the user says to overwrite it; mayAsk false (the periodic
    // save) never asks and gives false then.
    bool mayOverwrite(const TScriptEditor &doc, bool mayAsk = true);
    // How long the changes to a file must pause before it is looked at (tests shorten it).
    void setSettleTime(int ms);

signals:
    // doc holds the file's text anew.
    void reloaded(TScriptEditor *doc);
    void statusMessage(const QString &text);

private:
    struct Entry
    {
        QString path;
        Platform::FileStamp known; // what the text matches: as read or last written
        // A change the user chose to keep the editor's text over: not asked about again.
        std::optional<Platform::FileStamp> declined;
        bool vanished = false;
        bool editedBeforeVanishing = false;
        int revisionAtVanishing = 0;
        quint64 generation = 0; // of the reads, so that only the newest one lands
        bool reading = false;
        bool recheck = false; // a change came while the file was read or a question was open
        QTimer *settle = nullptr;
        QElapsedTimer burst; // since the first change of the burst
    };
    struct Reading;

    TScriptEditor *documentOf(const ScriptEditorWidget *editor) const;
    void untrack(const ScriptEditorWidget *editor);
    void rewatch();
    void changed(const QString &path, bool folder);
    void check(const ScriptEditorWidget *editor);
    void reload(const ScriptEditorWidget *editor, Entry &e, bool confirmed);
    void arrived(const ScriptEditorWidget *editor, const Reading &r);
    // Looks again at the files whose changes came while a question was open.
    void resumeChecks();

    DocumentSource &m_docs;
    QWidget *m_window;
    QFileSystemWatcher *m_watcher;
    std::map<const ScriptEditorWidget *, Entry> m_entries;
    int m_settleMs = 200;
    bool m_asking = false;
};
