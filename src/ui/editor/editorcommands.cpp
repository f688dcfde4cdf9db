// The find command and its dialog.
#include "ui/common/application.h"
#include "ui/common/zoom.h"
#include "ui/editor/findform.h"
#include "ui/editor/proptree.h"
#include "ui/shell/mainwindow.h"

#include <QAction>
#include <QTabBar>

void TForm1::wireFind()
{
    FindForm = new TFindForm(
            [this]() -> QPlainTextEdit * {
                TScriptEditor *doc = CurrentDocument();
                return doc ? doc->Editor : nullptr;
            },
            Inspector->texts(), this);
    for (const char *n : {"btFind", "Find1", "Find2"})
        connect(action(n), &QAction::triggered, this,
                [this] { guarded([this] { btFindClick(); }); });
}

void TForm1::btFindClick()
{
    if (Documents.empty() && tabScriptSel->count() == 0)
        return;
    ZoomShow(FindForm);
}
