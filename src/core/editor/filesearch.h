#pragma once

#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QStringMatcher>

#include <atomic>
#include <functional>

// Find in files: walks a folder and reports the lines that hold a text or a regular expression,
// decoding each file as the editor would read it (UTF-8 when valid, otherwise Windows-1252).
// Runs in the calling thread; a worker calls it and watches the batches it hands out.

struct FileSearchOptions
{
    QString folder;
    // File name patterns separated by ";", "," or spaces; none means every file.
    QString masks = QStringLiteral("*.pl;*.pm;*.t;*.cgi");
    QString text;
    bool regularExpression = false;
    bool caseSensitive = false;
    bool wholeWords = false;
    bool subfolders = true;
    // Hits handed out with their line; later ones are only counted.
    qsizetype listLimit = 10000;
    // Files larger than this are read in pieces of streamPiece bytes, never whole.
    qint64 streamAbove = 8 << 20;
    qint64 streamPiece = 1 << 20;
};

struct FileSearchHit
{
    QString path;   // absolute
    int line = 0;   // from 1, as the editor counts lines
    int column = 0; // from 1
    QString text;   // the line, or the part of a long one around the match
};

struct FileSearchProgress
{
    qint64 files = 0; // searched so far
    qint64 matchedFiles = 0;
    qint64 hits = 0; // listed or not
    QString folder;  // the one being searched
};

struct FileSearchBatch
{
    QList<FileSearchHit> hits;
    FileSearchProgress progress;
};

struct FileSearchSummary
{
    FileSearchProgress progress;
    qint64 binaryFiles = 0;
    // Folders and files that could not be read: how many, and the first few of them.
    qint64 unreadableCount = 0;
    QStringList unreadable;
    bool stopped = false;
    bool truncated = false; // more hits than listLimit
};

// The patterns of a mask text, "*" when it has none.
QStringList parseFileMasks(const QString &masks);

class FileSearch
{
public:
    using Sink = std::function<void(FileSearchBatch &&)>;

    explicit FileSearch(FileSearchOptions options);

    // Why the search cannot run (no text, a broken pattern, no such folder), or empty.
    QString problem() const;

    // Searches until done or until stop turns true. sink gets the hits in batches: the first
    // hit at once, then at most one batch per interval (and one at the end), so that a
    // receiver on another thread is never flooded.
    FileSearchSummary run(const std::atomic_bool &stop, const Sink &sink, int intervalMs = 50);

    bool fileWanted(const QString &name) const;
    const FileSearchOptions &options() const { return m_options; }
    // The search text as a regular expression (with whole words in it); invalid for a plain
    // text, which the matcher finds.
    const QRegularExpression &regex() const { return m_regex; }
    const QStringMatcher &matcher() const { return m_matcher; }

private:
    FileSearchOptions m_options;
    bool m_everyFile = false;
    QStringList m_suffixes;            // masks that are "*" and a plain ending
    QList<QRegularExpression> m_masks; // the others
    QRegularExpression m_regex;
    QStringMatcher m_matcher;
    QString m_problem;
};
