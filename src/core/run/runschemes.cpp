#include "core/run/runschemes.h"
#include "core/settings/configkeys.h"

#include "core/common/errors.h"
#include "core/settings/inifile.h"

namespace {

const char *const kKeyW = "-wL";
const char *const kKeyT = "-TU";
const char *const kKeyU = "-UU";
const char *const kKeyV = "-vL";
const char *const kKeyS = "-SU";
const char *const kKeyH = "-hL";
const char *const kKeyCustom = "Custom";
const char *const kKeyUseCustom = "UseCustom";

QString key(const char *name)
{
    return QString::fromLatin1(name);
}

} // namespace

bool RunScheme::operator==(const RunScheme &o) const
{
    return w == o.w && T == o.T && U == o.U && v == o.v && S == o.S && h == o.h
           && custom == o.custom && useCustom == o.useCustom;
}

QString RunSchemes::fileName()
{
    return QStringLiteral("etc/runsettings.cfg");
}

QString RunSchemes::defaultName()
{
    return QStringLiteral("Default");
}

QString RunSchemes::temporaryName()
{
    return QStringLiteral("Temporary");
}

RunScheme RunSchemes::read(const TIniFile &schemes, const QString &name)
{
    RunScheme s;
    s.w = schemes.ReadBool(name, key(kKeyW), false);
    s.T = schemes.ReadBool(name, key(kKeyT), false);
    s.U = schemes.ReadBool(name, key(kKeyU), false);
    s.v = schemes.ReadBool(name, key(kKeyV), false);
    s.S = schemes.ReadBool(name, key(kKeyS), false);
    s.h = schemes.ReadBool(name, key(kKeyH), false);
    s.custom = schemes.ReadString(name, key(kKeyCustom), QStringLiteral("-wT"));
    s.useCustom = schemes.ReadBool(name, key(kKeyUseCustom), false);
    return s;
}

void RunSchemes::write(TIniFile &schemes, const QString &name, const RunScheme &scheme)
{
    const QString section = name.trimmed();
    // Each key is its own write; checking first keeps a refused scheme from being half written.
    TIniFile::checkSection(section);
    TIniFile::checkValue(scheme.custom);
    schemes.WriteBool(section, key(kKeyW), scheme.w);
    schemes.WriteBool(section, key(kKeyT), scheme.T);
    schemes.WriteBool(section, key(kKeyU), scheme.U);
    schemes.WriteBool(section, key(kKeyV), scheme.v);
    schemes.WriteBool(section, key(kKeyS), scheme.S);
    schemes.WriteBool(section, key(kKeyH), scheme.h);
    schemes.WriteString(section, key(kKeyCustom), scheme.custom);
    schemes.WriteBool(section, key(kKeyUseCustom), scheme.useCustom);
}

QStringList RunSchemes::names(const TIniFile &schemes)
{
    QStringList list;
    schemes.ReadSections(list);
    return list;
}

QString RunSchemes::current(const TIniFile &settings)
{
    return Config::read(settings, Config::LastRunSetting);
}

void RunSchemes::setCurrent(TIniFile &settings, const QString &name)
{
    // Unchanged values are not rewritten: the page loads the list every time it is shown.
    if (Config::read(settings, Config::LastRunSetting) != name)
        Config::write(settings, Config::LastRunSetting, name);
}

SchemeSelection RunSchemes::load(const TIniFile &schemes, TIniFile &settings)
{
    SchemeSelection sel;
    sel.names = names(schemes);
    const QString last = current(settings);
    for (int i = 0; i < sel.names.size(); ++i) {
        if (sel.names.at(i).compare(last, Qt::CaseInsensitive) == 0) {
            sel.index = i;
            break;
        }
    }
    setCurrent(settings, sel.current());
    return sel;
}

SchemeSelection RunSchemes::save(TIniFile &schemes, TIniFile &settings, const QString &name,
                                 const RunScheme &scheme)
{
    write(schemes, name, scheme);
    setCurrent(settings, name.trimmed());
    return load(schemes, settings);
}

bool RunSchemes::canDelete(const QString &name)
{
    return name != defaultName();
}

SchemeSelection RunSchemes::remove(TIniFile &schemes, TIniFile &settings, const QString &name)
{
    if (!canDelete(name))
        throw AppError(cannotDeleteMessage());
    schemes.EraseSection(name);
    SchemeSelection sel;
    sel.names = names(schemes);
    sel.index = sel.names.isEmpty() ? -1 : 0;
    setCurrent(settings, sel.current());
    return sel;
}

QString RunSchemes::cannotDeleteMessage()
{
    return QStringLiteral("Oops! You cannot remove the default scheme.");
}

QString RunSchemes::deleteQuestion(const QString &name)
{
    return QStringLiteral("Really delete scheme \"%1\" now?").arg(name);
}
