#pragma once

#include <QString>

class QHBoxLayout;
class QToolButton;
class QWidget;

// The small close button of a panel's caption bar.
QToolButton *panelCloseButton(QWidget *parent, const char *name, const QString &hint);

struct PanelFrame
{
    QWidget *frame;
    QHBoxLayout *header; // takes further buttons
};

// A side panel: a thin caption bar (named name + "Header") with an optional close button above
// its content.
PanelFrame panelFrame(QWidget *parent, const char *name, const QString &caption, QToolButton *close,
                      QWidget *content);
