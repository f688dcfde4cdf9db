// Prepares a program folder for start-up measurements: shipped data, first-run check passed,
// code view at start.
#include "core/settings/inifile.h"
#include "core/settings/programdir.h"
#include "platform/platform.h"

#include <QCoreApplication>
#include <QDir>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QString home = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + QLatin1Char('/');
    ensureProgramData(home, QStringLiteral(QF_SHIPPED_DATA));
    TIniFile ini(home + QStringLiteral("etc/quillforge.cfg"));
    ini.WriteString(QStringLiteral("Config"), QStringLiteral("HD_ID"),
                    Platform::driveIdentity(home));
    ini.WriteInteger(QStringLiteral("Config"), QStringLiteral("InitialView"), 0);
    return 0;
}
