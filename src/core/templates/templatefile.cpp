#include "core/templates/templatefile.h"

#include "core/common/errors.h"
#include "core/common/textfile.h"
#include "core/settings/inilines.h"
#include "core/templates/templatelibrary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// "[Info]" stands at the top: a huge file is not read to its end for it.
constexpr qint64 kInfoReadLimit = 1 << 20;
// The settings rules cut longer values.
constexpr qsizetype kMaxValueChars = 2047;

const QString kScript = QStringLiteral("[Script]");

QString readText(const QString &path, qint64 limit = -1)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return decodeText(limit < 0 ? f.readAll() : f.read(limit));
}

QList<QStringView> linesOf(const QString &text)
{
    QList<QStringView> lines = QStringView(text).split(u'\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast(); // the break that ends the last line
    return lines;
}

QStringList codeFrom(const QList<QStringView> &lines, qsizetype first)
{
    QStringList code;
    for (qsizetype i = first; i < lines.size(); ++i) {
        if (lines[i] != kScript)
            code << lines[i].toString();
    }
    return code;
}

bool hasLineBreak(const QString &s)
{
    return s.contains(u'\n') || s.contains(u'\r');
}

} // namespace

std::optional<TemplateInfo> TemplateInfo::read(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    TemplateInfo info;
    const QString text = readText(path, kInfoReadLimit);
    bool inInfo = false;
    bool seen = false;
    for (QStringView line : linesOf(text)) {
        if (const auto section = IniLine::section(line)) {
            if (inInfo)
                break;
            inInfo = !seen && section->compare(u"Info", Qt::CaseInsensitive) == 0;
            seen = seen || inInfo;
            continue;
        }
        if (!inInfo)
            continue;
        if (const auto key = IniLine::key(line)) {
            const QString k = key->toString().toLower();
            if (!info.m_values.contains(k))
                info.m_values.insert(k, IniLine::value(line).left(kMaxValueChars).toString());
        }
    }
    return info;
}

QString TemplateInfo::value(const QString &key, const QString &def) const
{
    return m_values.value(key.toLower(), def);
}

bool ReadTemplateInfo(const QString &path, TStruct_Template &record)
{
    const auto info = TemplateInfo::read(path);
    if (!info)
        return false;
    const QString unknown = QStringLiteral("[?]");
    record.Name = info->value(QStringLiteral("Name"), unknown);
    record.FileName = path;
    record.Copyright = info->value(QStringLiteral("Copyright"), unknown);
    record.Version = info->value(QStringLiteral("Version"), unknown);
    record.Icon = info->value(QStringLiteral("Icon"), QStringLiteral("default_d"));
    record.IconFocused = info->value(QStringLiteral("IconFocused"), QStringLiteral("default_a"));
    record.Notes = info->value(QStringLiteral("Notes"), unknown);
    return true;
}

QStringList readTemplateCode(const QString &path)
{
    const QString text = readText(path);
    const QList<QStringView> lines = linesOf(text);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i] == kScript)
            return codeFrom(lines, i + 1);
    }
    return {};
}

QStringList readTemplateCodeForEditing(const QString &path)
{
    const QString text = readText(path);
    const QList<QStringView> lines = linesOf(text);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].contains(kScript))
            return codeFrom(lines, i);
    }
    return {};
}

QByteArray templateFileBytes(const TemplateFileValues &v)
{
    QString text = QStringLiteral("[Info]\nName=") + v.Name + QStringLiteral("\nCopyRight=")
                   + v.CopyRight + QStringLiteral("\nVersion=") + v.Version
                   + QStringLiteral("\nNotes=") + v.Notes + QStringLiteral("\nIconFocused=")
                   + v.IconFocused + QStringLiteral("\nIcon=") + v.Icon
                   + QStringLiteral("\n\n[Script]\n");
    for (const QString &line : v.code)
        text += line + u'\n';
    TextFileFormat format;
    format.lineEnd = LineEnd::CrLf;
    return encodeText(text, format);
}

QString WriteTemplateFile(const QString &libDir, const QString &group, const QString &name,
                          const TemplateFileValues &values)
{
    QString problem = templateNameProblem(group, NameKind::Group);
    if (problem.isEmpty())
        problem = templateNameProblem(name, NameKind::Template);
    if (!problem.isEmpty())
        throw FormatError(problem);
    for (const QString &v : {values.Name, values.CopyRight, values.Version, values.Notes,
                             values.IconFocused, values.Icon}) {
        if (hasLineBreak(v))
            throw FormatError(QStringLiteral("Oops! \"%1\" cannot be stored in a template: its "
                                             "values are single lines. Please write it on one "
                                             "line.")
                                      .arg(v));
    }
    for (const QString &line : values.code) {
        if (hasLineBreak(line))
            throw FormatError(QStringLiteral("Oops! A line of the template's code holds a line "
                                             "break of its own."));
    }
    const QString folder = groupFolder(libDir, group);
    if (!QDir().mkpath(folder))
        throw IoError(QStringLiteral("Oops! Unable to create the folder \"%1\". Please check "
                                     "that the library folder may be written to.")
                              .arg(folder));
    const QString path = fileInFolder(folder, name + QStringLiteral(".plt"));
    writeFileAtomically(path, templateFileBytes(values));
    return path;
}
