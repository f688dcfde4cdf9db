#pragma once

#include "core/run/runner.h"

#include <QString>

// The line after a run's output that says how it ended and how long it took, e.g.
// "--- exit status 0, 1.24 s ---". For a crash, exitCode is the signal that ended the run and
// signalName what the system calls it (may be empty).
QString runEndingLine(int exitCode, Runner::Ending ending, qint64 elapsedMs,
                      const QString &signalName = QString());
