#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>

class QSaveFile;

// How a text file was stored on disk, so that it can be written back the same way.
enum class TextEncoding { Utf8, Windows1252 };
enum class LineEnd { Lf, CrLf, Cr };

struct TextFileFormat
{
    TextEncoding encoding = TextEncoding::Utf8;
    LineEnd lineEnd = LineEnd::Lf;
    bool bom = false;
    // Every line break's end in turn, kept only for a file that mixes them, so that it saves as
    // it was read. Used while the text has that many line breaks; otherwise lineEnd is.
    QByteArray mixedLineEnds;
};

// The character a byte stands for in Windows-1252. The five bytes it leaves undefined map to
// the C1 control of the same value, as Windows itself does, so every byte has a character.
QChar windows1252Char(uchar byte);

// Bytes -> text: UTF-8 when valid, otherwise Windows-1252 (each byte one character, so
// any byte sequence round-trips). Line breaks become "\n"; the style of the first one is kept
// (and of each one, when they differ).
QString decodeText(const QByteArray &bytes, TextFileFormat *format = nullptr);
QByteArray encodeText(const QString &text, const TextFileFormat &format);

// Reads a whole file; throws IoError when it cannot be read.
QByteArray readFileBytes(const QString &path);
// Writes through an atomic replace: a failed write leaves the old file untouched.
// Throws IoError ("Unable to write to <path>"). A link is followed and stays a link; a target
// that is there and is not a regular file (a pipe, a device, a folder) is refused (IoError).
void writeFileAtomically(const QString &path, const QByteArray &bytes);

// What writes of path that were broken off (a kill, a crash) left beside the file they were
// to replace: the temporary "<name>.XXXXXX" (six letters or digits). Full paths, in name order.
QStringList atomicWriteLeftovers(const QString &path);

// The device steps of writeFileAtomically. Tests put in steps that fail the way a full disk
// does, to check that no failure is missed.
class AtomicWriteSteps
{
public:
    virtual ~AtomicWriteSteps() = default;
    virtual qint64 write(QSaveFile &file, const QByteArray &bytes);
    virtual bool flush(QSaveFile &file);
    virtual bool commit(QSaveFile &file);
};
// Uses steps (nullptr: the real ones) from now on; returns the previous ones. For tests.
AtomicWriteSteps *setAtomicWriteSteps(AtomicWriteSteps *steps);

struct TextFileContent
{
    QString text;
    TextFileFormat format;
};
TextFileContent readTextFile(const QString &path);
void writeTextFile(const QString &path, const QString &text, const TextFileFormat &format);
