#include "core/settings/resetdefaults.h"

#include "core/settings/inifile.h"

namespace {

ResetStep integer(const char *label, const char *section, const char *key, int value)
{
    return {QString::fromLatin1(label), [=](TIniFile &ini) {
                ini.WriteInteger(QString::fromLatin1(section), QString::fromLatin1(key), value);
            }};
}

ResetStep text(const char *label, const char *key, const QString &value)
{
    return {QString::fromLatin1(label), [=](TIniFile &ini) {
                ini.WriteString(QStringLiteral("Config"), QString::fromLatin1(key), value);
            }};
}

ResetStep erase(const char *label, const char *section)
{
    return {QString::fromLatin1(label), [=](TIniFile &ini) {
                ini.EraseSection(QString::fromLatin1(section));
            }};
}

} // namespace

QVector<ResetStep> resetSteps(const ResetValues &v)
{
    const char *C = "Config";
    const char *I = "CodeInspector";
    return {
            integer("recent files max count", C, "RecentCount", 10),
            {QStringLiteral("auto run websrv"),
             [run = v.runWebServer](TIniFile &ini) {
                 ini.WriteBool(QStringLiteral("Config"), QStringLiteral("RunWebServer"), run);
             }},
            integer("init view", C, "InitialView", 1),
            integer("open last file", C, "OpenLast", 0),
            integer("syntax highlight", C, "SyntaxHighlighting", 1),
            integer("synhigh on newline", C, "HighlightOnNewLine", 1),
            integer("synhigh on keystroke", C, "HighlightOnKeyStroke", 0),
            integer("visible: links", C, "Visible_LinkBar", 1),
            integer("visible: explorer", C, "Visible_Explorer", 1),
            integer("visible: code inspector", C, "Visible_CodeInspector", 1),
            integer("visible: perlout", C, "Visible_PerlOut", 1),
            integer("visible: console", C, "Visible_Console", 0),
            integer("visible: tips", C, "Visible_TipOfDay", 1),
            integer("visible: filemenu", C, "Visible_Sym_FileMenu", 1),
            integer("visible: speedbar", C, "Visible_Sym_Standard", 1),
            integer("visible: templates", C, "Visible_Sym_Templates", 1),
            integer("visible: html btn", C, "Visible_Sym_HTML", 0),
            integer("template captions", C, "TemplateCaptions", 1),
            text("last compiler set", "LastRunSetting", QStringLiteral("Temporary")),
            text("run autosave file", "Run_AutoSaveAs", v.runAutoSaveAs),
            integer("run autosave mode", C, "Run_AutoSave", 0),
            integer("autosave", C, "AutoSave", 0),
            integer("autosave interval", C, "AutoSaveInterval", 300000),
            text("command", "Cmd", v.command),
            text("reset harddrive ID", "HD_ID", QString()),
            integer("welcome", C, "Welcome", 0),
            integer("code ins: vars", I, "Vars", 1),
            integer("code ins: subs", I, "Subroutines", 1),
            integer("code ins: type update", I, "UpdateOnTyping", 1),
            integer("code ins: update interval mode", I, "UpdateIntervalActive", 1),
            integer("code ins: update interval", I, "UpdateInterval", 60000),
            erase("reset custom links", "CustomLinks"),
            erase("reset recent URLs", "RecentURLs"),
            erase("reset recent files", "Recent"),
            erase("reset recent files", "SRecent"),
            {QStringLiteral("setting locations..."),
             [v](TIniFile &ini) {
                 const QString s = QStringLiteral("Files_Directories");
                 ini.WriteString(s, QStringLiteral("Perl"), v.perl);
                 ini.WriteString(s, QStringLiteral("WebServer"), v.webServer);
                 ini.WriteString(s, QStringLiteral("cgi-bin"), QString());
                 ini.WriteString(s, QStringLiteral("LocalHost"),
                                 v.localHost + QStringLiteral("/cgi-bin"));
             }},
            {QStringLiteral("finishing..."), nullptr},
    };
}
