#pragma once

#include <QString>

class TIniFile;
struct ResetValues;

// Every key of etc/quillforge.cfg, each in one row: section, name, type (the Key's parameter),
// what the first-run reset writes and what a reader gets when the key is missing. Values are
// the file's text ("1", "300000"); a value that no literal can give names where it comes from.
// The reset's steps and labels are in resetdefaults.cpp; call sites read and write through
// Config::read and Config::write below, never with the names spelled out.
namespace Config {

enum class From {
    Table,              // the row's text
    NotReset,           // the reset leaves the key alone
    WizardPerl,         // the interpreter chosen in the first-run wizard
    WizardWebServer,    // the web server chosen there
    WizardAutostart,    // its "Run webserver" check box
    DetectedPerl,       // the desktop's interpreter for Perl files
    WebServerLauncher,  // the launcher shipped in the program folder
    CgiBinFolder,       // cgi-bin in the program folder
    LocalHost,          // the local web server's address, followed by the row's text
    RunScratch,         // the scratch script a run in mode 2 writes
    CommandInterpreter, // the console's interpreter
};

struct Value
{
    From from = From::Table;
    const char *text = "";
};

constexpr Value text(const char *t)
{
    return {From::Table, t};
}
constexpr Value from(From f, const char *t = "")
{
    return {f, t};
}

// The readers that pass a default of their own for some key.
enum class Reader { Any, OptionsDialog };

struct Entry
{
    const char *section;
    const char *name;
    Value reset;
    Value missing; // what every reader gets for a missing key, but otherReader
    Reader otherReader = Reader::Any;
    Value otherMissing = {};
    const char *why = nullptr; // why otherReader differs
};

// T is the stored type: bool, int or QString.
template<typename T>
struct Key
{
    Entry entry;
};

inline constexpr char ConfigSection[] = "Config";
inline constexpr char InspectorSection[] = "CodeInspector";
inline constexpr char FilesSection[] = "Files_Directories";
inline constexpr char LastFilesSection[] = "SRecent";
inline constexpr char EditorSection[] = "Editor";
// Sections of lists whose keys are made at run time; the reset erases them.
inline const QString RecentSection = QStringLiteral("Recent");
inline const QString RecentUrlsSection = QStringLiteral("RecentURLs");
inline const QString CustomLinksSection = QStringLiteral("CustomLinks");

namespace Rows {
constexpr const char *C = ConfigSection;
constexpr const char *I = InspectorSection;
constexpr const char *F = FilesSection;
constexpr const char *S = LastFilesSection;
constexpr const char *E = EditorSection;
constexpr Value On = text("1");
constexpr Value Off = text("0");
constexpr Value None = text("");
constexpr Value NotReset = from(From::NotReset);
} // namespace Rows
using namespace Rows;

// Section, name, reset, missing[, the reader that differs, its default, why].
inline constexpr Key<int> RecentCount{{C, "RecentCount", text("10"), text("8")}};
inline constexpr Key<bool> RunWebServer{{C, "RunWebServer", from(From::WizardAutostart), Off}};
inline constexpr Key<int> InitialView{{C, "InitialView", text("1"), text("0")}};
inline constexpr Key<bool> OpenLast{{C, "OpenLast", Off, Off, Reader::OptionsDialog, On,
                                     "the dialog suggests reopening; start-up opens nothing "
                                     "it was not asked to"}};
inline constexpr Key<bool> SyntaxHighlighting{{C, "SyntaxHighlighting", On, On}};
inline constexpr Key<bool> HighlightOnNewLine{{C, "HighlightOnNewLine", On, On}};
inline constexpr Key<bool> HighlightOnKeyStroke{{C, "HighlightOnKeyStroke", Off, Off}};
// A missing visibility shows the part, although the reset hides some: a damaged file must not
// hide what the user has to reach to repair it.
inline constexpr Key<bool> VisibleLinkBar{{C, "Visible_LinkBar", On, On}};
inline constexpr Key<bool> VisibleExplorer{{C, "Visible_Explorer", On, On}};
inline constexpr Key<bool> VisibleCodeInspector{{C, "Visible_CodeInspector", On, On}};
inline constexpr Key<bool> VisiblePerlOut{{C, "Visible_PerlOut", On, On}};
inline constexpr Key<bool> VisibleConsole{{C, "Visible_Console", Off, On}};
inline constexpr Key<bool> VisibleTipOfDay{{C, "Visible_TipOfDay", On, On}};
inline constexpr Key<bool> VisibleFileMenu{{C, "Visible_Sym_FileMenu", On, On}};
inline constexpr Key<bool> VisibleStandardBar{{C, "Visible_Sym_Standard", On, On}};
inline constexpr Key<bool> VisibleTemplateBar{{C, "Visible_Sym_Templates", On, On}};
inline constexpr Key<bool> VisibleHtmlBar{{C, "Visible_Sym_HTML", Off, On}};
inline constexpr Key<bool> TemplateCaptions{{C, "TemplateCaptions", On, On}};
inline constexpr Key<QString> LastRunSetting{{C, "LastRunSetting", text("Temporary"), None}};
inline constexpr Key<QString> RunAutoSaveAs{
        {C, "Run_AutoSaveAs", from(From::RunScratch), from(From::RunScratch)}};
inline constexpr Key<int> RunAutoSave{{C, "Run_AutoSave", text("0"), text("1")}};
inline constexpr Key<bool> RunInScriptFolder{{C, "RunInScriptFolder", On, On}};
// perlcritic's severity, 1 (every finding) to 5 (only the gravest).
inline constexpr Key<int> CriticSeverity{{C, "CriticSeverity", text("5"), text("5")}};
// Runs keep their standard input open for the line under the Perl output.
inline constexpr Key<bool> KeepInputOpen{{C, "KeepInputOpen", Off, Off}};
inline constexpr Key<bool> AutoSave{{C, "AutoSave", Off, Off}};
// Milliseconds. A missing period is a token 7, which the main window raises to its minimum.
inline constexpr Key<int> AutoSaveInterval{{C, "AutoSaveInterval", text("300000"), text("7")}};
inline constexpr Key<QString> Cmd{
        {C, "Cmd", from(From::CommandInterpreter), from(From::CommandInterpreter)}};
inline constexpr Key<bool> UseCmd{{C, "UseCmd", NotReset, Off}};
inline constexpr Key<QString> DriveId{{C, "HD_ID", None, None}};
inline constexpr Key<bool> Welcome{{C, "Welcome", Off, Off}};

inline constexpr Key<bool> InspectVars{{I, "Vars", On, On}};
inline constexpr Key<bool> InspectSubroutines{{I, "Subroutines", On, On}};
inline constexpr Key<bool> InspectOnTyping{{I, "UpdateOnTyping", On, On}};
inline constexpr Key<bool> InspectPeriodically{{I, "UpdateIntervalActive", On, On}};
// Milliseconds; the options dialog shows whole seconds. The inspector raises a period below
// its minimum (0 and less included) to that minimum, as the main window does for AutoSaveInterval.
inline constexpr Key<int> InspectInterval{{I, "UpdateInterval", text("60000"), text("60000")}};

inline constexpr Key<QString> PerlPath{
        {F, "Perl", from(From::WizardPerl), from(From::DetectedPerl)}};
// The dialog and the start agree: a bare server program found on the machine would start
// without a configuration and end at once.
inline constexpr Key<QString> WebServerPath{
        {F, "WebServer", from(From::WizardWebServer), from(From::WebServerLauncher)}};
inline constexpr Key<QString> CgiBin{{F, "cgi-bin", None, from(From::CgiBinFolder)}};
inline constexpr Key<QString> LocalHost{
        {F, "LocalHost", from(From::LocalHost, "/cgi-bin"), from(From::LocalHost)}};

// Kept by opening files; the reset erases the section.
inline constexpr Key<QString> LastOpened{{S, "LastOpened", NotReset, None}};
inline constexpr Key<QString> OpenFolder{{S, "Perls", NotReset, None}};

// How the editors show and indent a script. The reset leaves them as the user set them.
inline constexpr Key<bool> LineNumbers{{E, "LineNumbers", NotReset, On}};
inline constexpr Key<bool> CurrentLine{{E, "CurrentLine", NotReset, On}};
inline constexpr Key<bool> BracketMatching{{E, "BracketMatching", NotReset, On}};
inline constexpr Key<int> TabWidth{{E, "TabWidth", NotReset, text("4")}};
inline constexpr Key<bool> TabSpaces{{E, "TabSpaces", NotReset, Off}};

bool read(const TIniFile &settings, const Key<bool> &key, Reader reader = Reader::Any);
int read(const TIniFile &settings, const Key<int> &key, Reader reader = Reader::Any);
// programDir: for the defaults inside the program folder (CgiBin, WebServerPath).
QString read(const TIniFile &settings, const Key<QString> &key, Reader reader = Reader::Any,
             const QString &programDir = QString());

void write(TIniFile &settings, const Key<bool> &key, bool value);
void write(TIniFile &settings, const Key<int> &key, int value);
void write(TIniFile &settings, const Key<QString> &key, const QString &value);

// What the reset writes for a key, as text.
QString resetText(const Entry &entry, const ResetValues &values);

// The six panels of the main window, in the order of the options' layout preview.
struct Panels
{
    enum Panel { LinkBar, Explorer, CodeInspector, PerlOut, Console, TipOfDay, Count };
    bool shown[Count] = {};

    static Panels read(const TIniFile &settings);
    void write(TIniFile &settings) const;
};

// The menu bar and the three toolbars.
struct Bars
{
    enum Bar { FileMenu, Standard, Templates, Html, Count };
    bool shown[Count] = {};

    static Bars read(const TIniFile &settings);
    void write(TIniFile &settings) const;
};

// What the code inspector lists and when it refreshes itself.
struct Inspector
{
    bool vars = false;
    bool subroutines = false;
    bool onTyping = false;
    bool periodically = false;
    int intervalMs = 0;

    static Inspector read(const TIniFile &settings);
    void write(TIniFile &settings) const;
};

// Periodic saving of the current script.
struct AutoSaving
{
    bool on = false;
    int intervalMs = 0;

    static AutoSaving read(const TIniFile &settings);
    void write(TIniFile &settings) const;
};

// How the editors show and indent a script.
struct Editing
{
    // A tab stop closer than one column or further than this is taken as the nearest of them.
    static constexpr int kMaxTabWidth = 16;

    bool lineNumbers = true;
    bool currentLine = true;
    bool brackets = true;
    int tabWidth = 4;
    bool tabSpaces = false;

    static Editing read(const TIniFile &settings);
    void write(TIniFile &settings) const;
};

} // namespace Config
