#pragma once

#include <QWidget>

// The borderless box shown while the program starts.
class TSplash : public QWidget
{
public:
    TSplash();

protected:
    void paintEvent(QPaintEvent *e) override;
};
