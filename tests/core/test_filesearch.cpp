#include "core/editor/filesearch.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/fsuid.h>
#include <unistd.h>

namespace {

struct Tree
{
    QTemporaryDir dir;

    QString path(const QString &relative = {}) const
    {
        return relative.isEmpty() ? dir.path() : dir.filePath(relative);
    }
    void write(const QString &relative, const QByteArray &bytes) const
    {
        QDir().mkpath(QFileInfo(path(relative)).absolutePath());
        QFile f(path(relative));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
};

using Lines = std::vector<std::string>;

struct Result
{
    QList<FileSearchHit> hits;
    QList<FileSearchBatch> batches;
    FileSearchSummary summary;

    // "relative/path:line:column: text" for each hit.
    Lines lines(const QString &root) const
    {
        Lines out;
        for (const FileSearchHit &h : hits)
            out.push_back(QStringLiteral("%1:%2:%3: %4")
                                  .arg(QDir(root).relativeFilePath(h.path))
                                  .arg(h.line)
                                  .arg(h.column)
                                  .arg(h.text)
                                  .toStdString());
        return out;
    }
};

Result search(FileSearchOptions o, int intervalMs = 50,
              const std::function<bool(const FileSearchBatch &)> &stopAfter = {})
{
    Result r;
    std::atomic_bool stop{false};
    FileSearch s(o);
    EXPECT_EQ(s.problem(), QString());
    r.summary = s.run(
            stop,
            [&](FileSearchBatch &&b) {
                r.hits += b.hits;
                r.batches << b;
                if (stopAfter && stopAfter(b))
                    stop = true;
            },
            intervalMs);
    return r;
}

FileSearchOptions options(const Tree &t, const QString &text, const QString &masks = "*")
{
    FileSearchOptions o;
    o.folder = t.path();
    o.text = text;
    o.masks = masks;
    return o;
}

TEST(FileSearch, MasksChooseTheFiles)
{
    EXPECT_EQ(parseFileMasks(" *.pl;*.pm , *.t  *.cgi;"),
              QStringList({"*.pl", "*.pm", "*.t", "*.cgi"}));
    EXPECT_EQ(parseFileMasks("  "), QStringList{"*"});

    Tree t;
    for (const char *name : {"a.pl", "b.PM", "c.txt", "d.t", "e.cgi", "pl", "x.pl.bak", "t1.pl"})
        t.write(name, "hit\n");
    auto found = [&](const QString &masks) {
        Lines names;
        for (const FileSearchHit &h : search(options(t, "hit", masks)).hits)
            names.push_back(QFileInfo(h.path).fileName().toStdString());
        return names;
    };
    EXPECT_EQ(found("*.pl;*.pm;*.t;*.cgi"), Lines({"a.pl", "b.PM", "d.t", "e.cgi", "t1.pl"}));
    EXPECT_EQ(found("t?.pl, *.txt"), Lines({"c.txt", "t1.pl"}));
    EXPECT_EQ(found("*.*").size(), 8); // every file, as on Windows
}

TEST(FileSearch, SubfoldersInOrderAndOnlyWhenAsked)
{
    Tree t;
    t.write("b.pl", "x\n");
    t.write("a/z.pl", "x\n");
    t.write("a/deeper/y.pl", "x\n");
    t.write("c/w.pl", "x\n");
    FileSearchOptions o = options(t, "x");
    EXPECT_EQ(search(o).lines(t.path()),
              Lines({"b.pl:1:1: x", "a/z.pl:1:1: x", "a/deeper/y.pl:1:1: x", "c/w.pl:1:1: x"}));
    o.subfolders = false;
    const Result top = search(o);
    EXPECT_EQ(top.lines(t.path()), Lines{"b.pl:1:1: x"});
    EXPECT_EQ(top.summary.progress.files, 1);
}

TEST(FileSearch, LinesColumnsAndEncodingsAsTheEditorReadsThem)
{
    Tree t;
    t.write("lf.pl", "one\nsub a {}\n\nmy $x; sub b { sub c }\n");
    t.write("crlf.pl", "one\r\nsub a {}\r\n\r\nmy $x; sub b\r\n");
    t.write("cr.pl", "one\rsub a {}\r\rmy $x; sub b\r");
    t.write("cp1252.pl", "# caf\xe9\n\xe9t\xe9 sub\n");
    t.write("utf8.pl", "\xef\xbb\xbf# caf\xc3\xa9\n\xc3\xa9t\xc3\xa9 sub\n");
    const Result r = search(options(t, "sub"));
    // One hit per line however often it holds the text.
    EXPECT_EQ(r.lines(t.path()),
              Lines({"cp1252.pl:2:5: \u00e9t\u00e9 sub", "cr.pl:2:1: sub a {}",
                     "cr.pl:4:8: my $x; sub b", "crlf.pl:2:1: sub a {}",
                     "crlf.pl:4:8: my $x; sub b", "lf.pl:2:1: sub a {}",
                     "lf.pl:4:8: my $x; sub b { sub c }", "utf8.pl:2:5: \u00e9t\u00e9 sub"}));
    EXPECT_EQ(r.summary.progress.hits, 8);
    EXPECT_EQ(r.summary.progress.matchedFiles, 5);
    EXPECT_EQ(search(options(t, "caf\u00e9")).hits.size(), 2);
}

TEST(FileSearch, CaseWholeWordsAndRegularExpressions)
{
    Tree t;
    t.write("a.pl", "Print $x;\nprint_all();\nreprint;\n$print = 1;\nprinted\n");
    auto lines = [&](const QString &text, bool regex, bool cs, bool word) {
        FileSearchOptions o = options(t, text);
        o.regularExpression = regex;
        o.caseSensitive = cs;
        o.wholeWords = word;
        QList<int> out;
        for (const FileSearchHit &h : search(o).hits)
            out << h.line;
        return out;
    };
    EXPECT_EQ(lines("print", false, false, false), QList<int>({1, 2, 3, 4, 5}));
    EXPECT_EQ(lines("print", false, true, false), QList<int>({2, 3, 4, 5}));
    EXPECT_EQ(lines("print", false, false, true), QList<int>({1, 4}));
    EXPECT_EQ(lines("$print", false, false, true), QList<int>({4}));
    EXPECT_EQ(lines("^print", true, false, false), QList<int>({1, 2, 5}));
    EXPECT_EQ(lines("print(ed)?;?$", true, true, false), QList<int>({3, 5}));
    EXPECT_EQ(lines("p.int", true, false, true), QList<int>({1, 4}));
    EXPECT_EQ(lines("[a-z]+;$", true, true, false), QList<int>({1, 3}));
    // The last line break ends the last line; no empty line follows it.
    EXPECT_EQ(lines("$", true, false, false), QList<int>({1, 2, 3, 4, 5}));

    FileSearchOptions o = options(t, "(unclosed");
    o.regularExpression = true;
    EXPECT_TRUE(FileSearch(o).problem().startsWith("Doh! \"(unclosed\" is not a valid regular"));
    o.folder = t.path("missing");
    o.regularExpression = false;
    EXPECT_TRUE(FileSearch(o).problem().contains("no folder"));
}

TEST(FileSearch, BinaryFilesAndLinkedFoldersAreNotSearched)
{
    Tree t;
    t.write("text.pl", "needle\n");
    t.write("blob.pl", QByteArray("needle\0\x01\x02", 9));
    t.write("sub/x.pl", "needle\n");
    // A link back up would lead in a circle; another into the tree would list files twice.
    ASSERT_TRUE(QFile::link(t.path(), t.path("sub/loop")));
    ASSERT_TRUE(QFile::link(t.path("sub"), t.path("again")));
    ASSERT_TRUE(QFile::link(t.path("text.pl"), t.path("linked.pl")));
    const Result r = search(options(t, "needle"));
    EXPECT_EQ(r.lines(t.path()),
              Lines({"linked.pl:1:1: needle", "text.pl:1:1: needle", "sub/x.pl:1:1: needle"}));
    EXPECT_EQ(r.summary.binaryFiles, 1);
}

// Root reads every folder; with another file-system user this thread is refused like anyone.
struct AsAnotherUser
{
    AsAnotherUser()
    {
        if (::geteuid() == 0) {
            ::setfsgid(65534);
            ::setfsuid(65534);
        }
    }
    ~AsAnotherUser()
    {
        if (::geteuid() == 0) {
            ::setfsuid(0);
            ::setfsgid(0);
        }
    }
};

TEST(FileSearch, UnreadableFoldersAndFilesAreCountedAndPassed)
{
    Tree t;
    QFile::setPermissions(t.path(),
                          QFile::permissions(t.path()) | QFile::ReadOther | QFile::ExeOther);
    t.write("a.pl", "x\n");
    t.write("closed/b.pl", "x\n");
    t.write("secret.pl", "x\n");
    t.write("z/c.pl", "x\n");
    QFile::setPermissions(t.path("closed"), {});
    QFile::setPermissions(t.path("secret.pl"), {});
    Result r;
    {
        AsAnotherUser user;
        if (QFile(t.path("secret.pl")).open(QIODevice::ReadOnly))
            GTEST_SKIP() << "this user reads files without permission";
        r = search(options(t, "x"));
    }
    QFile::setPermissions(t.path("closed"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(r.lines(t.path()), Lines({"a.pl:1:1: x", "z/c.pl:1:1: x"}));
    EXPECT_EQ(r.summary.unreadableCount, 2);
    EXPECT_EQ(r.summary.unreadable.join('|'), t.path("secret.pl") + '|' + t.path("closed"));
}

TEST(FileSearch, StopEndsTheWalkEarly)
{
    Tree t;
    for (int i = 0; i < 200; ++i)
        t.write(QStringLiteral("d%1/f.pl").arg(i, 3, 10, QLatin1Char('0')), "x\n");
    const Result r = search(options(t, "x"), 50,
                            [](const FileSearchBatch &b) { return !b.hits.isEmpty(); });
    EXPECT_TRUE(r.summary.stopped);
    EXPECT_LT(r.summary.progress.files, 200);
    EXPECT_EQ(search(options(t, "x")).summary.stopped, false);
}

TEST(FileSearch, FirstHitAtOnceThenBatchesAndAListLimit)
{
    Tree t;
    QByteArray many;
    for (int i = 0; i < 50; ++i)
        many += "x\n";
    t.write("a.pl", many);
    t.write("b.pl", many);
    FileSearchOptions o = options(t, "x");
    o.listLimit = 60;
    // With a long interval: the first hit alone, then the rest at the end.
    const Result r = search(o, 1000000);
    ASSERT_EQ(r.batches.size(), 2);
    EXPECT_EQ(r.batches[0].hits.size(), 1);
    EXPECT_EQ(r.hits.size(), 60);
    EXPECT_EQ(r.hits.last().line, 10);
    EXPECT_EQ(r.summary.progress.hits, 100);
    EXPECT_TRUE(r.summary.truncated);
}

TEST(FileSearch, LargeFilesReadInPiecesFindWhatAWholeReadFinds)
{
    Tree t;
    QByteArray mixed;
    for (int i = 0; i < 400; ++i)
        mixed += QByteArray(i % 7, ' ') + (i % 3 ? "sub x" : "nothing") + (i % 5 ? "\r\n" : "\r");
    mixed += QByteArray(300, 'y') + "sub in a long line" + QByteArray(300, 'y') + "\n";
    t.write("utf8.pl", "\xef\xbb\xbf" + mixed + "caf\xc3\xa9 sub\n");
    // One byte that is no UTF-8 near the end makes the whole file Windows-1252.
    t.write("cp1252.pl", "caf\xc3\xa9 sub\n" + mixed + "caf\xe9 sub");
    FileSearchOptions o = options(t, "sub");
    const Result whole = search(o);
    o.streamAbove = 0;
    o.streamPiece = 64;
    const Result pieces = search(o);
    EXPECT_EQ(pieces.lines(t.path()), whole.lines(t.path()));
    // 267 lines of mixed, and one (utf8) or two (cp1252) more.
    EXPECT_EQ(whole.summary.progress.hits, 537);
    const Lines found = whole.lines(t.path());
    EXPECT_EQ(found.front(), "cp1252.pl:1:7: caf\u00c3\u00a9 sub");
    EXPECT_EQ(found.back(), "utf8.pl:402:6: caf\u00e9 sub");
}

} // namespace
