#include "core/settings/resetdefaults.h"

#include "core/settings/configkeys.h"
#include "core/settings/inifile.h"

#include <array>

namespace {

using namespace Config;

// One step of the reset: its label, then the keys it writes (each with its reset value from
// the key table) or the section it erases.
struct Step
{
    const char *label;
    std::array<const Entry *, 4> keys = {};
    QString erase = {};
};

const Step kSteps[] = {
        {"recent files max count", {&RecentCount.entry}},
        {"auto run websrv", {&RunWebServer.entry}},
        {"init view", {&InitialView.entry}},
        {"open last file", {&OpenLast.entry}},
        {"syntax highlight", {&SyntaxHighlighting.entry}},
        {"synhigh on newline", {&HighlightOnNewLine.entry}},
        {"synhigh on keystroke", {&HighlightOnKeyStroke.entry}},
        {"visible: links", {&VisibleLinkBar.entry}},
        {"visible: explorer", {&VisibleExplorer.entry}},
        {"visible: code inspector", {&VisibleCodeInspector.entry}},
        {"visible: perlout", {&VisiblePerlOut.entry}},
        {"visible: console", {&VisibleConsole.entry}},
        {"visible: tips", {&VisibleTipOfDay.entry}},
        {"visible: filemenu", {&VisibleFileMenu.entry}},
        {"visible: speedbar", {&VisibleStandardBar.entry}},
        {"visible: templates", {&VisibleTemplateBar.entry}},
        {"visible: html btn", {&VisibleHtmlBar.entry}},
        {"template captions", {&TemplateCaptions.entry}},
        {"last compiler set", {&LastRunSetting.entry}},
        {"run autosave file", {&RunAutoSaveAs.entry}},
        {"run autosave mode", {&RunAutoSave.entry}},
        {"autosave", {&AutoSave.entry}},
        {"autosave interval", {&AutoSaveInterval.entry}},
        {"command", {&Cmd.entry}},
        {"reset harddrive ID", {&DriveId.entry}},
        {"welcome", {&Welcome.entry}},
        {"code ins: vars", {&InspectVars.entry}},
        {"code ins: subs", {&InspectSubroutines.entry}},
        {"code ins: type update", {&InspectOnTyping.entry}},
        {"code ins: update interval mode", {&InspectPeriodically.entry}},
        {"code ins: update interval", {&InspectInterval.entry}},
        {"reset custom links", {}, CustomLinksSection},
        {"reset recent URLs", {}, RecentUrlsSection},
        {"reset recent files", {}, RecentSection},
        {"reset recent files", {}, QString::fromLatin1(LastFilesSection)},
        {"setting locations...",
         {&PerlPath.entry, &WebServerPath.entry, &CgiBin.entry, &LocalHost.entry}},
        {"finishing...", {}},
};

} // namespace

QVector<ResetStep> resetSteps(const ResetValues &values)
{
    QVector<ResetStep> steps;
    for (const Step &step : kSteps) {
        std::function<void(TIniFile &)> write;
        if (!step.erase.isEmpty()) {
            write = [section = step.erase](TIniFile &ini) {
                ini.EraseSection(section);
            };
        } else if (step.keys[0]) {
            QVector<QPair<const Entry *, QString>> writes;
            for (const Entry *e : step.keys) {
                if (e)
                    writes.append({e, resetText(*e, values)});
            }
            write = [writes](TIniFile &ini) {
                for (const auto &[e, text] : writes)
                    ini.WriteString(QString::fromLatin1(e->section), QString::fromLatin1(e->name),
                                    text);
            };
        }
        steps.append({QString::fromLatin1(step.label), write});
    }
    return steps;
}
