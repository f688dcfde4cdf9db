#include "ui/tools/linkbarpanel.h"

#include "ui/common/application.h"
#include "ui/common/commands.h"
#include "ui/tools/linkbar.h"

#include <QAction>
#include <QFrame>
#include <QListWidget>
#include <QMenu>
#include <QToolBox>
#include <QToolButton>
#include <QVBoxLayout>

LinkBarPanel::LinkBarPanel(const TIniFile &settings, const CommandTable &commands, QWidget *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_panel(new QFrame(parent))
    , m_links(new QListWidget())
{
    // A sliding group bar with the view buttons and the custom links.
    auto *groups = new QToolBox();
    groups->setObjectName(QStringLiteral("LinkBarGroups"));
    auto *standard = new QWidget();
    auto *sv = new QVBoxLayout(standard);
    sv->setContentsMargins(2, 4, 2, 4);
    const std::pair<const char *, const char *> viewButtons[] = {{"obtSource", "vSetCode"},
                                                                 {"obtHTML", "vSetHTML"},
                                                                 {"obtTasks", "vSetTasks"},
                                                                 {"obtToday", "vSetToday"},
                                                                 {"obtHelp", "vSetHelp"}};
    for (const auto &[name, command] : viewButtons) {
        auto *b = new QToolButton(standard);
        b->setObjectName(QLatin1String(name));
        b->setDefaultAction(commands[command]);
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setIconSize(QSize(28, 28));
        b->setAutoRaise(true);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        sv->addWidget(b);
    }
    sv->addStretch(1);
    groups->addItem(standard, QStringLiteral("Standard"));

    m_links->setObjectName(QStringLiteral("lvCustomLinks"));
    m_links->setAccessibleName(QStringLiteral("Custom links"));
    m_links->setViewMode(QListView::IconMode);
    m_links->setFrameShape(QFrame::NoFrame);
    m_links->setIconSize(QSize(32, 32));
    m_links->setMovement(QListView::Static);
    m_links->setResizeMode(QListView::Adjust);
    m_links->setMouseTracking(true);
    m_links->setCursor(Qt::PointingHandCursor);
    groups->addItem(m_links, QStringLiteral("Custom links"));

    m_panel->setObjectName(QStringLiteral("pLinkBar"));
    m_panel->setAccessibleName(QStringLiteral("Link bar"));
    auto *lv = new QVBoxLayout(m_panel);
    lv->setContentsMargins(0, 0, 0, 0);
    lv->addWidget(groups);
    m_panel->setMinimumWidth(112);

    auto *menu = new QMenu(m_links);
    menu->setObjectName(QStringLiteral("popCustomLinks"));
    QAction *open = menu->addAction(QStringLiteral("Open"));
    open->setObjectName(QStringLiteral("Open3"));
    QAction *edit = menu->addAction(QStringLiteral("Add / edit / remove links..."));
    edit->setObjectName(QStringLiteral("Addeditremovelinks1"));
    auto start = [this] {
        if (QListWidgetItem *item = m_links->currentItem(); item && item->isSelected())
            LinkBar::startLink(m_settings, item->text());
    };
    connect(m_links, &QListWidget::itemClicked, this, start);
    connect(open, &QAction::triggered, this, start);
    connect(edit, &QAction::triggered, this, &LinkBarPanel::editLinksRequested);
    m_links->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_links, &QListWidget::customContextMenuRequested, this,
            [this, menu](QPoint p) { menu->popup(m_links->viewport()->mapToGlobal(p)); });
}

void LinkBarPanel::reload()
{
    LinkBar::LoadCustomLinks(m_links, m_settings);
}
