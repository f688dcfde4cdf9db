#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>

enum class LineBreakDirection { WindowsToUnix, UnixToWindows };

// Converts a stream of bytes piece by piece. Windows to UNIX drops the CR of each CR LF pair;
// UNIX to Windows puts a CR before each LF that has none. A lone CR and a last line without a
// break stay as they are. A CR at the end of one piece is held until the next one shows
// whether a LF follows it.
class LineBreakConverter
{
public:
    explicit LineBreakConverter(LineBreakDirection direction)
        : m_direction(direction)
    {}
    QByteArray feed(const QByteArray &bytes);
    QByteArray finish();
    qint64 breaksChanged() const { return m_changed; }

private:
    LineBreakDirection m_direction;
    bool m_pendingCr = false;
    qint64 m_changed = 0;
};

struct ConversionResult
{
    qint64 bytesRead = 0;
    qint64 bytesWritten = 0;
    qint64 breaksChanged = 0;
};

// Reads source and writes the converted text to destination through an atomic replace, so
// the two may be the same file and a failure leaves the destination as it was. progress gets
// the bytes done and the total after each piece. A file holding NUL bytes is not text and is
// refused. Throws IoError with a message for the user.
ConversionResult convertLineBreaks(const QString &source, const QString &destination,
                                   LineBreakDirection direction,
                                   const std::function<void(qint64, qint64)> &progress = {},
                                   const std::atomic_bool *cancel = nullptr);

// "Converting...(1024 from 4048 bytes)"
QString conversionProgressText(qint64 done, qint64 total);
// What the label says once the conversion is over.
QString conversionDoneText(const ConversionResult &result, LineBreakDirection direction);
