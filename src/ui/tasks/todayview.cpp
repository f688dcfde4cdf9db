#include "ui/tasks/todayview.h"

#include "core/common/clock.h"
#include "core/common/textfile.h"
#include "core/settings/configkeys.h"
#include "core/settings/inifile.h"
#include "core/tasks/todaypage.h"

QString writeTodayPage(const QString &programDir, const TIniFile &settings, int taskCount)
{
    TodayValues v;
    v.taskCount = taskCount;
    v.date = Clock::now().date();
    v.lastOpened = Config::read(settings, Config::LastOpened);
    const QString templatePath = programDir + QStringLiteral("doc/today/index.html");
    const QString page = buildTodayPage(readTextFile(templatePath).text, v);
    const QString out = programDir + QStringLiteral("doc/template.html");
    writeFileAtomically(out, page.toUtf8());
    return out;
}
