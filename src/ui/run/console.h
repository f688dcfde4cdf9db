#pragma once

#include "core/run/consolehistory.h"

#include <QObject>
#include <QString>

#include <functional>

class PanelRun;
class QCheckBox;
class QPlainTextEdit;

// The console panel: Enter runs the last line, as a program of its own or, with "internal
// command" checked, through the command interpreter; what it writes is appended. "cls" clears
// the panel. One command runs at a time; Ctrl+C (with nothing selected) stops it.
//
// Up and Down on the last line recall the lines entered before, also in earlier sessions
// (historyFile, one line each). "cd" lines change the folder later commands run in; the
// console handles them itself, as a child process could not change it for us. The folder
// starts at the home folder and is shown in the prompt that stands on each new command line.
class ConsolePanel : public QObject
{
    Q_OBJECT
public:
    ConsolePanel(QPlainTextEdit *console, QCheckBox *internalCommand,
                 std::function<QString()> interpreter, QString historyFile = QString(),
                 QObject *parent = nullptr);

    // What Enter does; false when it was left to the panel (a blank line).
    bool ConsoleKeyPress();
    // The last line without the prompt, a trailing empty line not counting.
    QString command() const;
    QString folder() const { return m_folder; }
    // What stands before the typed command: the folder, then "> ".
    QString prompt() const;
    const ConsoleHistory &history() const { return m_history; }
    PanelRun *run() const { return m_run; }

    static QString clearWord() { return QStringLiteral("cls"); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void changeFolder(const ConsoleCd &cd);
    void showPrompt();
    void recall(bool up);
    void loadHistory();
    void saveHistory();

    QPlainTextEdit *m_console;
    QCheckBox *m_internal;
    std::function<QString()> m_interpreter;
    PanelRun *m_run;
    ConsoleHistory m_history;
    QString m_historyFile;
    QString m_folder;
    QString m_previousFolder;
};
