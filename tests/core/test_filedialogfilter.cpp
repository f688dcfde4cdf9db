#include "platform/platform.h"

#include <gtest/gtest.h>

// The browse buttons' filters are written in the "Description|patterns" form; Qt's dialogs
// list nothing for that text as it is.
TEST(FileDialogFilter, PairsBecomeQtFiltersWithoutPatternsLinuxHasNoFilesFor)
{
    EXPECT_EQ(Platform::fileDialogFilter(
                      "Executeables (*.exe,*.com)|*.exe;*.com|All files (*.*)|*.*"),
              QStringLiteral("Executeables (*);;All files (*)"));
    EXPECT_EQ(Platform::fileDialogFilter("Icon files (*.exe,*.dll,*.ico)|*.exe;*.dll;*.ico;*.png"),
              QStringLiteral("Icon files (*.ico *.png)"));
    EXPECT_EQ(Platform::fileDialogFilter("Perl|*.pl; *.pm ;*.pl|Text|*.txt"),
              QStringLiteral("Perl (*.pl *.pm);;Text (*.txt)"));
}

TEST(FileDialogFilter, OddInputGivesAUsableFilter)
{
    EXPECT_EQ(Platform::fileDialogFilter(QString()), QString());
    // A description without its patterns is left out rather than guessed.
    EXPECT_EQ(Platform::fileDialogFilter("Lonely"), QString());
    EXPECT_EQ(Platform::fileDialogFilter("Empty|;;|Again|"),
              QStringLiteral("Empty (*);;Again (*)"));
}
