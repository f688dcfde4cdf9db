#pragma once

#include <QMap>
#include <QWidget>

class ScriptEditorWidget;

// The column of line numbers at the left of a script editor. Lines count from 1, as perl counts
// them in its messages; a very long line shown in rows has its number at its first row only.
// The caret's line stands out. Only the lines on screen are looked at.
class LineNumberArea : public QWidget
{
    Q_OBJECT
public:
    explicit LineNumberArea(ScriptEditorWidget *editor);

    // The width the numbers of a script of that many lines take.
    int widthFor(int lines) const;

    // Lines (from 1) a check found fault with, each with its messages, shown as a mark on the
    // line's number and as its tooltip.
    void setMarks(QMap<int, QString> marks);
    const QMap<int, QString> &marks() const { return m_marks; }
    // The line whose number is shown at that height, 0 if none.
    int lineAt(int y) const;

protected:
    bool event(QEvent *e) override;
    void paintEvent(QPaintEvent *e) override;

private:
    ScriptEditorWidget *m_editor;
    QMap<int, QString> m_marks;
};
