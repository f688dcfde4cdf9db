#pragma once

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>
#include <initializer_list>

class QAction;
class QWidget;

// The main window's commands by their names: menus, toolbars and controllers share one action
// per command, and a controller wires only the commands it serves.
class CommandTable
{
public:
    void add(QAction *action);
    // The command of that name; a name not in the table is a programming error.
    QAction *operator[](const char *name) const;
    // Runs handler (guarded: an error ends the action and is shown) when any of the commands
    // is triggered.
    void onTriggered(std::initializer_list<const char *> names, QObject *context,
                     std::function<void()> handler) const;

private:
    QHash<QString, QAction *> m_actions;
};
