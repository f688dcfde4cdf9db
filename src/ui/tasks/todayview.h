#pragma once

#include <QString>

class TIniFile;

// Writes doc/template.html from the template doc/today/index.html of the program folder and
// returns its path; throws IoError.
QString writeTodayPage(const QString &programDir, const TIniFile &settings, int taskCount);
