#pragma once

#include "core/run/runschemes.h"

#include <QString>
#include <QStringList>

// A program and the words it is given. The words reach the program as they are: no shell and
// no splitting stands between, so a path may hold blanks, quotes or line breaks.
struct Command
{
    Command() = default;
    Command(QString program, QStringList arguments)
        : program(std::move(program))
        , arguments(std::move(arguments))
    {}

    QString program;
    QStringList arguments;
    // Where the program runs; empty: where the IDE itself runs.
    QString workingDirectory;
    // The program's standard input stays open for what the user types (Runner::writeInput)
    // until it is closed; otherwise it is at its end from the start, so nothing waits for it.
    bool keepInputOpen = false;
    // Only for showing the command: the text before each argument (one blank where none is
    // given) and after the last one. They keep the spelling the user typed and the one the
    // run dialog has always shown, such as " -wT  -c " or a trailing blank.
    QStringList spacing;
    QString trailer;

    // The command for a person to read. A word holding white space or a double quote stands
    // in double quotes, a quote inside it as \". It is never split again.
    QString display() const;
    // Why no program can be given this command (a word with a NUL character, or one that has
    // no encoding), or empty when it can be run.
    QString problem() const;

    // A line typed by the user, split into words as QProcess::splitCommand does: double
    // quotes group, three of them in a row stand for one; single quotes are ordinary.
    static Command fromTyped(const QString &line);
};

// Everything the run dialog knows when "Run" is pressed.
struct RunRequest
{
    QString interpreter;
    RunScheme scheme;        // the current scheme, read from the file at the moment of running
    bool customMode = false; // the options page's radio pair, not the scheme's UseCustom
    bool syntaxCheck = false;
    bool debug = false;
    bool namedDebugger = false; // "-d:name" instead of "-d"
    QString debugger;           // empty: "-d" all the same
    QString script;
    QString parameters;
    // The script's own folder is the working folder, so that it finds the files beside it.
    bool inScriptFolder = true;
};

// The folder a script runs in: its own one when asked and it has one, else empty (where the IDE
// runs, as a new script that has no file yet does).
QString scriptFolder(const QString &script, bool inScriptFolder);

// "wT" from the six switches, in the fixed order w, T, U, v, S, h.
QString switchLetters(const RunScheme &scheme);

// The console's "internal command": the interpreter (one path, trimmed), the words of its
// switch (e.g. " -c ") and the typed line as one argument.
Command interpreterCommand(const QString &interpreter, const QString &interpreterSwitch,
                           const QString &line);

// The interpreter with the scheme's switches (one word of letters, or the custom text split
// into words), "-c", the debug switch, the script as one word and the parameters split into
// words. Its display() is the line the run dialog has always shown: interpreter, switches,
// script, a blank and the parameters as typed.
Command buildCommand(const RunRequest &request);
