#include "core/journal/journal.h"

#include "core/common/errors.h"
#include "core/common/textfile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QStringDecoder>
#include <QThreadPool>
#include <QUrl>
#include <QUuid>

#include <algorithm>

namespace {

const QByteArray kMagic = QByteArrayLiteral("Quillforge journal 1");
const QString kEntrySuffix = QStringLiteral(".journal");
const QString kLockSuffix = QStringLiteral(".lock");

QByteArray checksum(const QByteArray &kind, const QByteArray &script, const QByteArray &body)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(kind);
    hash.addData(QByteArrayView("\n", 1));
    hash.addData(script);
    hash.addData(QByteArrayView("\n", 1));
    hash.addData(body);
    return hash.result().toHex();
}

// "name: value" as the next line from at; moves at past it.
std::optional<QByteArray> field(const QByteArray &bytes, qsizetype &at, const char *name)
{
    const qsizetype end = bytes.indexOf('\n', at);
    if (end < 0)
        return std::nullopt;
    const QByteArray line = bytes.mid(at, end - at);
    const QByteArray prefix = QByteArray(name) + ": ";
    if (!line.startsWith(prefix))
        return std::nullopt;
    at = end + 1;
    return line.mid(prefix.size());
}

std::unique_ptr<QLockFile> lockFor(const QString &folder)
{
    auto lock = std::make_unique<QLockFile>(folder + kLockSuffix);
    // Held as long as the program runs: only a lock whose owner is gone counts as stale.
    lock->setStaleLockTime(0);
    return lock;
}

} // namespace

QByteArray encodeJournalEntry(const JournalEntry &entry)
{
    const QByteArray kind = entry.isFile ? QByteArrayLiteral("file") : QByteArrayLiteral("new");
    // Percent-encoded: a file name may hold a line break.
    const QByteArray script = QUrl::toPercentEncoding(entry.script);
    const QByteArray body = entry.text.toUtf8();
    QByteArray out;
    out.reserve(body.size() + script.size() + 128);
    out += kMagic + '\n';
    out += "kind: " + kind + '\n';
    out += "script: " + script + '\n';
    out += "length: " + QByteArray::number(body.size()) + '\n';
    out += "sha1: " + checksum(kind, script, body) + '\n';
    out += '\n';
    out += body;
    return out;
}

std::optional<JournalEntry> decodeJournalEntry(const QByteArray &bytes)
{
    if (!bytes.startsWith(kMagic + '\n'))
        return std::nullopt;
    qsizetype at = kMagic.size() + 1;
    const auto kind = field(bytes, at, "kind");
    const auto script = field(bytes, at, "script");
    const auto length = field(bytes, at, "length");
    const auto sum = field(bytes, at, "sha1");
    if (!kind || !script || !length || !sum || (*kind != "file" && *kind != "new"))
        return std::nullopt;
    if (at >= bytes.size() || bytes[at] != '\n')
        return std::nullopt;
    ++at;
    bool ok = false;
    const qlonglong size = length->toLongLong(&ok);
    if (!ok || size < 0 || size != bytes.size() - at)
        return std::nullopt;
    const QByteArray body = bytes.mid(at);
    if (checksum(*kind, *script, body) != *sum)
        return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    JournalEntry entry;
    entry.text = utf8.decode(body);
    if (utf8.hasError())
        return std::nullopt;
    entry.isFile = *kind == "file";
    entry.script = QUrl::fromPercentEncoding(*script);
    if (entry.script.isEmpty())
        return std::nullopt;
    return entry;
}

JournalSession::JournalSession(const QString &root)
    : m_root(root)
{
    if (!QDir().mkpath(root))
        return;
    const QString folder = QDir(root).filePath(QUuid::createUuid().toString(QUuid::WithoutBraces));
    // The lock comes first: a folder whose lock is free belongs to nobody.
    m_lock = lockFor(folder);
    if (!m_lock->tryLock(0) || !QDir().mkpath(folder)) {
        m_lock.reset();
        return;
    }
    m_folder = folder;
}

JournalSession::~JournalSession() = default;

QString JournalSession::entryFile(int id) const
{
    return QDir(m_folder).filePath(QString::number(id) + kEntrySuffix);
}

void JournalSession::close()
{
    if (!isOpen())
        return;
    QDir(m_folder).removeRecursively();
    m_folder.clear();
    m_lock.reset();       // unlocks and removes the lock file
    QDir().rmdir(m_root); // only when no other program's journal is in it
}

JournalLeftovers::JournalLeftovers(const QString &root)
    : m_root(root)
{
    const QDir dir(root);
    const QStringList folders = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &name : folders) {
        const QString path = dir.filePath(name);
        auto lock = lockFor(path);
        if (!lock->tryLock(0))
            continue; // a running program's, or one being taken by another
        const QDir folder(path);
        const QStringList files = folder.entryList({u'*' + kEntrySuffix}, QDir::Files, QDir::Name);
        for (const QString &file : files) {
            const QString filePath = folder.filePath(file);
            QFile f(filePath);
            if (!f.open(QIODevice::ReadOnly))
                continue;
            if (auto entry = decodeJournalEntry(f.readAll()))
                m_entries.push_back({filePath, std::move(*entry)});
        }
        m_folders.push_back({path, std::move(lock)});
    }
}

JournalLeftovers::~JournalLeftovers() = default;

void JournalLeftovers::drop(const Entry &entry)
{
    QFile::remove(entry.file);
    const QString file = entry.file; // entry may be one of m_entries
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                   [&](const Entry &e) { return e.file == file; }),
                    m_entries.end());
}

void JournalLeftovers::finish()
{
    for (Folder &folder : m_folders) {
        const bool wanted = std::any_of(m_entries.begin(), m_entries.end(), [&](const Entry &e) {
            return e.file.startsWith(folder.path + u'/');
        });
        if (!wanted)
            QDir(folder.path).removeRecursively();
        folder.lock.reset();
    }
    m_folders.clear();
}

JournalWriter::JournalWriter(QThreadPool *pool)
    : m_pool(pool)
{}

JournalWriter::~JournalWriter()
{
    wait();
}

void JournalWriter::write(const QString &file, JournalEntry entry)
{
    enqueue({file, std::move(entry)});
}

void JournalWriter::remove(const QString &file)
{
    enqueue({file, std::nullopt});
}

void JournalWriter::setFailureHandler(std::function<void(const QString &why)> failed)
{
    m_failed = std::move(failed);
}

void JournalWriter::enqueue(Op op)
{
    std::unique_lock lock(m_mutex);
    // A waiting operation on the same file is outdated by this one; the order of the others
    // stays as it was.
    m_queue.erase(std::remove_if(m_queue.begin(), m_queue.end(),
                                 [&](const Op &o) { return o.file == op.file; }),
                  m_queue.end());
    m_queue.push_back(std::move(op));
    if (m_running)
        return;
    m_running = true;
    lock.unlock();
    m_pool->start([this] { drain(); });
}

void JournalWriter::drain()
{
    for (;;) {
        Op op;
        {
            std::lock_guard lock(m_mutex);
            if (m_queue.empty()) {
                m_running = false;
                m_idle.notify_all();
                return;
            }
            op = std::move(m_queue.front());
            m_queue.pop_front();
        }
        if (op.entry) {
            // The text may be shared with the editor's copy: let go of it before the disk is
            // waited for, so an edit then does not have to copy it all.
            const QByteArray bytes = encodeJournalEntry(*op.entry);
            op.entry.reset();
            try {
                writeFileAtomically(op.file, bytes);
                m_failing = false;
            } catch (const IoError &e) {
                // A full disk: the previous entry, whole, stays until a later write succeeds.
                if (!std::exchange(m_failing, true) && m_failed)
                    m_failed(e.message());
            }
        } else {
            QFile::remove(op.file);
        }
    }
}

void JournalWriter::wait()
{
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return !m_running; });
}
