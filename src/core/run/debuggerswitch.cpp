#include "core/run/debuggerswitch.h"

QString debuggerModule(const Command &command)
{
    for (const QString &word : command.arguments) {
        if (!word.startsWith(u'-'))
            break;
        // "-d:Name", "-dt:Name", and options after "=" or ",": "-d:Name=a,b".
        const qsizetype colon = word.indexOf(u':');
        if (colon < 0
            || !(word.startsWith(QLatin1String("-d:")) || word.startsWith(QLatin1String("-dt:"))))
            continue;
        QString name = word.mid(colon + 1);
        for (qsizetype i = 0; i < name.size(); ++i) {
            if (name.at(i) == u'=' || name.at(i) == u',') {
                name.truncate(i);
                break;
            }
        }
        if (name.isEmpty())
            return {};
        return name.startsWith(u'-') ? name.mid(1) : QStringLiteral("Devel::") + name;
    }
    return {};
}

QString missingDebuggerMessage(const QString &module, QStringView output)
{
    if (module.isEmpty())
        return {};
    const QString file = QString(module).replace(QLatin1String("::"), QLatin1String("/"));
    const QString said = QStringLiteral("Can't locate %1.pm in @INC").arg(file);
    if (!output.contains(said))
        return {};
    return QStringLiteral("The debugger %1 is not installed for this Perl, so the script did not "
                          "run.\nInstall the module, or empty the debugger name in the run "
                          "dialog's debug options to use Perl's own debugger.")
            .arg(module);
}
