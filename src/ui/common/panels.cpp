#include "ui/common/panels.h"

#include "ui/common/icons.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

QToolButton *panelCloseButton(QWidget *parent, const char *name, const QString &hint)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoRaise(true);
    b->setToolTip(hint);
    b->setAccessibleName(hint);
    b->setIcon(themeIcon("window-close", QStyle::SP_TitleBarCloseButton));
    b->setIconSize(QSize(12, 12));
    b->setFixedSize(18, 18);
    return b;
}

PanelFrame panelFrame(QWidget *parent, const char *name, const QString &caption, QToolButton *close,
                      QWidget *content)
{
    auto *panel = new QFrame(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setFrameShape(QFrame::StyledPanel);
    auto *v = new QVBoxLayout(panel);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    auto *header = new QFrame(panel);
    header->setObjectName(QLatin1String(name) + QStringLiteral("Header"));
    header->setAutoFillBackground(true);
    header->setStyleSheet(QStringLiteral("QFrame { background: palette(dark); } QLabel { color: "
                                         "palette(bright-text); font-weight: bold; }"));
    auto *h = new QHBoxLayout(header);
    h->setContentsMargins(4, 1, 1, 1);
    auto *label = new QLabel(caption, header);
    h->addWidget(label, 1);
    if (close) {
        close->setParent(header);
        h->addWidget(close);
    }
    v->addWidget(header);
    if (content)
        v->addWidget(content, 1);
    return {panel, h};
}

QLabel *boldLabel(const QString &text, QWidget *parent, int points)
{
    auto *l = new QLabel(text, parent);
    QFont f = l->font();
    f.setBold(true);
    if (points)
        f.setPointSize(points);
    l->setFont(f);
    return l;
}
