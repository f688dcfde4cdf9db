#pragma once

#include "core/run/consolehistory.h"

#include <QLineEdit>
#include <QWidget>

class PanelRun;
class QCheckBox;
class TIniFile;

// The line the user types into while a run reads its input. Ctrl+D ends that input, as on a
// terminal, instead of deleting a character; Up and Down bring back the lines sent before in
// this session (a debugger's commands above all).
class RunInputLine : public QLineEdit
{
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;
    void remember(const QString &line) { m_history.add(line); }

signals:
    void endOfInput();

protected:
    bool event(QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    ConsoleHistory m_history{200};
};

// Under the Perl output: the line wired to the running script's standard input and the check
// box that has runs keep it open. Enter sends the line with its line break; the line is usable
// only while the run's input is open.
class RunInputBar : public QWidget
{
    Q_OBJECT
public:
    RunInputBar(PanelRun *run, TIniFile &settings, QWidget *parent = nullptr);

    // Whether the next run keeps its input open (debug runs always do).
    bool keepInputOpen() const;

private:
    void send();
    void endInput();
    void follow(bool open);

    PanelRun *m_run;
    TIniFile &m_settings;
    RunInputLine *m_line;
    QCheckBox *m_keep;
};
