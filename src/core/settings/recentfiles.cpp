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
    if (!list.contains(path, Qt::CaseInsensitive)) {
        // Two openings within one second would share a key, and the second would replace
        // the first: a later one gets a number of its own.
        QStringList keys;
        settings.ReadSection(Config::RecentSection, keys);
        const QString base = keyFor(when);
        QString key = base;
        for (int n = 2; keys.contains(key, Qt::CaseInsensitive); ++n)
            key = base + QStringLiteral(" (%1)").arg(n);
        settings.WriteString(Config::RecentSection, key, path);
    }
    list.clear();
    ReadSectionToList(settings, Config::RecentSection, list);
}

QStringList RecentFiles::menuEntries(const QStringList &list,
                                     const std::function<bool(const QString &)> &exists)
{
    QStringList out;
    for (const QString &path : list) {
        if (exists(path))
            out << path;
    }
    return out;
}
