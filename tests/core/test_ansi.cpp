#include "core/run/ansi.h"

#include <gtest/gtest.h>

namespace {

constexpr quint32 kRed = 0xffcd0000u;
constexpr quint32 kBrightGreen = 0xff00ff00u;

// The text and the style of every character, for comparing runs fed in different pieces.
struct Styled
{
    QString text;
    QList<AnsiStyle> styles;
};

Styled feedPieces(const QString &raw, const QList<qsizetype> &cuts)
{
    AnsiParser p;
    Styled out;
    qsizetype from = 0;
    QList<qsizetype> ends = cuts;
    ends.append(raw.size());
    for (const qsizetype to : ends) {
        QList<AnsiSpan> spans;
        const QString text = p.feed(QStringView(raw).mid(from, to - from), &spans);
        QList<AnsiStyle> styles(text.size());
        for (const AnsiSpan &s : spans) {
            EXPECT_GE(s.start, 0);
            EXPECT_LE(s.start + s.length, text.size());
            for (qsizetype i = s.start; i < s.start + s.length; ++i)
                styles[i] = s.style;
        }
        out.text += text;
        out.styles += styles;
        from = to;
    }
    return out;
}

TEST(Ansi, ColoursBecomeSpansAndTheEscapesGo)
{
    AnsiParser p;
    QList<AnsiSpan> spans;
    EXPECT_EQ(p.feed(u"a\x1b[31mred\x1b[0m b", &spans), u"ared b");
    ASSERT_EQ(spans.size(), 1);
    EXPECT_EQ(spans[0].start, 1);
    EXPECT_EQ(spans[0].length, 3);
    EXPECT_EQ(spans[0].style.foreground, kRed);
    EXPECT_EQ(spans[0].style.background, 0u);
    EXPECT_TRUE(p.style().isPlain());

    // Bright colours, 256 colours, RGB, background and bold in one sequence; 39, 49 and 22
    // undo one part each.
    spans.clear();
    EXPECT_EQ(p.feed(u"\x1b[1;92;48;5;196mA\x1b[38;2;1;2;3mB\x1b[39mC\x1b[49;22mD", &spans),
              u"ABCD");
    ASSERT_EQ(spans.size(), 3);
    EXPECT_TRUE(spans[0].style.bold);
    EXPECT_EQ(spans[0].style.foreground, kBrightGreen);
    EXPECT_EQ(spans[0].style.background, AnsiParser::paletteColour(196));
    EXPECT_EQ(AnsiParser::paletteColour(196), 0xffff0000u);
    EXPECT_EQ(spans[1].style.foreground, 0xff010203u);
    EXPECT_EQ(spans[2].style.foreground, 0u);
    EXPECT_EQ(spans[2].style.background, AnsiParser::paletteColour(196));
    EXPECT_EQ(spans[2].start + spans[2].length, 3); // D is plain
    EXPECT_EQ(AnsiParser::paletteColour(232), 0xff080808u);
    EXPECT_EQ(AnsiParser::paletteColour(16 + 36 + 6 + 1), 0xff5f5f5fu);
}

TEST(Ansi, OtherSequencesAreDropped)
{
    AnsiParser p;
    QList<AnsiSpan> spans;
    // Erase line, cursor column, window title, a hyperlink, a charset switch, ESC = .
    EXPECT_EQ(p.feed(u"\x1b[2K\x1b[1Gx\x1b]0;title\x07y\x1b]8;;http://a\x1b\\link\x1b]8;;"
                     u"\x1b\\\x1b(Bz\x1b=!",
                     &spans),
              u"xylinkz!");
    EXPECT_TRUE(spans.isEmpty());
    // A broken sequence loses its escape, not the text after it.
    EXPECT_EQ(p.feed(u"\x1b[12\nnext"), u"\nnext");
}

TEST(Ansi, EscapesSplitBetweenChunksAndStylesCarryOver)
{
    const QString raw = QStringLiteral("plain \x1b[1;31mbold red\x1b[0m, \x1b]2;t\x1b\\"
                                       "\x1b[38;5;33mblue\x1b[49m end\x1b[0m.");
    const Styled whole = feedPieces(raw, {});
    EXPECT_EQ(whole.text, u"plain bold red, blue end.");
    for (qsizetype a = 1; a < raw.size(); ++a) {
        const Styled two = feedPieces(raw, {a});
        ASSERT_EQ(two.text, whole.text) << "cut at " << a;
        ASSERT_EQ(two.styles, whole.styles) << "cut at " << a;
        const Styled three = feedPieces(raw, {a / 2, a});
        ASSERT_EQ(three.text, whole.text) << "cuts at " << a / 2 << ", " << a;
        ASSERT_EQ(three.styles, whole.styles);
    }
    // The style set in one chunk holds for the next ones until reset.
    AnsiParser p;
    QList<AnsiSpan> spans;
    EXPECT_TRUE(p.feed(u"\x1b[32m", &spans).isEmpty());
    EXPECT_EQ(p.feed(u"green", &spans), u"green");
    ASSERT_EQ(spans.size(), 1);
    EXPECT_EQ(spans[0].length, 5);
    p.reset();
    spans.clear();
    p.feed(u"after reset", &spans);
    EXPECT_TRUE(spans.isEmpty());
}

TEST(Ansi, AnUnendedEscapeDoesNotSwallowTheOutput)
{
    AnsiParser p;
    QString shown;
    const QString line = QString(99, u'x') + u'\n';
    shown += p.feed(u"\x1b]0;never ended ");
    for (int i = 0; i < 100; ++i)
        shown += p.feed(line);
    EXPECT_GT(shown.size(), 90 * line.size());
    EXPECT_TRUE(shown.endsWith(line));
}

} // namespace
