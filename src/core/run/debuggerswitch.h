#pragma once

#include "core/run/commandline.h"

#include <QString>

// The module a command's "-d:Name" switch loads ("Devel::Name", or "Name" for "-d:-Name"), or
// empty when the command uses perl's own debugger or none. Only switches before the script
// count; what follows it belongs to the script.
QString debuggerModule(const Command &command);

// What to tell the user when a run's output says perl could not find that module, else empty.
QString missingDebuggerMessage(const QString &module, QStringView output);
