#include "core/run/logtail.h"

#include <QFile>

void LogTail::skipToEnd()
{
    QFile file(m_path);
    m_offset = file.exists() ? file.size() : 0;
}

LogTail::Piece LogTail::readAppended(qint64 cap)
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const qint64 size = file.size();
    if (size < m_offset)
        m_offset = 0;
    if (size == m_offset)
        return {};
    Piece piece;
    const qint64 from = std::max(m_offset, size - cap);
    piece.skipped = from - m_offset;
    if (!file.seek(from))
        return {};
    piece.bytes = file.read(size - from);
    m_offset = from + piece.bytes.size();
    if (piece.skipped > 0) {
        const qsizetype lineStart = piece.bytes.indexOf('\n') + 1;
        piece.skipped += lineStart;
        piece.bytes.remove(0, lineStart);
    }
    return piece;
}
