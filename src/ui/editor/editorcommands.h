#pragma once

#include <QObject>

class CommandTable;
class DocumentSource;
class DocumentText;
class QWidget;
class TFindForm;

// The editing commands of the current script (clipboard, undo, select all, delete), the find
// dialog, and the "goto top / bottom" buttons beside the editors.
class EditorCommands : public QObject
{
    Q_OBJECT
public:
    EditorCommands(const CommandTable &commands, DocumentSource &docs, DocumentText *texts,
                   QWidget *parent);

    // The narrow column of buttons at the left of the editors.
    QWidget *sideButtons() const { return m_sideButtons; }
    TFindForm *findForm() const { return m_findForm; }
    void showFind();

private:
    DocumentSource &m_docs;
    QWidget *m_sideButtons;
    TFindForm *m_findForm;
};
