#pragma once

#include <QByteArray>
#include <QString>

// What another program appends to a log file, read a piece at a time: only the new bytes are
// read, and a flood is cut to its newest part so a reader never takes in more than it shows.
class LogTail
{
public:
    explicit LogTail(QString path = QString())
        : m_path(std::move(path))
    {}

    const QString &path() const { return m_path; }
    // From now on only what is appended counts.
    void skipToEnd();

    struct Piece
    {
        QByteArray bytes;
        qint64 skipped = 0; // appended bytes passed over before bytes
    };
    // What was appended since the last read, at most cap bytes of it. When more was appended,
    // the newest part from a line start on. A file that shrank was started again: it is read
    // from its beginning. A missing file has nothing new.
    Piece readAppended(qint64 cap);

private:
    QString m_path;
    qint64 m_offset = 0;
};
