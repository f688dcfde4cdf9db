// The golden-file driver itself: what it reports, and that it notices what it should.
#include "golden.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

TEST(GoldenDifference, NamesTheFirstDifferingLineWithItsEnd)
{
    EXPECT_EQ(Golden::firstDifference("a\nb\n", "a\nb\n"), QString());
    EXPECT_EQ(Golden::firstDifference("", ""), QString());
    EXPECT_EQ(Golden::firstDifference("a\r\nb\r\n", "a\r\nb\n"),
              QStringLiteral("first difference at line 2 of 2 expected, 2 actual\n"
                             "  expected: \"b\\r\\n\"\n"
                             "  actual:   \"b\\n\""));
    // A lost final line break, and a line too many.
    EXPECT_TRUE(Golden::firstDifference("x\ny\n", "x\ny")
                        .contains(QStringLiteral(
                                "line 2 of 2 expected, 2 actual\n  expected: \"y\\n\"\n"
                                "  actual:   \"y\"")));
    EXPECT_TRUE(Golden::firstDifference("x\n", "x\n;\n")
                        .contains(QStringLiteral(
                                "line 2 of 1 expected, 2 actual\n  expected: (end of file)")));
    EXPECT_TRUE(Golden::firstDifference("x\n", "").contains(
            QStringLiteral("  actual:   (end of file)")));
}

TEST(GoldenDifference, ShowsLettersAsLettersAndOtherBytesAsCodes)
{
    const QString d = Golden::firstDifference("caf\xc3\xa9\t\"q\"\n", "caf\xe9\x01\\\n");
    EXPECT_TRUE(d.contains(QString::fromUtf8("expected: \"caf\xc3\xa9\\t\\\"q\\\"\\n\"")))
            << d.toStdString();
    EXPECT_TRUE(d.contains(QStringLiteral("actual:   \"caf\\xe9\\x01\\\\\\n\"")))
            << d.toStdString();
}

class GoldenDriver : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    Golden::Set set{dir.path(), QStringLiteral("*.in"), QStringLiteral(".out")};

    void put(const char *name, const QByteArray &bytes)
    {
        QFile f(dir.filePath(QLatin1String(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray get(const char *name) const
    {
        QFile f(dir.filePath(QLatin1String(name)));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    // The output of an input: its bytes upper-cased.
    static QByteArray upper(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll().toUpper() : QByteArray();
    }
    void updating(bool on)
    {
        if (on)
            qputenv("QF_UPDATE_GOLDEN", "1");
        else
            qunsetenv("QF_UPDATE_GOLDEN");
    }
    void TearDown() override { updating(false); }
};

TEST_F(GoldenDriver, RewritesThenCompares)
{
    put("a.in", "one\r\ntwo\n");
    put("b.in", "three");
    updating(true);
    Golden::check(set, upper);
    EXPECT_EQ(get("a.in.out"), QByteArray("ONE\r\nTWO\n"));
    EXPECT_EQ(get("b.in.out"), QByteArray("THREE"));
    updating(false);
    Golden::check(set, upper);
    put("a.in.out", "ONE\nTWO\n");
    EXPECT_NONFATAL_FAILURE(Golden::check(set, upper),
                            "line 1 of 2 expected, 2 actual\n  expected: \"ONE\\n\"");
}

TEST_F(GoldenDriver, ReportsWhatIsMissingOrLeftOver)
{
    EXPECT_NONFATAL_FAILURE(Golden::check(set, upper), "no inputs *.in");
    put("a.in", "x\n");
    EXPECT_NONFATAL_FAILURE(Golden::check(set, upper), "no reference");
    put("a.in.out", "X\n");
    put("gone.in.out", "X\n");
    EXPECT_NONFATAL_FAILURE(Golden::check(set, upper), "reference without its input");
    QFile::remove(dir.filePath(QStringLiteral("gone.in.out")));
    EXPECT_NONFATAL_FAILURE(Golden::check(set,
                                          [](const QString &) -> QByteArray {
                                              throw std::runtime_error("bad input");
                                          }),
                            "could not be run through: bad input");
    Golden::check(set, upper);
}

} // namespace
