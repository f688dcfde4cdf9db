#pragma once

#include <QStringList>
#include <QWidget>

class QLabel;

// The overview of the Perl output: every line in a tiny font, to see the shape of the output
// at a glance. Borderless, tooltip-coloured, closed by the button of its caption strip.
class TCodePrevForm : public QWidget
{
    Q_OBJECT
public:
    explicit TCodePrevForm(QWidget *parent = nullptr);

    // Takes the lines to draw and sizes the window: as wide as the widest line, one line per
    // 10 pixels, never taller than the screen.
    void setLines(const QStringList &lines);
    const QStringList &lines() const { return m_lines; }
    static QFont drawingFont();

private:
    class Image;
    Image *m_image = nullptr;
    QWidget *m_strip = nullptr;
    QStringList m_lines;
};
