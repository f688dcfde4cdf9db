#include "core/settings/detectperl.h"

#include "platform/platform.h"

QString DetectPerlFromCommand(const QString &command)
{
    const qsizetype at = command.indexOf(QLatin1String("\"%1"));
    if (at < 0)
        return {};
    return command.left(at).chopped(at > 0 ? 1 : 0);
}

QString DetectPerl()
{
    return DetectPerlFromCommand(Platform::perlOpenCommand());
}
