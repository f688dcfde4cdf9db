#include "core/run/accesslog.h"
#include "core/run/logtail.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void append(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write(bytes);
}

} // namespace

TEST(LogTail, ReadsOnlyWhatWasAppended)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/cgi-error.log";
    LogTail tail(path);
    tail.skipToEnd(); // not there yet
    EXPECT_TRUE(tail.readAppended(100).bytes.isEmpty());
    append(path, "first\n");
    EXPECT_EQ(tail.readAppended(100).bytes, "first\n");
    EXPECT_TRUE(tail.readAppended(100).bytes.isEmpty());
    append(path, "second, half");
    append(path, " done\n");
    EXPECT_EQ(tail.readAppended(100).bytes, "second, half done\n");

    // Started again from the end: the old lines stay unread.
    LogTail later(path);
    later.skipToEnd();
    append(path, "third\n");
    EXPECT_EQ(later.readAppended(100).bytes, "third\n");

    // A file written anew is read from its start.
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("new\n");
    f.close();
    const LogTail::Piece piece = later.readAppended(100);
    EXPECT_EQ(piece.bytes, "new\n");
    EXPECT_EQ(piece.skipped, 0);
}

TEST(LogTail, AFloodIsCutToItsNewestWholeLines)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/cgi-error.log";
    append(path, "before\n");
    LogTail tail(path);
    tail.skipToEnd();
    QByteArray flood;
    for (int i = 0; i < 1000; ++i)
        flood += "line " + QByteArray::number(i) + '\n';
    append(path, flood);
    const LogTail::Piece piece = tail.readAppended(100);
    EXPECT_LE(piece.bytes.size(), 100);
    EXPECT_TRUE(piece.bytes.endsWith("line 999\n")) << piece.bytes.constData();
    EXPECT_TRUE(piece.bytes.startsWith("line ")) << piece.bytes.constData();
    EXPECT_EQ(piece.skipped + piece.bytes.size(), flood.size());
    EXPECT_TRUE(tail.readAppended(100).bytes.isEmpty());
}

TEST(AccessLog, ALineShowsTheRequestItsStatusAndHeaders)
{
    // As lighttpd writes it with lighttpdFormat(): tab-separated, "-" for what is absent.
    const QString line = "14:08:04\tPOST /cgi-bin/form.pl?x=1 HTTP/1.1\t302\t0\ttext/html\t"
                         "/done.html\t-\tapplication/x-www-form-urlencoded\t-\t"
                         "http://127.0.0.1:8080/form.html\n";
    const std::optional<AccessLog::Entry> e = AccessLog::parse(line);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->request, "POST /cgi-bin/form.pl?x=1 HTTP/1.1");
    EXPECT_EQ(e->status, 302);
    EXPECT_TRUE(e->setCookie.isEmpty());
    EXPECT_EQ(AccessLog::describe(*e),
              "14:08:04  POST /cgi-bin/form.pl?x=1 HTTP/1.1  ->  302 Found\n"
              "    request Content-Type: application/x-www-form-urlencoded\n"
              "    request Referer: http://127.0.0.1:8080/form.html\n"
              "    answer Content-Type: text/html\n"
              "    answer Location: /done.html");

    const auto failed = AccessLog::parse("14:08:05\tGET /cgi-bin/die.pl HTTP/1.1\t500\t365\t"
                                         "text/html\t-\t-\t-\t-\t-");
    ASSERT_TRUE(failed);
    EXPECT_EQ(AccessLog::describe(*failed),
              "14:08:05  GET /cgi-bin/die.pl HTTP/1.1  ->  500 Internal Server Error, 365 "
              "bytes\n    answer Content-Type: text/html");
    EXPECT_EQ(AccessLog::statusText(299), "299");

    for (const QString &other :
         {QString("127.0.0.1 - - [08/Dec/2026] \"GET / HTTP/1.1\" 200 5"),
          QString("a\tb\tnot a status\t1\t-\t-\t-\t-\t-\t-"), QString("a\tb\t200\t1")})
        EXPECT_FALSE(AccessLog::parse(other)) << other.toStdString();
}
