#pragma once

#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class QLockFile;
class QThreadPool;

// The unsaved text of one script, kept so that a crash or a kill loses none of it.
struct JournalEntry
{
    // The file of the script, or the caption of a new one ("Noname #2").
    QString script;
    bool isFile = false;
    QString text;

    bool operator==(const JournalEntry &o) const
    {
        return script == o.script && isFile == o.isFile && text == o.text;
    }
};

// A header line that names the format, the script, the length of the text and its checksum,
// then the text as UTF-8. A file that is cut short, changed or not ours decodes to nothing.
QByteArray encodeJournalEntry(const JournalEntry &entry);
std::optional<JournalEntry> decodeJournalEntry(const QByteArray &bytes);

// The journal of one running program: a folder of its own under root, held by a lock beside
// it so that another running program never takes its entries for those of a crashed one.
class JournalSession
{
public:
    // Locks and makes a new folder under root; isOpen() is false when that fails.
    explicit JournalSession(const QString &root);
    // Leaves the entries where they are, as a crash would: only close() removes them.
    ~JournalSession();
    JournalSession(const JournalSession &) = delete;
    JournalSession &operator=(const JournalSession &) = delete;

    bool isOpen() const { return !m_folder.isEmpty(); }
    const QString &folder() const { return m_folder; }
    // The file that keeps one script's entry.
    QString entryFile(int id) const;
    // A clean end: the folder, its entries and the lock go.
    void close();

private:
    QString m_root;
    std::unique_ptr<QLockFile> m_lock;
    QString m_folder;
};

// What sessions that ended without closing (a crash, a kill) left under root. Their locks are
// held while this exists, so a program starting at the same time does not offer them as well.
class JournalLeftovers
{
public:
    struct Entry
    {
        QString file;
        JournalEntry entry;
    };

    explicit JournalLeftovers(const QString &root);
    ~JournalLeftovers();
    JournalLeftovers(const JournalLeftovers &) = delete;
    JournalLeftovers &operator=(const JournalLeftovers &) = delete;

    // The entries that are whole, folder by folder; torn or foreign files are not among them.
    const std::vector<Entry> &entries() const { return m_entries; }
    // The entry is dealt with (restored or discarded): its file goes.
    void drop(const Entry &entry);
    // Removes each left folder none of whose entries is still wanted, with whatever broken
    // writes left in it, then lets the locks go.
    void finish();

private:
    struct Folder
    {
        QString path;
        std::unique_ptr<QLockFile> lock;
    };
    QString m_root;
    std::vector<Folder> m_folders;
    std::vector<Entry> m_entries;
};

// Writes and removes entry files one after the other on a worker thread, so the latest
// operation on a file is always the one that stands. A write still waiting is replaced by a
// newer write of the same file, so a slow disk never piles up copies of a large text.
class JournalWriter
{
public:
    explicit JournalWriter(QThreadPool *pool);
    // Waits for what is queued.
    ~JournalWriter();
    JournalWriter(const JournalWriter &) = delete;
    JournalWriter &operator=(const JournalWriter &) = delete;

    void write(const QString &file, JournalEntry entry);
    void remove(const QString &file);
    // Called on the worker when a write fails after one that did not (or the first time), with
    // why; the previous entry stays as it was.
    void setFailureHandler(std::function<void(const QString &why)> failed);
    // Until everything queued is done.
    void wait();

private:
    struct Op
    {
        QString file;
        std::optional<JournalEntry> entry; // none: remove the file
    };
    void enqueue(Op op);
    void drain();

    QThreadPool *m_pool;
    mutable std::mutex m_mutex;
    std::condition_variable m_idle;
    std::deque<Op> m_queue;
    bool m_running = false;
    std::function<void(const QString &)> m_failed; // set before the first write
    bool m_failing = false;                        // only on the worker
};
