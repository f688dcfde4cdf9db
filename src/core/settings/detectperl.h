#pragma once

#include <QString>

// The interpreter named by a registered open command such as `/usr/bin/perl "%1" %*`: the text
// before the first `"%1`, without its last character. Empty when there is no quoted "%1".
QString DetectPerlFromCommand(const QString &command);

// The interpreter of the desktop's open command for Perl files, or empty.
QString DetectPerl();
