#pragma once

#include "core/run/ansi.h"
#include "core/run/errorlinks.h"

#include <QObject>
#include <QPoint>
#include <QString>
#include <QTextCharFormat>
#include <QTextCursor>

#include <deque>
#include <memory>
#include <vector>

class QPlainTextEdit;
class QTextBlock;
class QTimer;
class QWidget;

// What an output panel makes of the text a command writes besides showing it: colour escapes
// become colours, and every place a message names ("at FILE line N") becomes a link. A click on
// a link, or Enter on its line in a read-only panel, asks for the file to be opened there.
//
// Colours are remembered by position in the stream of output (after the escapes are taken
// out), so they survive the panel's keeping only the beginning and the end of a flood. Links are
// looked for in whole lines, once each line is complete.
//
// A flood is inserted plain and decorated a moment later, first the part the panel shows, the
// rest once output pauses: most of its end passes through the panel on its way out and is
// decorated only if it stays, and the run is not held up by what nobody can read yet.
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
    // As insert(), for output that comes in a flood: its colours and links come a moment later.
    // Output inserted this way follows on in the stream and the panel. Text of one part is
    // cut only at the part's start, never inside: pieces of one part in a row are held as one.
    void insertLater(const QString &text, qint64 streamPos, int part = 0);
    // Some output inserted later is still without its colours and links.
    bool decorating() const { return !m_undecorated.empty(); }
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
    // What one run's output needs to be decorated; kept by its undecorated text after a reset.
    struct Stream
    {
        ErrorLinkFinder links;
        std::deque<Styled> styled; // by stream position, not overlapping, not all shown yet
    };
    // Output in the panel still without its colours and links. The cursors follow edits before
    // it (the end cursor stays put when text is appended), so cuts of the panel shrink it.
    struct Undecorated
    {
        QTextCursor from;
        QTextCursor to;
        qint64 streamTo; // stream position at `to`
        std::shared_ptr<Stream> stream;
        int part;
    };

    void insertStyled(QTextCursor &end, const QString &text, qint64 streamPos);
    void forgetStylesBefore(qint64 streamPos);
    void scanCompleted(const QTextBlock &open, int at, const QString &text);
    void scanLine(ErrorLinkFinder &links, int position, QStringView line);
    void decorate(std::size_t index, int from, int to);
    void decorateRange(int from, int to);
    void decorateSome();
    bool follow(const QString &href);

    QPlainTextEdit *m_panel;
    QWidget *m_viewport; // compared only: events may come while the panel is being destroyed
    QTimer *m_later;
    AnsiParser m_ansi;
    std::shared_ptr<Stream> m_stream;
    std::vector<Undecorated> m_undecorated; // in panel order
    bool m_grew = false;                    // output was inserted later since the last look
    qint64 m_taken = 0;                     // output characters taken so far
    QTextCharFormat m_plain;
    QString m_pressedHref;
    QPoint m_pressedAt;
};
