#pragma once

#include <QObject>
#include <QString>

#include <functional>

class PanelRun;
class QCheckBox;
class QPlainTextEdit;

// The console panel: Enter runs the last line, as a program of its own or, with "internal
// command" checked, through the command interpreter; what it writes is appended. "cls" clears
// the panel. One command runs at a time; Ctrl+C (with nothing selected) stops it.
class ConsolePanel : public QObject
{
    Q_OBJECT
public:
    ConsolePanel(QPlainTextEdit *console, QCheckBox *internalCommand,
                 std::function<QString()> interpreter, QObject *parent = nullptr);

    // What Enter does; false when it was left to the panel (a blank line).
    bool ConsoleKeyPress();
    // The last line, a trailing empty line not counting.
    QString command() const;
    PanelRun *run() const { return m_run; }

    static QString clearWord() { return QStringLiteral("cls"); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPlainTextEdit *m_console;
    QCheckBox *m_internal;
    std::function<QString()> m_interpreter;
    PanelRun *m_run;
};
