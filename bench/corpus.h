#pragma once

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QString>

// A file of real Perl (the machine's own modules) of the given size, made once per machine.
// One line: the same Perl with every line break turned into a blank, as generated scripts are.
enum class CorpusLines { Many, One };
inline QString corpus(qint64 bytes, CorpusLines lines = CorpusLines::Many)
{
    const bool one = lines == CorpusLines::One;
    const QString path = QDir::tempPath()
                         + QStringLiteral("/quillforge-corpus-%1%2.pl")
                                   .arg(one ? QStringLiteral("oneline-") : QString())
                                   .arg(bytes);
    if (QFileInfo(path).size() != bytes) {
        QStringList args{QStringLiteral(QF_CORPUS_TOOL), QString::number(bytes), path};
        if (one)
            args << QStringLiteral("--one-line");
        QProcess::execute(QStringLiteral("/bin/sh"), args);
    }
    return path;
}
