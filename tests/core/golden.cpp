#include "golden.h"

#include "core/common/textfile.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <gtest/gtest.h>

#include <exception>

namespace {

// Lines with their line ends, so that a changed end is a changed line.
QList<QByteArray> linesOf(const QByteArray &bytes)
{
    QList<QByteArray> lines;
    qsizetype from = 0;
    while (from < bytes.size()) {
        const qsizetype nl = bytes.indexOf('\n', from);
        const qsizetype end = nl < 0 ? bytes.size() : nl + 1;
        lines << bytes.mid(from, end - from);
        from = end;
    }
    return lines;
}

bool validUtf8(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8.decode(bytes); // decoding happens on the conversion
    return !utf8.hasError();
}

// A line as a quoted string: line ends and other control bytes spelled out; bytes above 127
// left alone while they are UTF-8, so that a changed letter reads as a letter.
QString shown(const QByteArray &line)
{
    const bool keepHigh = validUtf8(line);
    QByteArray out = "\"";
    for (const char c : line) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '\\' || c == '"')
            out += '\\' + QByteArray(1, c);
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\t')
            out += "\\t";
        else if (b < 0x20 || b == 0x7F || (b >= 0x80 && !keepHigh))
            out += "\\x" + QByteArray::number(b, 16).rightJustified(2, '0');
        else
            out += c;
    }
    out += '"';
    return QString::fromUtf8(out);
}

QByteArray readAll(const QString &path, bool *ok)
{
    QFile f(path);
    *ok = f.open(QIODevice::ReadOnly);
    return *ok ? f.readAll() : QByteArray();
}

} // namespace

namespace Golden {

QString folderPath(const QString &folder)
{
    return QDir::isAbsolutePath(folder) ? folder : QStringLiteral(QF_TEST_DATA "/golden/") + folder;
}

bool updating()
{
    return qgetenv("QF_UPDATE_GOLDEN") == "1";
}

QStringList inputs(const QString &folderPath, const QString &pattern)
{
    return QDir(folderPath).entryList({pattern}, QDir::Files, QDir::Name);
}

QString firstDifference(const QByteArray &expected, const QByteArray &actual)
{
    const QList<QByteArray> want = linesOf(expected);
    const QList<QByteArray> got = linesOf(actual);
    for (qsizetype i = 0; i < std::max(want.size(), got.size()); ++i) {
        const QByteArray *w = i < want.size() ? &want[i] : nullptr;
        const QByteArray *g = i < got.size() ? &got[i] : nullptr;
        if (w && g && *w == *g)
            continue;
        return QStringLiteral("first difference at line %1 of %2 expected, %3 actual\n"
                              "  expected: %4\n"
                              "  actual:   %5")
                .arg(i + 1)
                .arg(want.size())
                .arg(got.size())
                .arg(w ? shown(*w) : QStringLiteral("(end of file)"),
                     g ? shown(*g) : QStringLiteral("(end of file)"));
    }
    return {};
}

void check(const Set &set, const std::function<QByteArray(const QString &inputPath)> &produce)
{
    const QString dir = folderPath(set.folder);
    const QStringList names = inputs(dir, set.inputPattern);
    if (names.isEmpty())
        ADD_FAILURE() << "no inputs " << set.inputPattern.toStdString() << " in "
                      << dir.toStdString();
    for (const QString &name : names) {
        SCOPED_TRACE((set.folder + u'/' + name).toStdString());
        const QString input = dir + u'/' + name;
        const QString reference = input + set.referenceSuffix;
        QByteArray output;
        try {
            output = produce(input);
        } catch (const std::exception &e) {
            ADD_FAILURE() << "the input could not be run through: " << e.what();
            continue;
        }
        if (updating()) {
            writeFileAtomically(reference, output);
            continue;
        }
        bool ok = false;
        const QByteArray expected = readAll(reference, &ok);
        if (!ok) {
            ADD_FAILURE() << "no reference " << reference.toStdString()
                          << ": make it with tests/data/regenerate.sh and read it";
            continue;
        }
        const QString difference = firstDifference(expected, output);
        if (!difference.isEmpty())
            ADD_FAILURE() << reference.toStdString() << ": " << difference.toStdString()
                          << "\nAfter a deliberate change, run tests/data/regenerate.sh and "
                             "review the difference.";
    }
    // A reference left behind by a renamed or removed input would go unnoticed.
    for (const QString &ref :
         QDir(dir).entryList({u'*' + set.referenceSuffix}, QDir::Files, QDir::Name)) {
        const QString input = ref.chopped(set.referenceSuffix.size());
        if (!names.contains(input))
            ADD_FAILURE() << "reference without its input: " << (dir + u'/' + ref).toStdString();
    }
}

} // namespace Golden
