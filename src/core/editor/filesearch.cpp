#include "core/editor/filesearch.h"

#include "core/common/textfile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A NUL byte this near the start makes a file binary, as grep and git judge it.
constexpr qsizetype kBinaryProbe = 8000;
// A hit's line is cut to this many characters, keeping some before the match.
constexpr qsizetype kExcerpt = 240;
constexpr qsizetype kExcerptLead = 60;
constexpr int kUnreadableListed = 20;
// A streamed file's line longer than this is searched in parts, so memory stays bounded.
constexpr qsizetype kLongestKeptLine = 16 << 20;

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

bool isWordAt(QStringView text, qsizetype at, qsizetype length)
{
    return (at == 0 || !isWordChar(text[at - 1]))
           && (at + length >= text.size() || !isWordChar(text[at + length]));
}

bool hasWildcard(QStringView mask)
{
    return mask.contains(u'*') || mask.contains(u'?') || mask.contains(u'[');
}

QString fromPath(const fs::path &p)
{
    return QString::fromStdString(p.u8string());
}

QString excerpt(QStringView line, qsizetype at)
{
    if (line.size() <= kExcerpt)
        return line.toString();
    qsizetype from = std::clamp<qsizetype>(at - kExcerptLead, 0, line.size() - kExcerpt);
    if (from > 0 && line[from].isLowSurrogate())
        ++from;
    qsizetype length = std::min(kExcerpt, line.size() - from);
    if (from + length < line.size() && line[from + length - 1].isHighSurrogate())
        --length;
    QString out = line.mid(from, length).toString();
    if (from > 0)
        out.prepend(u'\u2026');
    if (from + length < line.size())
        out.append(u'\u2026');
    return out;
}

// Line breaks as the editor reads them: "\r\n" and a lone "\r" each become "\n".
void unifyLineBreaks(QString &text)
{
    if (!text.contains(u'\r'))
        return;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
}

QString decodeWindows1252(const QByteArray &bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *d = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        d[i] = windows1252Char(uchar(bytes[i]));
    return out;
}

// Where a piece of a streamed file may end: after its last line break, never between the
// two bytes of "\r\n"; 0 when it holds none.
qsizetype lastBreakEnd(const QByteArray &bytes)
{
    const qsizetype lf = bytes.lastIndexOf('\n');
    const qsizetype cr = bytes.size() > 1 ? bytes.lastIndexOf('\r', bytes.size() - 2) : -1;
    return std::max(lf, cr) + 1;
}

// A cut through a line that has no break: not inside a UTF-8 sequence.
qsizetype characterStart(const QByteArray &bytes, qsizetype cut)
{
    for (int back = 0; back < 3 && cut > 0 && (uchar(bytes[cut]) & 0xC0) == 0x80; ++back)
        --cut;
    return cut;
}

class Walker
{
public:
    Walker(const FileSearch &search, const std::atomic_bool &stop, const FileSearch::Sink &sink,
           int intervalMs)
        : m_search(search)
        , m_options(search.options())
        , m_stop(stop)
        , m_sink(sink)
        , m_interval(intervalMs)
    {}

    FileSearchSummary run()
    {
        m_sinceFlush.start();
        walk(fs::u8path(m_options.folder.toStdString()));
        m_summary.stopped = stopped();
        m_summary.truncated = m_summary.progress.hits > m_listed;
        flush();
        return m_summary;
    }

private:
    bool stopped() const { return m_stop.load(std::memory_order_relaxed); }

    void walk(const fs::path &root)
    {
        std::vector<fs::path> pending{root};
        while (!pending.empty() && !stopped()) {
            const fs::path dir = std::move(pending.back());
            pending.pop_back();
            m_summary.progress.folder = fromPath(dir);
            std::vector<fs::path> files;
            std::vector<fs::path> folders;
            if (!list(dir, files, folders))
                unreadable(m_summary.progress.folder);
            std::sort(files.begin(), files.end());
            for (const fs::path &f : files) {
                if (stopped())
                    return;
                searchFile(fromPath(f));
                maybeFlush();
            }
            if (!m_options.subfolders)
                return;
            std::sort(folders.begin(), folders.end());
            pending.insert(pending.end(), std::make_move_iterator(folders.rbegin()),
                           std::make_move_iterator(folders.rend()));
            maybeFlush();
        }
    }

    // The wanted files and the subfolders of dir; false when it could not be read (whole).
    bool list(const fs::path &dir, std::vector<fs::path> &files, std::vector<fs::path> &folders)
    {
        std::error_code ec;
        fs::directory_iterator it(dir, ec);
        for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
            if (stopped())
                return true;
            const fs::directory_entry &e = *it;
            std::error_code ignored;
            // A linked folder is not entered: links may lead in circles or out of the tree.
            const bool link = e.is_symlink(ignored);
            if (e.is_directory(ignored)) {
                if (!link)
                    folders.push_back(e.path());
            } else if (e.is_regular_file(ignored)) { // never a pipe or a device
                if (m_search.fileWanted(QString::fromStdString(e.path().filename().u8string())))
                    files.push_back(e.path());
            }
        }
        return !ec;
    }

    void searchFile(const QString &path)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            unreadable(path);
            return;
        }
        ++m_summary.progress.files;
        m_fileMatched = false;
        m_path = path;
        const bool read = f.size() > m_options.streamAbove ? searchStreamed(f) : searchWhole(f);
        if (!read)
            unreadable(path);
    }

    bool isBinary(QFile &f)
    {
        const QByteArray head = f.peek(kBinaryProbe);
        if (!head.contains('\0'))
            return false;
        ++m_summary.binaryFiles;
        return true;
    }

    bool searchWhole(QFile &f)
    {
        if (isBinary(f))
            return true;
        const QByteArray bytes = f.readAll();
        if (f.error() != QFileDevice::NoError)
            return false;
        scan(decodeText(bytes), 1, true);
        return true;
    }

    // Hands fn the file from where it stands in pieces that end at line breaks.
    template<typename Fn>
    bool forEachPiece(QFile &f, Fn fn)
    {
        QByteArray carry;
        for (;;) {
            if (stopped())
                return true;
            QByteArray bytes = carry + f.read(m_options.streamPiece);
            if (f.error() != QFileDevice::NoError)
                return false;
            const bool last = f.atEnd();
            qsizetype cut = bytes.size();
            if (!last) {
                cut = lastBreakEnd(bytes);
                if (cut == 0) {
                    if (bytes.size() < kLongestKeptLine) {
                        carry = std::move(bytes);
                        continue;
                    }
                    cut = characterStart(bytes, bytes.size() - 1);
                }
            }
            carry = bytes.mid(cut);
            bytes.truncate(cut);
            if (!fn(bytes, last) || last)
                return true;
        }
    }

    // A file too large to hold: read twice in pieces, first to learn its encoding (the
    // editor reads it as UTF-8 only when all of it is valid), then to search it.
    bool searchStreamed(QFile &f)
    {
        if (isBinary(f))
            return true;
        const auto decoderFlags = QStringDecoder::Flag::Stateless
                                  | QStringDecoder::Flag::ConvertInitialBom;
        bool utf8 = true;
        const bool checked = forEachPiece(f, [&](const QByteArray &bytes, bool) {
            QStringDecoder decoder(QStringDecoder::Utf8, decoderFlags);
            const QString text = decoder.decode(bytes);
            utf8 = !decoder.hasError();
            return utf8;
        });
        if (!checked || !f.seek(0))
            return false;
        if (utf8 && f.peek(3) == "\xEF\xBB\xBF" && !f.seek(3))
            return false;
        qint64 line = 1;
        return forEachPiece(f, [&](const QByteArray &bytes, bool last) {
            QString text;
            if (utf8) {
                QStringDecoder decoder(QStringDecoder::Utf8, decoderFlags);
                text = decoder.decode(bytes);
            } else {
                text = decodeWindows1252(bytes);
            }
            unifyLineBreaks(text);
            scan(text, line, last);
            line += QStringView(text).count(u'\n');
            return true;
        });
    }

    // Reports each line of text that holds a match. text starts a line (numbered firstLine);
    // a match may start at its very end only when that is the end of a last line without a
    // break (as grep sees it, a break ends a line rather than starting an empty one).
    void scan(QStringView text, qint64 firstLine, bool endOfFile)
    {
        const bool openEnd = endOfFile && !text.isEmpty() && !text.endsWith(u'\n');
        const qsizetype limit = text.size() + (openEnd ? 1 : 0);
        qint64 line = firstLine;
        qsizetype lineStart = 0;
        qsizetype next = 0; // where the first line not reported yet starts
        auto report = [&](qsizetype at) {
            for (qsizetype nl; (nl = text.indexOf(u'\n', lineStart)) >= 0 && nl < at;) {
                ++line;
                lineStart = nl + 1;
            }
            qsizetype lineEnd = text.indexOf(u'\n', at);
            if (lineEnd < 0)
                lineEnd = text.size();
            hit(line, at - lineStart, text.mid(lineStart, lineEnd - lineStart));
            next = lineEnd + 1;
        };
        if (m_options.regularExpression) {
            QRegularExpressionMatchIterator it = m_search.regex().globalMatch(text);
            while (it.hasNext() && !stopped()) {
                const qsizetype at = it.next().capturedStart();
                if (at >= limit)
                    break;
                if (at >= next)
                    report(at);
            }
            return;
        }
        const QStringMatcher &matcher = m_search.matcher();
        const qsizetype length = matcher.pattern().size();
        for (qsizetype from = 0; from < limit && !stopped();) {
            const qsizetype at = matcher.indexIn(text, from);
            if (at < 0)
                return;
            if (!m_options.wholeWords || isWordAt(text, at, length)) {
                report(at);
                from = next;
            } else {
                from = at + 1;
            }
        }
    }

    void hit(qint64 line, qsizetype column, QStringView lineText)
    {
        ++m_summary.progress.hits;
        if (!m_fileMatched) {
            m_fileMatched = true;
            ++m_summary.progress.matchedFiles;
        }
        if (m_listed < m_options.listLimit) {
            ++m_listed;
            m_batch.hits.append({m_path, int(line), int(column + 1), excerpt(lineText, column)});
        }
        maybeFlush();
    }

    void unreadable(const QString &path)
    {
        if (m_summary.unreadableCount++ < kUnreadableListed)
            m_summary.unreadable << path;
    }

    void maybeFlush()
    {
        const bool first = !m_delivered && !m_batch.hits.isEmpty();
        if (first || m_sinceFlush.hasExpired(m_interval))
            flush();
    }

    void flush()
    {
        m_delivered = m_delivered || !m_batch.hits.isEmpty();
        m_batch.progress = m_summary.progress;
        m_sink(std::move(m_batch));
        m_batch = {};
        m_sinceFlush.restart();
    }

    const FileSearch &m_search;
    const FileSearchOptions &m_options;
    const std::atomic_bool &m_stop;
    const FileSearch::Sink &m_sink;
    const int m_interval;
    FileSearchSummary m_summary;
    FileSearchBatch m_batch;
    QElapsedTimer m_sinceFlush;
    qsizetype m_listed = 0;
    bool m_delivered = false;
    bool m_fileMatched = false;
    QString m_path;
};

} // namespace

QStringList parseFileMasks(const QString &masks)
{
    static const QRegularExpression separators(QStringLiteral("[;,\\s]+"));
    QStringList out = masks.split(separators, Qt::SkipEmptyParts);
    if (out.isEmpty())
        out << QStringLiteral("*");
    return out;
}

FileSearch::FileSearch(FileSearchOptions options)
    : m_options(std::move(options))
{
    for (const QString &mask : parseFileMasks(m_options.masks)) {
        // "*.*" means every file, as it always has on Windows.
        if (mask == QLatin1String("*") || mask == QLatin1String("*.*")) {
            m_everyFile = true;
        } else if (mask.startsWith(u'*') && !hasWildcard(QStringView(mask).mid(1))) {
            m_suffixes << mask.mid(1);
        } else {
            m_masks << QRegularExpression(QRegularExpression::wildcardToRegularExpression(mask),
                                          QRegularExpression::CaseInsensitiveOption);
        }
    }

    if (m_options.text.isEmpty()) {
        m_problem = QStringLiteral("Please enter the text to find.");
    } else if (m_options.regularExpression) {
        QString pattern = m_options.text;
        // The same words as a plain search takes: not next to a letter, digit or "_".
        if (m_options.wholeWords)
            pattern = QStringLiteral("(?<![\\p{L}\\p{N}_])(?:%1)(?![\\p{L}\\p{N}_])").arg(pattern);
        QRegularExpression::PatternOptions o = QRegularExpression::MultilineOption;
        if (!m_options.caseSensitive)
            o |= QRegularExpression::CaseInsensitiveOption;
        m_regex = QRegularExpression(pattern, o);
        QRegularExpression plain(m_options.text); // its error offsets fit what the user typed
        if (!plain.isValid())
            m_problem = QStringLiteral("Doh! \"%1\" is not a valid regular expression: %2 at "
                                       "character %3. Please correct it.")
                                .arg(m_options.text, plain.errorString())
                                .arg(plain.patternErrorOffset() + 1);
    } else {
        m_matcher = QStringMatcher(m_options.text, m_options.caseSensitive ? Qt::CaseSensitive
                                                                           : Qt::CaseInsensitive);
    }
    if (m_problem.isEmpty() && !QFileInfo(m_options.folder).isDir())
        m_problem = QStringLiteral("Doh! There is no folder \"%1\". Please choose another one.")
                            .arg(m_options.folder);
}

QString FileSearch::problem() const
{
    return m_problem;
}

bool FileSearch::fileWanted(const QString &name) const
{
    if (m_everyFile)
        return true;
    for (const QString &suffix : m_suffixes) {
        if (name.endsWith(suffix, Qt::CaseInsensitive))
            return true;
    }
    for (const QRegularExpression &mask : m_masks) {
        if (mask.match(name).hasMatch())
            return true;
    }
    return false;
}

FileSearchSummary FileSearch::run(const std::atomic_bool &stop, const Sink &sink, int intervalMs)
{
    if (!m_problem.isEmpty())
        return {};
    return Walker(*this, stop, sink, intervalMs).run();
}
