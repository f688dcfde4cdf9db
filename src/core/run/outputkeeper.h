#pragma once

#include <QString>
#include <QStringView>

// What a panel keeps of a command's output when there is more than it should hold: the
// beginning and the end. The beginning is passed on as it arrives, up to headChars characters;
// after it, the most recent tailChars characters or so are kept here, and what falls out of
// that window in between is counted, so one line can say how much of the middle was left out.
//
// Cuts fall just after a line break ("\n", "\r" or "\r\n") whenever the text allows, so the
// beginning ends with a whole line and the kept end starts with one: a line that is open when
// the beginning reaches its limit may finish up to a sixteenth beyond it. Bytes are counted as
// UTF-8, the form the output is decoded from.
class OutputKeeper
{
public:
    OutputKeeper(qsizetype headChars, qsizetype tailChars);

    void reset();
    // Takes the next piece of output; returns the part of it that belongs to the beginning.
    // The rest joins the kept end.
    QString add(QStringView text);

    // Positions in the end part count the characters that came after the beginning.
    qint64 tailStart() const { return m_dropped; } // the first character still kept
    qint64 tailEnd() const { return m_dropped + (m_tail.size() - m_skip); }
    // Up to n characters of the kept end from position from (tailStart() <= from <= tailEnd()).
    QStringView tail(qint64 from, qsizetype n) const;

    bool middleLeftOut() const { return m_dropped > 0; }
    qint64 leftOutLines() const;
    qint64 leftOutBytes() const { return m_droppedBytes; }
    // The line that stands between the beginning and the end.
    QString note() const { return note(leftOutLines(), leftOutBytes()); }
    static QString note(qint64 lines, qint64 bytes);

private:
    QString passOn(QStringView text);
    void keepEnd(QStringView text);

    qsizetype m_headChars;
    qsizetype m_tailChars;
    qsizetype m_headSize = 0;
    bool m_headFull = false;
    bool m_headEndsLine = true; // the beginning so far ends with a line break (or is empty)
    bool m_headEndsCR = false;
    QString m_tail; // the kept end from index m_skip on
    qsizetype m_skip = 0;
    qint64 m_dropped = 0; // characters left out
    qint64 m_droppedBreaks = 0;
    qint64 m_droppedBytes = 0;
    bool m_droppedEndsLine = true;
};
