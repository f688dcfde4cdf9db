#include "ui/tools/toolcommands.h"

#include "ui/common/commands.h"
#include "ui/tools/aboutform.h"
#include "ui/tools/bugform.h"
#include "ui/tools/filepropform.h"
#include "ui/tools/unixconvform.h"

#include <QAction>
#include <QWidget>

ToolCommands::ToolCommands(TIniFile &settings, const CommandTable &commands, DocumentSource &docs,
                           QWidget *parent)
    : QObject(parent)
    , m_unixConv(new TUNIXConvForm(parent))
    , m_props(new TFilePropForm(docs, parent))
    , m_about(new TAboutForm(settings, parent))
    , m_bug(new TBugForm(parent))
{
    commands["TrimfileforUNIX1"]->setEnabled(true);
    commands.onTriggered({"TrimfileforUNIX1"}, this, [this] { m_unixConv->open(); });
    for (const char *n : {"Properties1", "Properties2", "Properties3", "btProperties"})
        commands[n]->setEnabled(true);
    commands.onTriggered({"Properties1", "Properties2", "Properties3", "btProperties"}, this,
                         [this] { m_props->open(); });
    commands["About1"]->setEnabled(true);
    commands.onTriggered({"About1"}, this, [this] { m_about->open(); });
    // The menu entry stays hidden: the report has no support address to go to yet.
    commands["Reportabug1"]->setEnabled(true);
    commands.onTriggered({"Reportabug1"}, this, [this] { m_bug->open(); });
}
