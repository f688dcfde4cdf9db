#pragma once

#include "core/run/ansi.h"
#include "core/run/errorlinks.h"

#include <QObject>
#include <QPoint>
#include <QString>
#include <QTextCharFormat>

#include <deque>

class QPlainTextEdit;
class QTextBlock;
class QTextCursor;
class QWidget;

// What an output panel makes of the text a command writes besides showing it: colour escapes
// become colours, and every place a message names ("at FILE line N") becomes a link. A click on
// a link, or Enter on its line in a read-only panel, asks for the file to be opened there.
//
// Colours are remembered by position in the stream of output (after the escapes are taken
// out), so they survive the panel's keeping only the beginning and the end of a flood. Links are
// looked for in whole lines, once each line is complete.
class OutputDecor : public QObject
{
    Q_OBJECT
public:
    explicit OutputDecor(QPlainTextEdit *panel);

    // A new run whose relative file names count from folder.
    void reset(const QString &folder);
    // The next piece of output without its escapes; its colours are kept for insert().
    QString take(const QString &chunk);
    // Inserts text at the end of the panel; streamPos is where it starts in the output so far
    // (-1: not output, such as a note of the panel's own). Lines it completes get their links.
    void insert(const QString &text, qint64 streamPos = -1);
    // The output has ended: its last line counts as complete.
    void closeLastLine();

    // Follows the first link of a line of the panel; false if it has none.
    bool followLinkIn(const QTextBlock &block);

    static QString href(const QString &path, int line);
    static bool parseHref(const QString &href, QString *path, int *line);

    // Colours and links off: only for measuring what they cost.
    static void setEnabled(bool on);

signals:
    void linkActivated(const QString &path, int line);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Styled
    {
        qint64 from;
        qint64 to;
        QTextCharFormat format;
    };

    void insertStyled(QTextCursor &end, const QString &text, qint64 streamPos);
    void scanCompleted(const QTextBlock &open, int at, const QString &text);
    void scanLine(int position, QStringView line);
    bool follow(const QString &href);

    QPlainTextEdit *m_panel;
    QWidget *m_viewport; // compared only: events may come while the panel is being destroyed
    AnsiParser m_ansi;
    ErrorLinkFinder m_links;
    std::deque<Styled> m_styled; // by stream position, not overlapping, not all shown yet
    qint64 m_taken = 0;          // output characters taken so far
    QTextCharFormat m_plain;
    QString m_pressedHref;
    QPoint m_pressedAt;
};
