#pragma once

#include "core/run/runschemes.h"

#include <QString>

// Everything the run dialog knows when "Run" is pressed.
struct RunRequest
{
    QString interpreter;
    RunScheme scheme;        // the current scheme, read from the file at the moment of running
    bool customMode = false; // the options page's radio pair, not the scheme's UseCustom
    bool syntaxCheck = false;
    bool debug = false;
    bool namedDebugger = false; // "-d:name" instead of "-d"
    QString debugger;
    QString script;
    QString parameters;
};

// " -wT " from the switches, " <custom> " in custom mode, "" when no switch is on.
QString switchString(const RunScheme &scheme, bool customMode);

// interpreter + switches + script + " " + parameters, character for character as the run
// dialog has always built it, except that an interpreter or script path holding a blank is
// put in double quotes so that it stays one word.
QString buildCommandLine(const RunRequest &request);

// The path in double quotes when it holds white space and is not quoted already; a double
// quote inside becomes """, which is how QProcess::splitCommand reads one back.
QString quoteIfBlank(const QString &path);
