// The Today page written from its template.
#include "app/mainwindow.h"

#include "common/clock.h"
#include "common/textfile.h"
#include "tasks/todaypage.h"

#include <QAbstractItemView>

QString TForm1::BuildTodayPage(const QString &templatePath)
{
    TodayValues v;
    auto *list = findChild<QAbstractItemView *>(QStringLiteral("TaskList"));
    if (list && list->model())
        v.taskCount = list->model()->rowCount();
    v.date = Clock::now().date();
    v.lastOpened =
        Settings.ReadString(QStringLiteral("SRecent"), QStringLiteral("LastOpened"), QString());
    const QString page = buildTodayPage(readTextFile(templatePath).text, v);
    const QString out = ProgramDir + QStringLiteral("doc/template.html");
    writeFileAtomically(out, page.toUtf8());
    return out;
}
