#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Turns a command's output into text as it arrives, chunk by chunk. Valid UTF-8 is decoded,
// also when a character is split between two chunks; a byte that starts no valid UTF-8
// sequence is taken as Windows-1252, the 8-bit set of older scripts, so that nothing is
// lost or replaced by a question mark. Zero bytes stay characters (U+0000).
class OutputDecoder
{
public:
    // The text of every complete character in data; the start of a character whose end has
    // not arrived yet is kept for the next call.
    QString decode(QByteArrayView data);
    // The bytes still held at the end of the stream, as 8-bit characters.
    QString flush();
    void reset() { m_pending.clear(); }

private:
    QByteArray m_pending; // at most three bytes of an unfinished sequence
};
