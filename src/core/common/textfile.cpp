#include "core/common/textfile.h"

#include "core/common/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>

namespace {

// 0x80..0x9F of Windows-1252; see windows1252Char().
const char16_t kCp1252High[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString decodeCp1252(const QByteArray &bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *d = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        d[i] = windows1252Char(b);
    }
    return out;
}

QByteArray encodeCp1252(const QString &text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        char b = '?';
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            b = char(c);
        } else {
            for (int k = 0; k < 32; ++k) {
                if (kCp1252High[k] == c) {
                    b = char(0x80 + k);
                    break;
                }
            }
        }
        out[i] = b;
    }
    return out;
}

bool encodableInCp1252(const QString &text)
{
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
            continue;
        bool found = false;
        for (char16_t h : kCp1252High)
            found = found || h == c;
        if (!found)
            return false;
    }
    return true;
}

LineEnd detectLineEnd(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n')
            return LineEnd::Lf;
        if (text[i] == u'\r')
            return (i + 1 < text.size() && text[i + 1] == u'\n') ? LineEnd::CrLf : LineEnd::Cr;
    }
    return LineEnd::Lf;
}

// The end of every line break in turn; empty when they are all alike.
QByteArray mixedLineEnds(QStringView text)
{
    QByteArray ends;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n') {
            ends.append(char(LineEnd::Lf));
        } else if (text[i] == u'\r') {
            const bool crlf = i + 1 < text.size() && text[i + 1] == u'\n';
            ends.append(char(crlf ? LineEnd::CrLf : LineEnd::Cr));
            i += crlf ? 1 : 0;
        }
    }
    const bool mixed = std::any_of(ends.cbegin(), ends.cend(),
                                   [&](char e) { return e != ends.front(); });
    return mixed ? ends : QByteArray();
}

QString withEachLineEnd(const QString &text, const QByteArray &ends)
{
    QString out;
    out.reserve(text.size() + ends.count(char(LineEnd::CrLf)));
    qsizetype from = 0;
    for (const char e : ends) {
        const qsizetype nl = text.indexOf(u'\n', from);
        out += QStringView(text).mid(from, nl - from);
        out += e == char(LineEnd::Lf)     ? QStringView(u"\n")
               : e == char(LineEnd::CrLf) ? QStringView(u"\r\n")
                                          : QStringView(u"\r");
        from = nl + 1;
    }
    out += QStringView(text).mid(from);
    return out;
}

} // namespace

QChar windows1252Char(uchar byte)
{
    return (byte >= 0x80 && byte < 0xA0) ? QChar(kCp1252High[byte - 0x80]) : QChar(byte);
}

QString decodeText(const QByteArray &bytes, TextFileFormat *format)
{
    TextFileFormat f;
    QByteArray body = bytes;
    if (body.startsWith("\xEF\xBB\xBF")) {
        f.bom = true;
        body.remove(0, 3);
    }
    // A second byte-order mark is text (U+FEFF); the decoder would drop it by default.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(body);
    if (utf8.hasError()) {
        f.encoding = TextEncoding::Windows1252;
        f.bom = false;
        text = decodeCp1252(bytes);
    }
    f.lineEnd = detectLineEnd(text);
    if (text.contains(u'\r')) {
        f.mixedLineEnds = mixedLineEnds(text);
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(u'\r', u'\n');
    }
    if (format)
        *format = f;
    return text;
}

QByteArray encodeText(const QString &text, const TextFileFormat &format)
{
    QString withEnds = text;
    if (!format.mixedLineEnds.isEmpty() && text.count(u'\n') == format.mixedLineEnds.size())
        withEnds = withEachLineEnd(text, format.mixedLineEnds);
    else if (format.lineEnd == LineEnd::CrLf)
        withEnds.replace(u'\n', QStringLiteral("\r\n"));
    else if (format.lineEnd == LineEnd::Cr)
        withEnds.replace(u'\n', u'\r');
    // Text typed into a Windows-1252 script that the code page cannot hold is saved as UTF-8
    // rather than replaced by "?": nothing the user typed is lost.
    if (format.encoding == TextEncoding::Windows1252 && encodableInCp1252(withEnds))
        return encodeCp1252(withEnds);
    QByteArray out = withEnds.toUtf8();
    if (format.bom)
        out.prepend("\xEF\xBB\xBF");
    return out;
}

QByteArray readFileBytes(const QString &path)
{
    // A pipe would block the reader until someone writes to it, a device may never end.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        throw IoError(QStringLiteral("Oops! Unable to read %1 (not a regular file).").arg(path));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw IoError(QStringLiteral("Oops! Unable to read %1 (%2).").arg(path, f.errorString()));
    QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw IoError(QStringLiteral("Oops! Unable to read %1 (%2).").arg(path, f.errorString()));
    return bytes;
}

qint64 AtomicWriteSteps::write(QSaveFile &file, const QByteArray &bytes)
{
    return file.write(bytes);
}

bool AtomicWriteSteps::flush(QSaveFile &file)
{
    return file.flush();
}

bool AtomicWriteSteps::commit(QSaveFile &file)
{
    return file.commit();
}

namespace {

AtomicWriteSteps g_realSteps;
AtomicWriteSteps *g_steps = &g_realSteps;

// Where a save lands: links are followed, so that a link stays a link and the file it points
// to gets the text (also a file yet to be made). Empty for links that go round in a circle.
QString linkedFile(const QString &path)
{
    QFileInfo info(path);
    for (int hops = 0; info.isSymLink(); ++hops) {
        if (hops == 40)
            return {};
        info.setFile(info.symLinkTarget());
    }
    return info.filePath();
}

} // namespace

AtomicWriteSteps *setAtomicWriteSteps(AtomicWriteSteps *steps)
{
    AtomicWriteSteps *previous = g_steps == &g_realSteps ? nullptr : g_steps;
    g_steps = steps ? steps : &g_realSteps;
    return previous;
}

void writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    // The replace would put a plain file in the place of a device, a pipe or a folder.
    const QString target = linkedFile(path);
    if (target.isEmpty() || (QFileInfo::exists(target) && !QFileInfo(target).isFile()))
        throw IoError(QStringLiteral("Doh! \"%1\" is not a regular file. Please save it under "
                                     "another name.")
                              .arg(path));
    QSaveFile f(target);
    if (!f.open(QIODevice::WriteOnly) || g_steps->write(f, bytes) != bytes.size())
        throw IoError::unableToWrite(path);
    // Flushed here because commit() does not notice when the last buffered bytes fail to
    // reach the disk (a full disk), and would put an empty or cut file in place of the old one.
    if (!g_steps->flush(f) || f.error() != QFileDevice::NoError || !g_steps->commit(f))
        throw IoError::unableToWrite(path);
}

QStringList atomicWriteLeftovers(const QString &path)
{
    // The writes go to the file a link points to: that is where they leave their rests.
    const QFileInfo target(linkedFile(path));
    if (target.fileName().isEmpty())
        return {};
    const QRegularExpression leftover(QRegularExpression::anchoredPattern(
            QRegularExpression::escape(target.fileName()) + QStringLiteral("\\.[A-Za-z0-9]{6}")));
    QStringList found;
    const QFileInfoList files = target.dir().entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QFileInfo &f : files) {
        if (leftover.match(f.fileName()).hasMatch())
            found << f.absoluteFilePath();
    }
    return found;
}

TextFileContent readTextFile(const QString &path)
{
    TextFileContent c;
    c.text = decodeText(readFileBytes(path), &c.format);
    return c;
}

void writeTextFile(const QString &path, const QString &text, const TextFileFormat &format)
{
    writeFileAtomically(path, encodeText(text, format));
}
