#pragma once

#include <QDateTime>
#include <QStringList>

#include <functional>

class TIniFile;

// The recent-files rules over section "Recent" (key: time of opening, value: path, oldest first).
namespace RecentFiles {

QString keyFor(const QDateTime &when);

// Records an opening: drops the oldest entry when the list holds maxCount or more, then adds
// the path unless it is listed already (ignoring case), under a key no other entry has. list
// mirrors the section's values and is re-read afterwards.
void recordOpening(TIniFile &settings, QStringList &list, const QString &path, int maxCount,
                   const QDateTime &when);

// The paths the menu lists: every remembered one that still exists, oldest first.
QStringList menuEntries(const QStringList &list, const std::function<bool(const QString &)> &exists);

} // namespace RecentFiles
