#pragma once

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QString>

// A file of real Perl (the machine's own modules) of the given size, made once per machine.
inline QString corpus(qint64 bytes)
{
    const QString path = QDir::tempPath() + QStringLiteral("/quillforge-corpus-%1.pl").arg(bytes);
    if (!QFileInfo::exists(path))
        QProcess::execute(QStringLiteral(QF_CORPUS_TOOL), {QString::number(bytes), path});
    return path;
}
