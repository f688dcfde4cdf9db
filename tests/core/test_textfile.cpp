#include "core/common/errors.h"
#include "core/common/textfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray roundTrip(const QByteArray &bytes)
{
    TextFileFormat f;
    const QString text = decodeText(bytes, &f);
    return encodeText(text, f);
}

TEST(TextFile, BytesRoundTripUnchanged)
{
    const QByteArray samples[] = {
            QByteArray("print \"hi\\n\";\n"),
            QByteArray("a\r\nb\r\n"),
            QByteArray("mac\rold\r"),
            QByteArray("no newline at end"),
            QByteArray("utf8 \xc3\xa9\xe2\x82\xac\n"),
            QByteArray("cp1252 \xe9\x80\x81\x8d\x9d\xff\n"),
            QByteArray("nul\0byte\0\n", 11),
            QByteArray("\xef\xbb\xbfwith bom\n"),
            QByteArray("\xa0nbsp \xc2\xa0 invalid \xc3\n"),
            QByteArray(),
    };
    for (const QByteArray &b : samples)
        EXPECT_EQ(roundTrip(b), b) << b.toHex().constData();
}

TEST(TextFile, DecodeReportsFormatAndNormalisesLineBreaks)
{
    TextFileFormat f;
    EXPECT_EQ(decodeText("a\r\nb", &f), QStringLiteral("a\nb"));
    EXPECT_EQ(f.lineEnd, LineEnd::CrLf);
    EXPECT_EQ(f.encoding, TextEncoding::Utf8);
    EXPECT_EQ(decodeText("\xe9", &f), QString(QChar(0xe9)));
    EXPECT_EQ(f.encoding, TextEncoding::Windows1252);
    EXPECT_EQ(decodeText("\x80", &f), QString(QChar(0x20AC)));
}

TEST(TextFile, TypedCharactersOutsideTheCodePageAreNotLost)
{
    TextFileFormat f;
    f.encoding = TextEncoding::Windows1252;
    const QString text = QString::fromUtf8("\u65e5\u672c");
    EXPECT_EQ(decodeText(encodeText(text, f)), text);
}

TEST(TextFile, AtomicWriteReplacesAndReportsFailure)
{
    QTemporaryDir dir;
    const QString p = dir.path() + "/s.pl";
    writeTextFile(p, "one\ntwo\n", TextFileFormat{TextEncoding::Utf8, LineEnd::CrLf, false});
    QFile f(p);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("one\r\ntwo\r\n"));
    EXPECT_THROW(writeTextFile(dir.path() + "/missing/s.pl", "x", {}), IoError);
    EXPECT_THROW(readTextFile(dir.path() + "/missing.pl"), IoError);
}

} // namespace
