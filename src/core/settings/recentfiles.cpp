#include "core/settings/recentfiles.h"

#include "core/settings/inifile.h"

#include <QLocale>

namespace {
const QString kRecent = QStringLiteral("Recent");
}

QString RecentFiles::keyFor(const QDateTime &when)
{
    return QLocale().toString(when.date(), QLocale::ShortFormat) + u' '
           + when.time().toString(QStringLiteral("HH:mm:ss"));
}

void RecentFiles::recordOpening(TIniFile &settings, QStringList &list, const QString &path,
                                int maxCount, const QDateTime &when)
{
    if (!list.isEmpty() && list.size() >= maxCount) {
        QStringList keys;
        settings.ReadSection(kRecent, keys);
        for (const QString &k : keys) {
            if (settings.ReadString(kRecent, k, QString()) == list.first())
                settings.DeleteKey(kRecent, k);
        }
        list.removeFirst();
    }
    if (!list.contains(path, Qt::CaseInsensitive))
        settings.WriteString(kRecent, keyFor(when), path);
    list.clear();
    ReadSectionToList(settings, kRecent, list);
}

QStringList RecentFiles::menuEntries(const QStringList &list,
                                     const std::function<bool(const QString &)> &exists)
{
    QStringList out;
    for (int i = 2; i < list.size(); ++i) {
        if (exists(list[i]))
            out << list[i];
    }
    return out;
}
