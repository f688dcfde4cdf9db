#include "core/settings/recentfiles.h"

#include "core/settings/configkeys.h"
#include "core/settings/inifile.h"

#include <QLocale>

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
        settings.ReadSection(Config::RecentSection, keys);
        for (const QString &k : keys) {
            if (settings.ReadString(Config::RecentSection, k, QString()) == list.first())
                settings.DeleteKey(Config::RecentSection, k);
        }
        list.removeFirst();
    }
    if (!list.contains(path, Qt::CaseInsensitive))
        settings.WriteString(Config::RecentSection, keyFor(when), path);
    list.clear();
    ReadSectionToList(settings, Config::RecentSection, list);
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
