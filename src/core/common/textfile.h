#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>

// How a text file was stored on disk, so that it can be written back the same way.
enum class TextEncoding { Utf8, Windows1252 };
enum class LineEnd { Lf, CrLf, Cr };

struct TextFileFormat
{
    TextEncoding encoding = TextEncoding::Utf8;
    LineEnd lineEnd = LineEnd::Lf;
    bool bom = false;
};

// The character a byte stands for in Windows-1252. The five bytes it leaves undefined map to
// the C1 control of the same value, as Windows itself does, so every byte has a character.
QChar windows1252Char(uchar byte);

// Bytes -> text: UTF-8 when valid, otherwise Windows-1252 (each byte one character, so
// any byte sequence round-trips). Line breaks become "\n"; the style of the first one is kept.
QString decodeText(const QByteArray &bytes, TextFileFormat *format = nullptr);
QByteArray encodeText(const QString &text, const TextFileFormat &format);

// Reads a whole file; throws IoError when it cannot be read.
QByteArray readFileBytes(const QString &path);
// Writes through an atomic replace: a failed write leaves the old file untouched.
// Throws IoError ("Unable to write to <path>").
void writeFileAtomically(const QString &path, const QByteArray &bytes);

struct TextFileContent
{
    QString text;
    TextFileFormat format;
};
TextFileContent readTextFile(const QString &path);
void writeTextFile(const QString &path, const QString &text, const TextFileFormat &format);
