#pragma once

#include "core/journal/journal.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QString>

#include <functional>

class DocumentSource;
class DocumentText;
class QTimer;
class QWidget;
struct TScriptEditor;

// Keeps the unsaved text of every open script in the program folder's journal, written on a
// worker a moment after it changed, so that after a crash or a kill the next start can offer
// it back. The journal never writes a script's own file.
class JournalController : public QObject
{
    Q_OBJECT
public:
    // Opens a script as the tabs do (an empty path: a new one) and returns it.
    using Opener = std::function<TScriptEditor *(const QString &path)>;

    JournalController(const QString &programDir, DocumentSource &documents, Opener open,
                      QWidget *window);
    ~JournalController() override;

    // Follows a new script's text.
    void attach(TScriptEditor &doc);
    // The script goes: its entry goes with it (saved or not, the user chose).
    void detach(TScriptEditor &doc);
    // Start-up: offers, one by one, each script that a program which ended without closing
    // (a crash, a kill) left unsaved: restore or discard.
    void offerLeftovers();
    // A clean exit: nothing stays in the journal.
    void finish();

    // The journal of all programs using this program folder.
    static QString rootOf(const QString &programDir);

signals:
    // Unsaved text can no longer be kept (a full disk): said once until a write succeeds.
    void statusMessage(const QString &text);

private:
    struct Tracked
    {
        int id = 0;
        bool dirty = false;
        bool written = false;
    };
    void changed(QObject *editor);
    void writeChanged();
    TScriptEditor *documentOf(QObject *editor) const;
    // The new script the program started with, still untouched, or null.
    TScriptEditor *blankNewScript() const;
    // The script the entry's text went into.
    TScriptEditor *restore(const JournalEntry &entry);

    QString m_root;
    DocumentSource &m_documents;
    Opener m_open;
    QWidget *m_window;
    QTimer *m_timer;
    QElapsedTimer m_waiting; // since the oldest change not journalled yet
    DocumentText *m_texts;
    QHash<QObject *, Tracked> m_tracked;
    int m_nextId = 0;
    JournalSession m_session;
    // After the session: destroyed first, so the last writes end before the lock goes.
    JournalWriter m_writer;
};
