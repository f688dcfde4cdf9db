#pragma once

#include <QObject>

class CommandTable;
class QListWidget;
class QWidget;
class TIniFile;

// The link bar: the view buttons and the user's custom links, which start a program, open a
// file or folder, or open an address.
class LinkBarPanel : public QObject
{
    Q_OBJECT
public:
    LinkBarPanel(const TIniFile &settings, const CommandTable &commands, QWidget *parent);

    QWidget *panel() const { return m_panel; }
    // Fills the custom links from the settings.
    void reload();

signals:
    // "Add / edit / remove links...": the options dialog's page for them.
    void editLinksRequested();

private:
    const TIniFile &m_settings;
    QWidget *m_panel;
    QListWidget *m_links;
};
