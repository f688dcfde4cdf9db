#pragma once

#include <QStringView>

#include <optional>

// How one line of an INI-style file reads. Shared by the settings reader and the bulk readers
// of large files (colour definitions, tasks), so all of them read a file alike.
namespace IniLine {

// The name of a section header "[name]", trimmed.
inline std::optional<QStringView> section(QStringView line)
{
    const QStringView s = line.trimmed();
    if (!s.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = s.indexOf(u']');
    if (close < 0)
        return std::nullopt;
    return s.mid(1, close - 1).trimmed();
}

// The key of an entry "key=value"; none for blank lines, comments and lines without "=".
inline std::optional<QStringView> key(QStringView line)
{
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0)
        return std::nullopt;
    const QStringView k = line.left(eq).trimmed();
    if (k.isEmpty() || k.startsWith(u';') || k.startsWith(u'['))
        return std::nullopt;
    return k;
}

// The value of an entry: the text after the first "=", trimmed, without one matching pair of
// single or double quotes around it.
inline QStringView value(QStringView line)
{
    QStringView v = line.mid(line.indexOf(u'=') + 1).trimmed();
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    return v;
}

} // namespace IniLine
