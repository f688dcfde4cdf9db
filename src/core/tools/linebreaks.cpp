#include "core/tools/linebreaks.h"

#include "core/common/errors.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

constexpr qint64 kPieceSize = 1 << 20;

IoError cannotRead(const QString &path)
{
    return IoError(QStringLiteral("Oops! Could not read \"%1\". Please check the file name and "
                                  "that you may read the file.")
                           .arg(path));
}

IoError cannotWrite(const QString &path)
{
    return IoError(QStringLiteral("Oops! Could not write \"%1\". Please check the file name and "
                                  "that you may write to its folder.")
                           .arg(path));
}

} // namespace

QByteArray LineBreakConverter::feed(const QByteArray &bytes)
{
    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / 16 + 2);
    for (const char c : bytes) {
        if (m_pendingCr) {
            m_pendingCr = false;
            if (c == '\n') {
                // A CR LF pair: Windows to UNIX drops the CR, the other way keeps both.
                if (m_direction == LineBreakDirection::WindowsToUnix)
                    ++m_changed;
                else
                    out += '\r';
                out += '\n';
                continue;
            }
            out += '\r'; // a lone CR stays
        }
        if (c == '\r') {
            m_pendingCr = true;
        } else if (c == '\n' && m_direction == LineBreakDirection::UnixToWindows) {
            out += "\r\n";
            ++m_changed;
        } else {
            out += c;
        }
    }
    return out;
}

QByteArray LineBreakConverter::finish()
{
    if (!m_pendingCr)
        return {};
    m_pendingCr = false;
    return QByteArray(1, '\r');
}

ConversionResult convertLineBreaks(const QString &source, const QString &destination,
                                   LineBreakDirection direction,
                                   const std::function<void(qint64, qint64)> &progress,
                                   const std::atomic_bool *cancel)
{
    if (source.isEmpty())
        throw IoError(QStringLiteral("Doh! No source file given. Please go back and enter the "
                                     "file to convert."));
    if (destination.isEmpty())
        throw IoError(QStringLiteral("Doh! No destination file given. Please go back and enter "
                                     "where the result shall go."));
    if (!QFileInfo(source).isFile())
        throw cannotRead(source);
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        throw cannotRead(source);
    const QFileInfo destInfo(destination);
    if (destInfo.exists() && !destInfo.isFile())
        throw cannotWrite(destination);
    // Follow a link, so that the link stays and its target gets the text.
    const QString target = destInfo.isSymLink() ? destInfo.symLinkTarget() : destination;
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        throw cannotWrite(destination);

    LineBreakConverter converter(direction);
    ConversionResult result;
    const qint64 total = in.size();
    auto put = [&](const QByteArray &bytes) {
        if (out.write(bytes) != bytes.size()) {
            out.cancelWriting();
            throw cannotWrite(destination);
        }
        result.bytesWritten += bytes.size();
    };
    while (true) {
        const QByteArray piece = in.read(kPieceSize);
        if (piece.isEmpty()) {
            if (in.error() != QFileDevice::NoError || (!in.atEnd() && result.bytesRead < total)) {
                out.cancelWriting();
                throw cannotRead(source);
            }
            break;
        }
        if (piece.contains('\0')) {
            out.cancelWriting();
            throw IoError(QStringLiteral("Doh! \"%1\" is not a text file (it holds NUL "
                                         "bytes), so its line breaks were not converted.")
                                  .arg(source));
        }
        if (cancel && cancel->load()) {
            out.cancelWriting();
            throw IoError(QStringLiteral("The conversion was cancelled; \"%1\" is unchanged.")
                                  .arg(destination));
        }
        result.bytesRead += piece.size();
        put(converter.feed(piece));
        if (progress)
            progress(result.bytesRead, qMax(total, result.bytesRead));
    }
    put(converter.finish());
    in.close();
    if (!out.flush() || !out.commit())
        throw cannotWrite(destination);
    result.breaksChanged = converter.breaksChanged();
    return result;
}

QString conversionProgressText(qint64 done, qint64 total)
{
    return QStringLiteral("Converting...(%1 from %2 bytes)").arg(done).arg(total);
}

QString conversionDoneText(const ConversionResult &result, LineBreakDirection direction)
{
    const QString what = direction == LineBreakDirection::WindowsToUnix
                                 ? QStringLiteral("lost their CR")
                                 : QStringLiteral("gained a CR");
    return QStringLiteral("Done: %1 line break(s) %2 (%3 bytes read, %4 bytes written).")
            .arg(result.breaksChanged)
            .arg(what)
            .arg(result.bytesRead)
            .arg(result.bytesWritten);
}
