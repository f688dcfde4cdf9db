#include "core/settings/detectperl.h"
#include "platform/platform.h"

#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

struct Case
{
    const char *name;
    const char *command;
    const char *expected;
};

const Case kCases[] = {
        {"registered Linux command", "/usr/bin/perl \"%1\" %*", "/usr/bin/perl"},
        {"registered Windows command", "C:\\Perl\\bin\\Perl.exe \"%1\" %*",
         "C:\\Perl\\bin\\Perl.exe"},
        {"blanks inside the program path", "/opt/my perl/bin/perl \"%1\"", "/opt/my perl/bin/perl"},
        {"first quoted %1 counts", "/usr/bin/perl \"%1\" \"%1\"", "/usr/bin/perl"},
        {"only one character is cut", "/usr/bin/perl  \"%1\"", "/usr/bin/perl "},
        {"unquoted %1", "/usr/bin/perl %1 %*", ""},
        {"quote after %1 only", "/usr/bin/perl %1\"", ""},
        {"default without arguments", "c:\\program files\\perl\\bin\\perl.exe", ""},
        {"nothing registered", "", ""},
        {"quoted %1 at the very start", "\"%1\" %*", ""},
};

} // namespace

TEST(DetectPerl, CommandCases)
{
    for (const Case &c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DetectPerlFromCommand(QString::fromUtf8(c.command)),
                  QString::fromUtf8(c.expected));
    }
}

// The platform's open command and the cut must agree: together they name the perl on PATH.
TEST(DetectPerl, PlatformCommandYieldsThePerlOnPath)
{
    const QString perl = QStandardPaths::findExecutable(QStringLiteral("perl"));
    EXPECT_EQ(DetectPerlFromCommand(Platform::perlOpenCommand()), perl);
}
