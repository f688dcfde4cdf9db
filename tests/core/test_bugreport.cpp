#include "core/tools/bugreport.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

QStringList texts(const QList<ReportParagraph> &r)
{
    QStringList t;
    for (const ReportParagraph &p : r)
        t << p.text;
    return t;
}

// The paragraph after the one that reads label.
QString after(const QList<ReportParagraph> &r, const QString &label, int skip = 1)
{
    for (qsizetype i = 0; i + skip < r.size(); ++i) {
        if (r[i].text == label)
            return r[i + skip].text;
    }
    return QStringLiteral("<no %1>").arg(label);
}

const QDateTime kNow(QDate(2024, 3, 5), QTime(14, 7, 9));

} // namespace

TEST(BugReport, EmptyFormReportsNA)
{
    const auto r = fillBugReport({}, kNow);
    EXPECT_EQ(after(r, "Reported by:"), "\t\t[N/A]");
    EXPECT_EQ(after(r, "eM@il address:"), "\t\t[N/A]");
    EXPECT_EQ(after(r, "OS version:"), "\t\t[N/A]");
    EXPECT_EQ(after(r, "System components:"), "\t\t[N/A]");
    EXPECT_EQ(after(r, "Bug occurrs:"), "\t\tN/A");
    EXPECT_EQ(after(r, "Bug description:", 2), "[N/A]");
    EXPECT_EQ(after(r, "additional notes:", 2), "[N/A]");
    const QLocale l = QLocale::system();
    EXPECT_EQ(after(r, "Date:"), "\t\t" + l.toString(kNow.date(), QLocale::ShortFormat) + " "
                                         + l.toString(kNow.time(), QLocale::LongFormat));
    EXPECT_FALSE(texts(r).join('\n').contains("###"));
    EXPECT_EQ(r.first(), (ReportParagraph{"Ostravine Quillforge Bug Report", true, 14}));
    EXPECT_EQ(r.last(), (ReportParagraph{"Quillforge ver 1.0", false, 7}));
}

TEST(BugReport, FormValuesFillTheirLines)
{
    BugReportForm f;
    f.name = "Ann";
    f.mail = "ann@example.org";
    f.osVersion = "Windows 98";
    f.system = "64 MB\nPentium II";
    f.description = "It crashes";
    f.notes = "###SENDER### {braces}";
    f.regularity = BugReportForm::Sometimes;
    const auto r = fillBugReport(f, kNow);
    EXPECT_EQ(after(r, "Reported by:"), "\t\tAnn");
    EXPECT_EQ(after(r, "eM@il address:"), "\t\tann@example.org");
    EXPECT_EQ(after(r, "Bug occurrs:"), "\t\toccassionally");
    // Several lines make several paragraphs.
    EXPECT_EQ(after(r, "System components:"), "\t\t64 MB");
    EXPECT_EQ(after(r, "System components:", 2), "Pentium II");
    // A marker typed into a field is text.
    EXPECT_EQ(after(r, "additional notes:", 2), "###SENDER### {braces}");
    // Each fill starts from the template: a changed form shows at once.
    f.name = "Bob";
    EXPECT_EQ(after(fillBugReport(f, kNow), "Reported by:"), "\t\tBob");
}

TEST(BugReport, RtfIsWellFormed)
{
    BugReportForm f;
    f.name = QString::fromUtf8("Zoë \\ {x}");
    const QByteArray rtf = bugReportRtf(fillBugReport(f, kNow));
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi"));
    EXPECT_TRUE(rtf.contains("{\\fonttbl{\\f0\\fswiss\\fcharset0 Tahoma;}}"));
    EXPECT_TRUE(rtf.contains("\\fs28\\b Ostravine Quillforge Bug Report\\par"));
    EXPECT_TRUE(rtf.contains("\\tab \\tab Zo\\u235? \\\\ \\{x\\}\\par"));
    EXPECT_TRUE(rtf.contains("\\fs14 Quillforge ver 1.0\\par"));
    // Braces balance, so a reader sees one group.
    int depth = 0;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;
            continue;
        }
        if (rtf[i] == '{')
            ++depth;
        if (rtf[i] == '}')
            --depth;
        ASSERT_GE(depth, 0);
    }
    EXPECT_EQ(depth, 0);
    for (const char c : rtf)
        EXPECT_LT(uchar(c), 0x80);
}
