#pragma once

#include <QString>

class QHBoxLayout;
class QLabel;
class QToolButton;
class QWidget;

// A caption in the bold face of its parent's font, at points when given.
QLabel *boldLabel(const QString &text, QWidget *parent, int points = 0);

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
