#pragma once

#include <QString>
#include <QStringList>

// The program directory holds every state file. It is the executable's folder unless
// "--home DIR" or QUILLFORGE_HOME names another; such a folder first gets the shipped
// etc/, lib/ and doc/ it lacks, and the named files of the program folder's top level.
struct StartupArgs
{
    QString programDir; // ends with "/"
    QStringList files;  // scripts named on the command line
};

StartupArgs parseStartupArgs(const QStringList &args, const QString &exeDir);
void ensureProgramData(const QString &programDir, const QString &shippedDir,
                       const QStringList &shippedFiles = {});
