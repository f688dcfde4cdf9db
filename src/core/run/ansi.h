#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// How a stretch of output is to look after the colour escapes a script wrote: colours as
// 0xAARRGGBB, alpha 0 meaning the panel's own colour.
struct AnsiStyle
{
    quint32 foreground = 0;
    quint32 background = 0;
    bool bold = false;

    bool isPlain() const { return foreground == 0 && background == 0 && !bold; }
    bool operator==(const AnsiStyle &o) const
    {
        return foreground == o.foreground && background == o.background && bold == o.bold;
    }
    bool operator!=(const AnsiStyle &o) const { return !(*this == o); }
};

struct AnsiSpan
{
    qsizetype start = 0;
    qsizetype length = 0;
    AnsiStyle style;
};

// Takes the terminal escapes out of a command's output as it arrives. Colour and bold changes
// (SGR: reset, bold, the 8/16 colours, 256 colours and RGB, for text and background) become
// spans of the text; every other control sequence (cursor moves, titles, hyperlinks) is
// dropped. An escape split between two chunks is held until its end arrives, and the style
// carries over from chunk to chunk.
class AnsiParser
{
public:
    // The text of chunk without escapes; spans (if given) receives the stretches of it that
    // are not plain, in order, relative to the returned text.
    QString feed(QStringView chunk, QList<AnsiSpan> *spans = nullptr);
    void reset();
    const AnsiStyle &style() const { return m_style; }
    // Whether feed() would return chunk unchanged (no escape in it, none begun before).
    bool passesThrough(QStringView chunk) const
    {
        return m_pending.isEmpty() && !chunk.contains(QChar(0x1b));
    }

    // The xterm palette: 16 named colours, the 6x6x6 cube and 24 greys.
    static quint32 paletteColour(int index);

private:
    void applySgr(QStringView parameters);

    AnsiStyle m_style;
    QString m_pending; // the start of an escape whose end has not arrived yet
};
