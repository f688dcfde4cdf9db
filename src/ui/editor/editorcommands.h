#pragma once

#include "ui/editor/findform.h"

#include <QObject>

class CommandTable;
class DocumentSource;
class DocumentText;
class QWidget;

// The editing commands of the current script (clipboard, undo, select all, delete), the find
// and replace dialog with finding again (F3, Shift+F3), and the "goto top / bottom" buttons
// beside the editors.
class EditorCommands : public QObject
{
    Q_OBJECT
public:
    EditorCommands(const CommandTable &commands, DocumentSource &docs, DocumentText *texts,
                   QWidget *parent);

    // The narrow column of buttons at the left of the editors.
    QWidget *sideButtons() const { return m_sideButtons; }
    TFindForm *findForm() const { return m_findForm; }
    void showFind(TFindForm::Page page = TFindForm::Page::Find);
    // The next (previous) occurrence of what was searched last; the dialog when there is none.
    void findAgain(bool backward);

signals:
    void statusMessage(const QString &text);

private:
    DocumentSource &m_docs;
    QWidget *m_sideButtons;
    TFindForm *m_findForm;
};
