#include "core/tools/customlinks.h"

#include "core/common/extractfield.h"
#include "core/settings/inifile.h"
#include "platform/launcher.h"

#include <QProcess>

namespace CustomLinks {

CustomLink parse(const QString &name, const QString &value)
{
    CustomLink link;
    link.name = name;
    link.program = ExtractField(value, QLatin1Char('|'), 0);
    link.parameters = ExtractField(value, QLatin1Char('|'), 1);
    link.iconFile = ExtractField(value, QLatin1Char('|'), 2);
    bool ok = false;
    const int index = ExtractField(value, QLatin1Char('|'), 3).trimmed().toInt(&ok);
    link.iconIndex = ok ? index : 0;
    return link;
}

QList<CustomLink> load(const TIniFile &settings)
{
    QStringList keys;
    settings.ReadSection(kSection, keys);
    QList<CustomLink> links;
    for (const QString &key : keys)
        links.append(parse(key, settings.ReadString(kSection, key, QString())));
    return links;
}

QString composeValue(const QString &program, const QString &parameters, const QString &iconBox)
{
    QString icon = iconBox;
    icon.replace(QLatin1Char(','), QLatin1Char('|'));
    return program + QLatin1Char('|') + parameters + QLatin1Char('|') + icon;
}

QString iconBoxText(const QString &value)
{
    return ExtractField(value, QLatin1Char('|'), 2) + QLatin1Char(',')
           + ExtractField(value, QLatin1Char('|'), 3);
}

QString workingFolder(const QString &program)
{
    const int slash = qMax(program.lastIndexOf(QLatin1Char('/')),
                           program.lastIndexOf(QLatin1Char('\\')));
    return slash < 0 ? QString() : program.left(slash + 1);
}

QStringList arguments(const QString &parameters)
{
    return QProcess::splitCommand(parameters);
}

QString nameProblem(const QString &name)
{
    if (name.trimmed().isEmpty())
        return QStringLiteral("A link needs a name.");
    if (name.contains(QLatin1Char('|')))
        return QStringLiteral("A link name cannot contain \"|\".");
    return TIniFile::keyProblem(name);
}

bool start(const CustomLink &link)
{
    if (link.program.trimmed().isEmpty())
        return false;
    Platform::Launcher &launcher = Platform::Launcher::instance();
    if (Platform::isProgram(link.program))
        return launcher.startProgram(link.program, arguments(link.parameters),
                                     workingFolder(link.program));
    return launcher.openWithDesktop(link.program);
}

} // namespace CustomLinks
