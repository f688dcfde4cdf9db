#include "ui/common/commands.h"

#include "ui/common/application.h"

#include <QAction>

void CommandTable::add(QAction *action)
{
    m_actions.insert(action->objectName(), action);
}

QAction *CommandTable::operator[](const char *name) const
{
    QAction *a = m_actions.value(QLatin1String(name));
    Q_ASSERT_X(a, "CommandTable", name);
    return a;
}

void CommandTable::onTriggered(std::initializer_list<const char *> names, QObject *context,
                               std::function<void()> handler) const
{
    for (const char *n : names)
        QObject::connect((*this)[n], &QAction::triggered, context, [handler] { guarded(handler); });
}
