#include "core/run/cgistarter.h"

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

std::string joined(const CgiStarter::Words &words)
{
    std::string s;
    for (const std::string &w : words)
        s += (s.empty() ? "" : "|") + w;
    return s;
}

} // namespace

TEST(CgiStarter, SwitchesOfTheShebangLine)
{
    const std::pair<const char *, const char *> cases[] = {
            {"#!/usr/bin/perl -wT\nprint 1;\n", "-wT"},
            {"#!/usr/bin/perl -T\n", "-T"},
            {"#!/usr/bin/perl -w -T\n", "-w|-T"},
            {"#!/usr/bin/perl\t-w  \t-T   \n", "-w|-T"},
            {"#!/usr/bin/perl -CSDA -w\r\nprint 1;\r\n", "-CSDA|-w"},
            {"#! /usr/local/bin/perl5.36 -T\n", "-T"},
            {"\xEF\xBB\xBF#!/usr/bin/perl -T\n", "-T"},
            {"#!/usr/bin/env perl -T\n", "-T"},
            {"#!/usr/bin/env perl\n", ""},
            {"#!/usr/bin/perl\n-T\n", ""},
            {"#!/usr/bin/perl", ""},
            {"#!/home/perlfan/bin/perl -w\n", "-w"},
            // perl reads no further than the first word that is not a switch
            {"#!/usr/bin/perl -w # -T\n", "-w"},
            {"#!/usr/bin/perl -w -- -T\n", "-w"},
            {"#!/usr/bin/perl - -T\n", ""},
            // code to run instead of the script never reaches the command line
            {"#!/usr/bin/perl -w -e system('x')\n", "-w"},
            {"#!/usr/bin/perl -MPOSIX -T\n", ""},
            {"#!/usr/bin/perl -E say\n", ""},
            // not Perl, or no #! line at all
            {"#!/bin/sh -x\n", ""},
            {"# -T\n#!/usr/bin/perl -T\n", ""},
            {" #!/usr/bin/perl -T\n", ""},
            {"", ""},
    };
    for (const auto &[head, want] : cases)
        EXPECT_EQ(joined(CgiStarter::shebangSwitches(head)), want) << head;
}

TEST(CgiStarter, ArgumentsAreTheSwitchesThenTheScript)
{
    EXPECT_EQ(joined(CgiStarter::perlArguments("#!/usr/bin/perl -wT\n", "/srv/cgi-bin/a b.pl")),
              "-wT|/srv/cgi-bin/a b.pl");
    EXPECT_EQ(joined(CgiStarter::perlArguments("#!/usr/bin/perl\n", "/srv/x.cgi", {"q=1"})),
              "/srv/x.cgi|q=1");
    // A name that would be read as a switch stays a file name.
    EXPECT_EQ(joined(CgiStarter::perlArguments("#!perl -T\n", "-e1;.pl")), "-T|./-e1;.pl");
    // Whatever a file name holds, it is one argument.
    EXPECT_EQ(CgiStarter::perlArguments("", "/x/$(rm -rf ~); echo.pl").size(), 1);
}

// The built starter, as the web server runs it: perl gets the switches, a -T script runs
// tainted, what it writes to standard error comes through, and its exit status is perl's.
TEST(CgiStarter, RunsPerlWithTheShebangSwitches)
{
    QTemporaryDir dir;
    const QString script = dir.path() + "/taint's $x.pl";
    QFile f(script);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/usr/bin/perl -wT\nprint \"taint=${^TAINT} warn=$^W\\n\";\n"
            "print STDERR \"to the log\\n\"; exit 3;\n");
    f.close();
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(CgiStarter::kPerlVariable, "/usr/bin/perl");
    run.setProcessEnvironment(env);
    run.start(QStringLiteral(QF_CGI_STARTER), {script});
    ASSERT_TRUE(run.waitForFinished(10000));
    EXPECT_EQ(run.readAllStandardOutput(), "taint=1 warn=1\n");
    EXPECT_EQ(run.readAllStandardError(), "to the log\n");
    EXPECT_EQ(run.exitCode(), 3);

    // A Perl that is not there is named on standard error, where the log shows it.
    env.insert(CgiStarter::kPerlVariable, dir.path() + "/noperl");
    run.setProcessEnvironment(env);
    run.start(QStringLiteral(QF_CGI_STARTER), {script});
    ASSERT_TRUE(run.waitForFinished(10000));
    EXPECT_TRUE(run.readAllStandardError().contains((dir.path() + "/noperl").toUtf8()));
    EXPECT_NE(run.exitCode(), 0);
}
