#include "core/run/ansi.h"
#include "core/run/debuggerstops.h"
#include "core/run/errorlinks.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

// Scripts in a folder whose name has a blank, run by the real perl.
class ErrorLinks : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_perl = QStandardPaths::findExecutable(QStringLiteral("perl"));
        if (m_perl.isEmpty())
            GTEST_SKIP() << "no perl";
        ASSERT_TRUE(m_dir.isValid());
        m_folder = m_dir.path() + QStringLiteral("/my scripts");
        ASSERT_TRUE(QDir().mkpath(m_folder));
    }

    QString write(const QString &name, const QByteArray &text)
    {
        const QString path = m_folder + u'/' + name;
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return path;
    }

    // What perl writes (both streams), line by line.
    // ownSession: without a terminal, as the debugger runs under the IDE.
    QStringList perl(const QStringList &arguments, const QByteArray &input = {},
                     bool ownSession = false)
    {
        QProcess p;
        if (ownSession)
            p.setChildProcessModifier([] { ::setsid(); });
        p.setWorkingDirectory(m_folder);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(m_perl, arguments);
        p.write(input);
        p.closeWriteChannel();
        EXPECT_TRUE(p.waitForFinished(10000));
        return QString::fromUtf8(p.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

    QList<ErrorLink> linksIn(const QString &line, const QString &folder = QString())
    {
        ErrorLinkFinder f;
        f.setFolder(folder.isEmpty() ? m_folder : folder);
        return f.find(line);
    }

    QString m_perl;
    QTemporaryDir m_dir;
    QString m_folder;
};

TEST_F(ErrorLinks, DieAndWarnNameTheFileAndLine)
{
    const QString script = write("fail.pl", "use strict;\nmy $l = <STDIN>;\n$l = <STDIN>;\n"
                                            "warn \"careful\";\n\ndie \"boom\";\n");
    const QStringList out = perl({script}, "a\nb\n");
    ASSERT_EQ(out.size(), 2) << out.join(u'|').toStdString();
    // "careful at /…/my scripts/fail.pl line 4, <STDIN> line 2."
    for (int i = 0; i < 2; ++i) {
        const QList<ErrorLink> links = linksIn(out[i]);
        ASSERT_EQ(links.size(), 1) << out[i].toStdString();
        EXPECT_EQ(links[0].path, script);
        EXPECT_EQ(links[0].line, i == 0 ? 4 : 6);
        EXPECT_EQ(out[i].mid(links[0].start, links[0].length),
                  script + QStringLiteral(" line %1").arg(i == 0 ? 4 : 6));
        EXPECT_TRUE(out[i].contains(u"<STDIN> line 2"));
    }
}

TEST_F(ErrorLinks, SyntaxCheckFormsLinkAndTheSummaryDoesNot)
{
    const QString script = write("bad.pl", "use strict;\n\n$x = 1;\nprint \"a\" \"b\";\n");
    const QStringList out = perl({QStringLiteral("-c"), script});
    QList<int> lines;
    for (const QString &line : out) {
        for (const ErrorLink &l : linksIn(line)) {
            EXPECT_EQ(l.path, script);
            lines.append(l.line);
        }
    }
    EXPECT_TRUE(out.filter(QStringLiteral("Global symbol")).size() >= 1);
    EXPECT_TRUE(out.filter(QStringLiteral("syntax error at")).size() == 1);
    EXPECT_TRUE(lines.contains(3)) << out.join(u'|').toStdString();
    EXPECT_TRUE(lines.contains(4));
    // "… had compilation errors." names the file but no line.
    EXPECT_EQ(lines.size(), out.filter(QStringLiteral(" line ")).size());
}

TEST_F(ErrorLinks, CarpTracesAndRelativeNamesFromTheRunFolder)
{
    write("trace.pl", "use Carp;\nsub f {\n  confess 'deep';\n}\nsub g { f(@_) }\ng(1);\n");
    const QStringList out = perl({QStringLiteral("trace.pl")});
    ASSERT_GE(out.size(), 3) << out.join(u'|').toStdString();
    const QString expected = m_folder + QStringLiteral("/trace.pl");
    QList<int> lines;
    for (const QString &line : out) {
        const QList<ErrorLink> links = linksIn(line);
        ASSERT_EQ(links.size(), 1) << line.toStdString();
        EXPECT_EQ(links[0].path, expected);
        lines.append(links[0].line);
    }
    EXPECT_EQ(lines, (QList<int>{3, 5, 6}));
    EXPECT_TRUE(out[1].startsWith(u'\t'));
    EXPECT_TRUE(out[1].contains(u"called at trace.pl line 5"));
    // The same text from a run in another folder names nothing there.
    EXPECT_TRUE(linksIn(out[0], m_dir.path()).isEmpty());
}

TEST_F(ErrorLinks, CodeWithoutAFileAndMissingFilesAreNotLinks)
{
    const QStringList e = perl({QStringLiteral("-e"), QStringLiteral("warn 'a'; eval 'die 2';"
                                                                     " warn $@")});
    ASSERT_EQ(e.size(), 2);
    EXPECT_TRUE(e[0].endsWith(u"at -e line 1."));
    EXPECT_TRUE(e[1].contains(u"(eval 1) line 1"));
    // Even with files of those names in the folder.
    write("-e", "");
    write("(eval 1)", "");
    EXPECT_TRUE(linksIn(e[0]).isEmpty());
    EXPECT_TRUE(linksIn(e[1]).isEmpty());
    EXPECT_TRUE(linksIn(QStringLiteral("gone at /no/such/dir/x.pl line 3.")).isEmpty());
    EXPECT_TRUE(linksIn(QStringLiteral("at fail.pl line x.")).isEmpty());
}

TEST_F(ErrorLinks, NamesWithBlanksBareFormAndSeveralPerLine)
{
    const QString odd = write("look at me.pl", "");
    const QString lib = write("lib.pm", "");
    QString line = QStringLiteral("boom at ") + odd + QStringLiteral(" line 2.");
    QList<ErrorLink> links = linksIn(line);
    ASSERT_EQ(links.size(), 1);
    EXPECT_EQ(links[0].path, odd);
    EXPECT_EQ(links[0].start, 8);

    line = QStringLiteral("see lib.pm line 7 and ") + odd + QStringLiteral(" line 12");
    links = linksIn(line);
    ASSERT_EQ(links.size(), 2);
    EXPECT_EQ(links[0].path, lib);
    EXPECT_EQ(links[0].line, 7);
    EXPECT_EQ(line.mid(links[0].start, links[0].length), u"lib.pm line 7");
    EXPECT_EQ(links[1].path, odd);
    EXPECT_EQ(links[1].line, 12);
    EXPECT_EQ(links[1].start + links[1].length, line.size());
}

TEST_F(ErrorLinks, TheDebuggersCurrentLineIsAPlace)
{
    const QString script = write("dbg.pl", "my $x = 41;\nsub up { return $_[0] + 1 }\n"
                                           "$x = up($x);\nprint \"$x\\n\";\n");
    AnsiParser plain;
    QStringList places;
    for (const QString &line :
         perl({QStringLiteral("-d"), QStringLiteral("dbg.pl")}, "s\ns\ns\nq\n", true)) {
        const QString text = plain.feed(line);
        for (const ErrorLink &l : linksIn(text)) {
            EXPECT_EQ(l.path, script);
            places << text.mid(l.start, l.length);
        }
    }
    // Its first line, then each step: into the sub and out of it.
    EXPECT_EQ(places, (QStringList{"dbg.pl:1", "dbg.pl:3", "dbg.pl:2", "dbg.pl:4"}));

    const QList<ErrorLink> both = linksIn(
            QStringLiteral("  DB<2> main::up(dbg.pl:2):\tdie at dbg.pl line 9."));
    ASSERT_EQ(both.size(), 2);
    EXPECT_EQ(both[0].line, 2);
    EXPECT_EQ(both[1].line, 9);
    EXPECT_TRUE(linksIn(QStringLiteral("main::((eval 5)[dbg.pl:3]:1):")).isEmpty());
    EXPECT_TRUE(linksIn(QStringLiteral("main::(gone.pl:3):")).isEmpty());
    EXPECT_TRUE(linksIn(QStringLiteral("f(dbg.pl:3): no package")).isEmpty());
}

TEST_F(ErrorLinks, EachNameIsLookedUpOnce)
{
    int asked = 0;
    ErrorLinkFinder f([&](const QString &p) {
        ++asked;
        return p.endsWith(u"/a.pl");
    });
    f.setFolder(m_folder);
    for (int i = 1; i <= 100; ++i)
        ASSERT_EQ(f.find(QStringLiteral("x at a.pl line %1.").arg(i)).size(), 1);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(ErrorLinkFinder::mayHold(u"at a.pl line 3"));
    EXPECT_FALSE(ErrorLinkFinder::mayHold(u"no place here"));
}

// The real debugger's transcript, cut as it arrives: each piece ends where the debugger waits.
TEST_F(ErrorLinks, TheDebuggerStopsWhereItLastSaidItStands)
{
    const QString script = write("dbg.pl", "my $x = 41;\nsub up { return $_[0] + 1 }\n"
                                           "$x = up($x);\nprint \"$x\\n\";\n");
    const QString transcript = perl({QStringLiteral("-d"), QStringLiteral("dbg.pl")},
                                    "s\ns\np $x\ns\nq\n", true)
                                       .join(u'\n');
    ErrorLinkFinder finder;
    finder.setFolder(m_folder);
    DebuggerStops stops(finder);
    QList<int> lines;
    qsizetype from = 0;
    static const QRegularExpression prompt(QStringLiteral("DB<\\d+> (\\x1b\\[\\d*m)*"));
    for (auto it = prompt.globalMatch(transcript); it.hasNext();) {
        const qsizetype end = it.next().capturedEnd();
        if (const auto stop = stops.feed(QStringView(transcript).mid(from, end - from))) {
            EXPECT_EQ(stop->path, script);
            lines << stop->line;
        } else {
            lines << 0;
        }
        from = end;
    }
    // The first line, into the sub, out of it, nowhere new for "p $x", the print.
    EXPECT_EQ(lines, (QList<int>{1, 3, 2, 0, 4}));
}

TEST(DebuggerStops, APromptReportsTheLastPlaceBeforeItOnce)
{
    ErrorLinkFinder finder([](const QString &p) { return p.endsWith(u"/a.pl"); });
    finder.setFolder(QStringLiteral("/w"));
    const QString transcript = QStringLiteral(
            "main::(a.pl:3):\tup();\nmain::up(a.pl:7):\tmy $y;\n  DB<1> ");
    // However the output is cut, the stop comes with the prompt and names line 7.
    for (qsizetype piece : {qsizetype(1), qsizetype(5), transcript.size()}) {
        DebuggerStops stops(finder);
        std::optional<ErrorLink> stop;
        for (qsizetype at = 0; at < transcript.size(); at += piece) {
            EXPECT_FALSE(stop) << "stopped before the prompt was whole, pieces of " << piece;
            stop = stops.feed(QStringView(transcript).mid(at, piece));
        }
        ASSERT_TRUE(stop) << "pieces of " << piece;
        EXPECT_EQ(stop->path, QStringLiteral("/w/a.pl"));
        EXPECT_EQ(stop->line, 7);
        // The prompt continues with the next output: a value printed names no new place.
        EXPECT_FALSE(stops.feed(u"42\n  DB<2> "));
        EXPECT_EQ(stops.feed(u"main::(a.pl:9):\t1;\n  DB<<3>> ").value_or(ErrorLink()).line, 9);
    }

    DebuggerStops stops(finder);
    // Not the debugger's prompt, or not at the end: no stop.
    EXPECT_FALSE(stops.feed(u"main::(a.pl:3):\tx;\n  DB<1>> "));
    EXPECT_FALSE(stops.feed(u"\n  DB<1> and more"));
    // A line the script printed that runs for megabytes is no prompt and costs no memory.
    EXPECT_FALSE(stops.feed(QString(3 << 20, u'x') + QStringLiteral("  DB<2> ")));
    EXPECT_EQ(stops.feed(u"\nmain::(a.pl:4):\ty;\n  DB<2> ").value_or(ErrorLink()).line, 4);
}

} // namespace
