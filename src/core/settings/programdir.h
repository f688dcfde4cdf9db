#pragma once

#include <QString>
#include <QStringList>

// The program directory holds every state file. It is the executable's folder unless
// "--home DIR" or QUILLFORGE_HOME names another; such a folder gets every shipped file of
// etc/, lib/ and doc/ it lacks (never replacing one it has), and the named files of the
// program folder's top level. At every start, the leftovers of interrupted saves leave etc/.
struct StartupArgs
{
    QString programDir; // ends with "/"
    QStringList files;  // scripts named on the command line
};

StartupArgs parseStartupArgs(const QStringList &args, const QString &exeDir);
void ensureProgramData(const QString &programDir, const QString &shippedDir,
                       const QStringList &shippedFiles = {});
