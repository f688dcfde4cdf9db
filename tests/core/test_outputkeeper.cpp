#include "core/run/outputkeeper.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

struct Kept
{
    QString head;
    QString tail;
    qint64 tailStart = 0;
    qint64 lines = 0;
    qint64 bytes = 0;
    QString note;
};

// Feeds text in pieces of the given size (0: all at once) and collects the result.
Kept feed(const QString &text, qsizetype head, qsizetype tail, qsizetype piece = 0)
{
    OutputKeeper k(head, tail);
    Kept out;
    const qsizetype n = piece > 0 ? piece : text.size();
    for (qsizetype at = 0; at < text.size(); at += n)
        out.head += k.add(QStringView(text).mid(at, n));
    out.tailStart = k.tailStart();
    out.tail = k.tail(k.tailStart(), k.tailEnd() - k.tailStart()).toString();
    out.lines = k.leftOutLines();
    out.bytes = k.leftOutBytes();
    out.note = k.middleLeftOut() ? k.note() : QString();
    return out;
}

QString numberedLines(int count)
{
    QString s;
    for (int i = 1; i <= count; ++i)
        s += QStringLiteral("line %1\n").arg(i, 3, 10, QLatin1Char('0'));
    return s;
}

} // namespace

TEST(OutputKeeper, OutputWithinTheLimitPassesWhole)
{
    const QString text = numberedLines(10);
    const Kept k = feed(text, 90, 50, 7);
    EXPECT_EQ(k.head, text);
    EXPECT_TRUE(k.tail.isEmpty());
    EXPECT_TRUE(k.note.isEmpty());

    // A little more than the beginning holds is all shown, beginning and end together.
    const Kept more = feed(numberedLines(12), 90, 50);
    EXPECT_EQ(more.head + more.tail, numberedLines(12));
    EXPECT_TRUE(more.note.isEmpty());
}

TEST(OutputKeeper, KeepsWholeLinesAtBothEndsAndCountsTheMiddle)
{
    // 200 lines of 9 characters; the beginning holds 100, the end 300.
    const Kept k = feed(numberedLines(200), 100, 300);
    EXPECT_TRUE(k.head.endsWith(QStringLiteral("line 011\n"))) << k.head.toStdString();
    EXPECT_EQ(k.head.size(), 99);
    EXPECT_TRUE(k.tail.startsWith(QStringLiteral("line 172\n"))) << k.tail.toStdString();
    EXPECT_TRUE(k.tail.endsWith(QStringLiteral("line 200\n")));
    EXPECT_EQ(k.lines, 160);
    EXPECT_EQ(k.bytes, 160 * 9);
    EXPECT_EQ(k.note, QStringLiteral("\u2026 160 lines (1440 bytes) left out \u2026"));
}

TEST(OutputKeeper, ALineLongerThanTheRoomIsCut)
{
    // The beginning gives an open line a sixteenth more room to finish, then cuts it.
    const Kept k = feed(QString(1000, u'x'), 160, 200, 64);
    EXPECT_EQ(k.head, QString(170, u'x'));
    EXPECT_LE(k.tail.size(), 200);
    EXPECT_EQ(k.head.size() + k.bytes + k.tail.size(), 1000);
    EXPECT_EQ(k.lines, 1); // a part of one line
}

TEST(OutputKeeper, TheNoteNamesLinesAndBytes)
{
    EXPECT_EQ(OutputKeeper::note(1, 1), QStringLiteral("\u2026 1 line (1 byte) left out \u2026"));
    EXPECT_EQ(OutputKeeper::note(3, 70),
              QStringLiteral("\u2026 3 lines (70 bytes) left out \u2026"));
}

// However the output arrives: the beginning and the end are exact copies of the output's
// first and last whole lines, the end stays within its limit, and the note counts exactly what
// lies between them, CR LF as one break and bytes as UTF-8.
TEST(OutputKeeper, AnyPieceSizesGiveAnExactAccount)
{
    QRandomGenerator rng(20240607);
    const QString words[] = {QStringLiteral("abc"), QStringLiteral("d\u00e9j\u00e0"),
                             QStringLiteral("\U0001F600"), QStringLiteral("\u20ac5"),
                             QStringLiteral("\t")};
    for (int round = 0; round < 40; ++round) {
        QString text;
        const int lines = 100 + rng.bounded(600);
        for (int l = 0; l < lines; ++l) {
            for (int w = rng.bounded(12); w > 0; --w)
                text += words[rng.bounded(5)] + u' ';
            text += rng.bounded(2) ? QStringLiteral("\r\n") : QStringLiteral("\n");
        }
        // A sixteenth of either limit is longer than the longest line (62 characters).
        const qsizetype headChars = 1000 + rng.bounded(3000);
        const qsizetype tailChars = 1000 + rng.bounded(3000);
        const Kept k = feed(text, headChars, tailChars, 1 + rng.bounded(200));
        SCOPED_TRACE(round);
        ASSERT_TRUE(text.startsWith(k.head));
        ASSERT_TRUE(text.endsWith(k.tail));
        EXPECT_LE(k.head.size(), headChars + headChars / 16);
        EXPECT_LE(k.tail.size(), tailChars);
        if (!k.head.isEmpty()) {
            EXPECT_TRUE(k.head.endsWith(u'\n'));
        }
        const qsizetype tailAt = text.size() - k.tail.size();
        if (!k.tail.isEmpty() && tailAt > 0) {
            EXPECT_EQ(text[tailAt - 1], u'\n');
        }
        const QString middle = text.mid(k.head.size(), tailAt - k.head.size());
        EXPECT_EQ(k.tailStart, middle.size());
        EXPECT_EQ(k.lines, middle.count(u'\n'));
        EXPECT_EQ(k.bytes, middle.toUtf8().size());
        EXPECT_EQ(k.note.isEmpty(), middle.isEmpty());
    }
}
