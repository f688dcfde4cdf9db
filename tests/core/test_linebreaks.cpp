#include "core/common/errors.h"
#include "core/tools/linebreaks.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray convert(const QByteArray &in, LineBreakDirection d, qint64 *changed = nullptr,
                   int pieceSize = 0)
{
    LineBreakConverter c(d);
    QByteArray out;
    if (pieceSize <= 0) {
        out = c.feed(in);
    } else {
        for (int i = 0; i < in.size(); i += pieceSize)
            out += c.feed(in.mid(i, pieceSize));
    }
    out += c.finish();
    if (changed)
        *changed = c.breaksChanged();
    return out;
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

constexpr auto W2U = LineBreakDirection::WindowsToUnix;
constexpr auto U2W = LineBreakDirection::UnixToWindows;

} // namespace

TEST(LineBreaks, WindowsToUnixDropsOnlyTheCrOfPairs)
{
    qint64 changed = 0;
    EXPECT_EQ(convert("a\r\nb\r\n", W2U, &changed), "a\nb\n");
    EXPECT_EQ(changed, 2);
    // Lone CRs, lone LFs and a last line without a break stay.
    EXPECT_EQ(convert("a\rb\nc\r\r\nd", W2U, &changed), "a\rb\nc\r\nd");
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(convert("end\r", W2U), "end\r");
    EXPECT_EQ(convert("", W2U, &changed), "");
    EXPECT_EQ(changed, 0);
}

TEST(LineBreaks, UnixToWindowsAddsCrOnlyToLoneLf)
{
    qint64 changed = 0;
    EXPECT_EQ(convert("a\nb\n", U2W, &changed), "a\r\nb\r\n");
    EXPECT_EQ(changed, 2);
    EXPECT_EQ(convert("a\r\nb\rc\n\nd", U2W, &changed), "a\r\nb\rc\r\n\r\nd");
    EXPECT_EQ(changed, 2);
    EXPECT_EQ(convert("\r", U2W), "\r");
}

TEST(LineBreaks, PairSplitBetweenPiecesCountsOnce)
{
    const QByteArray text = "one\r\ntwo\r\nthree\rfour\n";
    for (int piece = 1; piece <= 6; ++piece) {
        qint64 changed = 0;
        EXPECT_EQ(convert(text, W2U, &changed, piece), "one\ntwo\nthree\rfour\n") << piece;
        EXPECT_EQ(changed, 2) << piece;
        EXPECT_EQ(convert(text, U2W, &changed, piece), "one\r\ntwo\r\nthree\rfour\r\n") << piece;
        EXPECT_EQ(changed, 1) << piece;
    }
}

TEST(LineBreakFiles, ConvertsIntoOtherFileOrInPlace)
{
    QTemporaryDir dir;
    const QString src = dir.filePath("a.pl");
    const QString dest = dir.filePath("b.pl");
    writeBytes(src, "print 1;\r\nprint 2;\r\n");

    std::vector<std::pair<qint64, qint64>> steps;
    ConversionResult r = convertLineBreaks(src, dest, W2U, [&](qint64 done, qint64 total) {
        steps.emplace_back(done, total);
    });
    EXPECT_EQ(readBytes(dest), "print 1;\nprint 2;\n");
    EXPECT_EQ(readBytes(src), "print 1;\r\nprint 2;\r\n");
    EXPECT_EQ(r.breaksChanged, 2);
    EXPECT_EQ(r.bytesRead, 20);
    EXPECT_EQ(r.bytesWritten, 18);
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps.back(), std::make_pair(qint64(20), qint64(20)));
    EXPECT_EQ(conversionProgressText(1024, 4048), "Converting...(1024 from 4048 bytes)");
    EXPECT_TRUE(conversionDoneText(r, W2U).contains("2 line break"));

    r = convertLineBreaks(src, src, W2U);
    EXPECT_EQ(readBytes(src), "print 1;\nprint 2;\n");
    r = convertLineBreaks(src, src, U2W);
    EXPECT_EQ(readBytes(src), "print 1;\r\nprint 2;\r\n");
    EXPECT_EQ(r.breaksChanged, 2);

    // An empty file stays empty.
    writeBytes(src, "");
    r = convertLineBreaks(src, dest, U2W);
    EXPECT_EQ(readBytes(dest), "");
    EXPECT_EQ(r.breaksChanged, 0);
}

TEST(LineBreakFiles, ErrorsLeaveTheDestinationAlone)
{
    QTemporaryDir dir;
    const QString src = dir.filePath("a.pl");
    const QString dest = dir.filePath("b.pl");
    writeBytes(dest, "old\r\n");

    auto messageOf = [](const std::function<void()> &f) {
        try {
            f();
        } catch (const IoError &e) {
            return e.message();
        }
        return QStringLiteral("<no error>");
    };
    // Missing source, a folder as source, empty paths.
    EXPECT_TRUE(messageOf([&] { convertLineBreaks(src, dest, W2U); }).startsWith("Oops!"));
    EXPECT_TRUE(messageOf([&] { convertLineBreaks(dir.path(), dest, W2U); }).startsWith("Oops!"));
    EXPECT_TRUE(messageOf([&] { convertLineBreaks("", dest, W2U); }).startsWith("Doh!"));
    EXPECT_TRUE(messageOf([&] { convertLineBreaks(dest, "", W2U); }).startsWith("Doh!"));
    // A binary file is refused.
    writeBytes(src, QByteArray("MZ\0\0\r\n", 6));
    EXPECT_TRUE(messageOf([&] { convertLineBreaks(src, dest, W2U); }).contains("not a text file"));
    // A folder as destination, and a destination in a missing folder.
    writeBytes(src, "x\r\n");
    EXPECT_TRUE(messageOf([&] { convertLineBreaks(src, dir.path(), W2U); }).contains("write"));
    EXPECT_TRUE(messageOf([&] {
                    convertLineBreaks(src, dir.filePath("none/b.pl"), W2U);
                }).contains("write"));
    EXPECT_EQ(readBytes(dest), "old\r\n");
}
