#pragma once

#include <QObject>

class CommandTable;
class DocumentSource;
class HighlightController;
class TIniFile;
struct TScriptEditor;

// How every editor shows and indents a script (the [Editor] settings), and the line command
// "Comment / uncomment lines" on the current script.
class EditingController : public QObject
{
    Q_OBJECT
public:
    EditingController(TIniFile &settings, const CommandTable &commands, const DocumentSource &docs,
                      HighlightController &highlighting, QObject *parent);

    // A new editor takes the settings as they are.
    void attach(TScriptEditor &doc);
    // Every open editor follows the settings at once.
    void applyOptions();

private:
    TIniFile &m_settings;
    const DocumentSource &m_docs;
    HighlightController &m_highlighting;
};
