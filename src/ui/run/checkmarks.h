#pragma once

#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>

class DocumentSource;
class PanelRun;
class QPlainTextEdit;
class ScriptEditorWidget;

// After a syntax check, the lines perl found fault with in the checked script are marked in
// that script's line numbers, with perl's messages as their tooltip, until the next check of
// the script; a check without faults takes the marks away.
class CheckMarks : public QObject
{
    Q_OBJECT
public:
    CheckMarks(QPlainTextEdit *output, PanelRun *run, DocumentSource &docs, QObject *parent);

    // The next run to start in the output panel checks script, run in folder.
    void checking(const QString &script, const QString &folder);
    // No run started after all: the next one is no check.
    void disarm() { m_armed = false; }

    // Line -> messages of what output says about script.
    static QMap<int, QString> faults(const QString &output, const QString &script,
                                     const QString &folder);

private:
    void checked();

    QPlainTextEdit *m_output;
    DocumentSource &m_docs;
    QString m_script;
    QString m_folder;
    QPointer<ScriptEditorWidget> m_editor;
    bool m_armed = false;
    bool m_due = false; // the running command is the check
};
