#include "ui/editor/editingcontroller.h"

#include "core/settings/configkeys.h"
#include "ui/common/commands.h"
#include "ui/editor/documentsource.h"
#include "ui/editor/highlighting.h"
#include "ui/editor/lineediting.h"
#include "ui/editor/scripteditor.h"

namespace {

void applyTo(ScriptEditorWidget &editor, const Config::Editing &e)
{
    editor.setLineNumbersShown(e.lineNumbers);
    editor.setCurrentLineShown(e.currentLine);
    editor.setBracketsShown(e.brackets);
    editor.setIndentStyle(Indent::Style{e.tabWidth, e.tabSpaces});
}

} // namespace

EditingController::EditingController(TIniFile &settings, const CommandTable &commands,
                                     const DocumentSource &docs, HighlightController &highlighting,
                                     QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_docs(docs)
    , m_highlighting(highlighting)
{
    commands.onTriggered({"Commentlines1"}, this, [this] {
        // A script still loading is read-only.
        TScriptEditor *doc = m_docs.current();
        if (!doc || doc->Editor->isReadOnly())
            return;
        // A line that became a comment, or code again, takes its colours at once.
        m_highlighting.highlight(*doc, LineEditing::toggleComment(*doc->Editor));
    });
}

void EditingController::attach(TScriptEditor &doc)
{
    applyTo(*doc.Editor, Config::Editing::read(m_settings));
}

void EditingController::applyOptions()
{
    const Config::Editing e = Config::Editing::read(m_settings);
    for (const auto &doc : m_docs.all())
        applyTo(*doc->Editor, e);
}
