// The Today page written from its template.
#include "ui/shell/mainwindow.h"

#include "core/common/clock.h"
#include "core/common/textfile.h"
#include "core/settings/configkeys.h"
#include "core/tasks/todaypage.h"

#include <QAbstractItemView>

QString TForm1::BuildTodayPage(const QString &templatePath)
{
    TodayValues v;
    auto *list = findChild<QAbstractItemView *>(QStringLiteral("TaskList"));
    if (list && list->model())
        v.taskCount = list->model()->rowCount();
    v.date = Clock::now().date();
    v.lastOpened = Config::read(Settings, Config::LastOpened);
    const QString page = buildTodayPage(readTextFile(templatePath).text, v);
    const QString out = ProgramDir + QStringLiteral("doc/template.html");
    writeFileAtomically(out, page.toUtf8());
    return out;
}
