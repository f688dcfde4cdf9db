#include "core/settings/configkeys.h"

#include "core/settings/detectperl.h"
#include "core/settings/inifile.h"
#include "core/settings/resetdefaults.h"
#include "platform/platform.h"

#include <algorithm>

namespace Config {

namespace {

QString section(const Entry &e)
{
    return QString::fromLatin1(e.section);
}

QString name(const Entry &e)
{
    return QString::fromLatin1(e.name);
}

const Value &missingFor(const Entry &e, Reader reader)
{
    return reader != Reader::Any && reader == e.otherReader ? e.otherMissing : e.missing;
}

// Computed only for a missing key: detecting Perl or the server looks through the system.
QString missingText(const Value &v, const QString &programDir)
{
    const QString tail = QString::fromLatin1(v.text);
    switch (v.from) {
    case From::Table:
        return tail;
    case From::DetectedPerl:
        return DetectPerl();
    case From::WebServerLauncher:
        Q_ASSERT(!programDir.isEmpty());
        return Platform::webServerDir(programDir) + u'/' + Platform::webServerLauncherName();
    case From::CgiBinFolder:
        Q_ASSERT(!programDir.isEmpty());
        return Platform::defaultCgiBin(programDir);
    case From::LocalHost:
        return Platform::localHttpAddress() + tail;
    case From::RunScratch:
        return Platform::defaultRunAutoSaveAs();
    case From::CommandInterpreter:
        return Platform::defaultCommandInterpreter();
    case From::NotReset:
    case From::WizardPerl:
    case From::WizardWebServer:
    case From::WizardAutostart:
        break;
    }
    Q_ASSERT_X(false, "Config", "a default that only the reset knows");
    return tail;
}

int number(const Value &v)
{
    Q_ASSERT(v.from == From::Table);
    return TIniFile::parseInteger(QString::fromLatin1(v.text), 0);
}

template<typename T, size_t N>
void readFlags(const TIniFile &settings, const Key<bool> *const (&keys)[N], T &flags)
{
    for (size_t i = 0; i < N; ++i)
        flags.shown[i] = read(settings, *keys[i]);
}

template<typename T, size_t N>
void writeFlags(TIniFile &settings, const Key<bool> *const (&keys)[N], const T &flags)
{
    for (size_t i = 0; i < N; ++i)
        write(settings, *keys[i], flags.shown[i]);
}

const Key<bool> *const kPanelKeys[Panels::Count] = {&VisibleLinkBar,       &VisibleExplorer,
                                                    &VisibleCodeInspector, &VisiblePerlOut,
                                                    &VisibleConsole,       &VisibleTipOfDay};
const Key<bool> *const kBarKeys[Bars::Count] = {&VisibleFileMenu, &VisibleStandardBar,
                                                &VisibleTemplateBar, &VisibleHtmlBar};

} // namespace

bool read(const TIniFile &settings, const Key<bool> &key, Reader reader)
{
    const Entry &e = key.entry;
    return settings.ReadBool(section(e), name(e), number(missingFor(e, reader)) != 0);
}

int read(const TIniFile &settings, const Key<int> &key, Reader reader)
{
    const Entry &e = key.entry;
    return settings.ReadInteger(section(e), name(e), number(missingFor(e, reader)));
}

QString read(const TIniFile &settings, const Key<QString> &key, Reader reader,
             const QString &programDir)
{
    const Entry &e = key.entry;
    if (std::optional<QString> stored = settings.ReadValue(section(e), name(e)))
        return *stored;
    return missingText(missingFor(e, reader), programDir);
}

void write(TIniFile &settings, const Key<bool> &key, bool value)
{
    settings.WriteBool(section(key.entry), name(key.entry), value);
}

void write(TIniFile &settings, const Key<int> &key, int value)
{
    settings.WriteInteger(section(key.entry), name(key.entry), value);
}

void write(TIniFile &settings, const Key<QString> &key, const QString &value)
{
    settings.WriteString(section(key.entry), name(key.entry), value);
}

QString resetText(const Entry &entry, const ResetValues &values)
{
    const Value &v = entry.reset;
    const QString tail = QString::fromLatin1(v.text);
    switch (v.from) {
    case From::Table:
        return tail;
    case From::WizardPerl:
        return values.perl;
    case From::WizardWebServer:
        return values.webServer;
    case From::WizardAutostart:
        return values.runWebServer ? QStringLiteral("1") : QStringLiteral("0");
    case From::LocalHost:
        return values.localHost + tail;
    case From::RunScratch:
        return values.runAutoSaveAs;
    case From::CommandInterpreter:
        return values.command;
    case From::NotReset:
    case From::DetectedPerl:
    case From::WebServerLauncher:
    case From::CgiBinFolder:
        break;
    }
    Q_ASSERT_X(false, "Config", "a key the reset does not write");
    return tail;
}

Panels Panels::read(const TIniFile &settings)
{
    Panels p;
    readFlags(settings, kPanelKeys, p);
    return p;
}

void Panels::write(TIniFile &settings) const
{
    writeFlags(settings, kPanelKeys, *this);
}

Bars Bars::read(const TIniFile &settings)
{
    Bars b;
    readFlags(settings, kBarKeys, b);
    return b;
}

void Bars::write(TIniFile &settings) const
{
    writeFlags(settings, kBarKeys, *this);
}

Inspector Inspector::read(const TIniFile &settings)
{
    Inspector i;
    i.vars = Config::read(settings, InspectVars);
    i.subroutines = Config::read(settings, InspectSubroutines);
    i.onTyping = Config::read(settings, InspectOnTyping);
    i.periodically = Config::read(settings, InspectPeriodically);
    i.intervalMs = Config::read(settings, InspectInterval);
    return i;
}

void Inspector::write(TIniFile &settings) const
{
    Config::write(settings, InspectVars, vars);
    Config::write(settings, InspectSubroutines, subroutines);
    Config::write(settings, InspectOnTyping, onTyping);
    Config::write(settings, InspectPeriodically, periodically);
    Config::write(settings, InspectInterval, intervalMs);
}

AutoSaving AutoSaving::read(const TIniFile &settings)
{
    return {Config::read(settings, AutoSave), Config::read(settings, AutoSaveInterval)};
}

void AutoSaving::write(TIniFile &settings) const
{
    Config::write(settings, AutoSave, on);
    Config::write(settings, AutoSaveInterval, intervalMs);
}

Editing Editing::read(const TIniFile &settings)
{
    Editing e;
    e.lineNumbers = Config::read(settings, LineNumbers);
    e.currentLine = Config::read(settings, CurrentLine);
    e.brackets = Config::read(settings, BracketMatching);
    e.tabWidth = std::clamp(Config::read(settings, TabWidth), 1, kMaxTabWidth);
    e.tabSpaces = Config::read(settings, TabSpaces);
    return e;
}

void Editing::write(TIniFile &settings) const
{
    Config::write(settings, LineNumbers, lineNumbers);
    Config::write(settings, CurrentLine, currentLine);
    Config::write(settings, BracketMatching, brackets);
    Config::write(settings, TabWidth, tabWidth);
    Config::write(settings, TabSpaces, tabSpaces);
}

} // namespace Config
