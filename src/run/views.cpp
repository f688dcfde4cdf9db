// The views of the central page.
#include "app/mainwindow.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QStackedWidget>
#include <QToolBar>

void TForm1::SetView(ViewKind kind, const QString &path)
{
    static const char *captions[] = {"Source code", "HTML", "Tasks", "Quillforge Today", "Help", ""};
    switch (kind) {
    case ViewKind::vkSource:
        if (!path.isEmpty() && QFileInfo(path).isFile())
            OpenDocument(path);
        FileMenu->setEnabled(true);
        if (!CurrentDocument())
            return;
        Carry2->setCurrentWidget(CodeSheet);
        action("vSetCode")->setChecked(true);
        break;
    case ViewKind::vkTasks:
        Carry2->setCurrentWidget(TaskSheet);
        action("vSetTasks")->setChecked(true);
        break;
    default:
        // The page views are shown by the browser page.
        Carry2->setCurrentWidget(IESheet);
        break;
    }
    CapPanel->setText(QLatin1String(captions[int(kind)]));
}
