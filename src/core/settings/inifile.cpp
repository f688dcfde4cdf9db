#include "core/settings/inifile.h"

#include "core/common/errors.h"
#include "core/common/textfile.h"
#include "core/settings/inilines.h"

#include <QFile>
#include <QSet>

namespace {

// A parsed view of the file that keeps every line as it stands, so that a write changes only
// the line it means to.
struct IniText
{
    QStringList lines;
    QString eol = QStringLiteral("\n");
};

IniText load(const QString &path)
{
    IniText t;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return t;
    const QByteArray bytes = f.readAll();
    TextFileFormat fmt;
    const QString text = decodeText(bytes, &fmt);
    if (fmt.lineEnd == LineEnd::CrLf)
        t.eol = QStringLiteral("\r\n");
    if (!text.isEmpty()) {
        t.lines = text.split(u'\n');
        if (t.lines.last().isEmpty())
            t.lines.removeLast();
    }
    return t;
}

void save(const QString &path, const IniText &t)
{
    QString out;
    qsizetype size = 0;
    for (const QString &l : t.lines)
        size += l.size() + t.eol.size();
    out.reserve(size);
    for (const QString &l : t.lines) {
        out += l;
        out += t.eol;
    }
    try {
        writeFileAtomically(path, out.toUtf8());
    } catch (const IoError &) {
        throw IoError::unableToWrite(path);
    }
}

QString headerName(const QString &line)
{
    const auto name = IniLine::section(line);
    return name ? name->toString() : QString();
}

QString entryKey(const QString &line)
{
    const auto key = IniLine::key(line);
    return key ? key->toString() : QString();
}

QString entryValue(const QString &line)
{
    return IniLine::value(line).toString();
}

// Names are stored and read trimmed, so a name given with blanks around it is the same name.
bool sameName(const QString &a, const QString &b)
{
    return QStringView(a).trimmed().compare(QStringView(b).trimmed(), Qt::CaseInsensitive) == 0;
}

// [begin, end) of the first section with this name: begin is the header line.
struct Range
{
    int begin = -1;
    int end = -1;
};

Range findSection(const IniText &t, const QString &section)
{
    Range r;
    for (int i = 0; i < t.lines.size(); ++i) {
        const QString name = headerName(t.lines[i]);
        if (name.isNull())
            continue;
        if (r.begin >= 0) {
            r.end = i;
            return r;
        }
        if (sameName(name, section))
            r.begin = i;
    }
    if (r.begin >= 0)
        r.end = t.lines.size();
    return r;
}

int findKey(const IniText &t, const Range &r, const QString &key)
{
    for (int i = r.begin + 1; i < r.end; ++i) {
        const QString k = entryKey(t.lines[i]);
        if (!k.isNull() && sameName(k, key))
            return i;
    }
    return -1;
}

bool hasLineBreak(const QString &s)
{
    return s.contains(u'\n') || s.contains(u'\r');
}

} // namespace

QString TIniFile::keyProblem(const QString &key)
{
    if (key.trimmed().isEmpty())
        return QStringLiteral("Oops! A name must not be empty.");
    if (key.contains(u'=') || key.trimmed().startsWith(u'[') || key.trimmed().startsWith(u';')
        || hasLineBreak(key))
        return QStringLiteral("Oops! The name \"%1\" cannot be stored. A name must not contain "
                              "\"=\" or a line break, nor begin with \"[\" or \";\". "
                              "Please choose another name.")
                .arg(key);
    return {};
}

QString TIniFile::valueProblem(const QString &value)
{
    if (hasLineBreak(value))
        return QStringLiteral("Oops! This text cannot be stored because it holds a line break. "
                              "Please write it on one line.");
    return {};
}

void TIniFile::checkKey(const QString &key)
{
    const QString p = keyProblem(key);
    if (!p.isEmpty())
        throw FormatError(p);
}

void TIniFile::checkSection(const QString &section)
{
    if (section.trimmed().isEmpty() || section.contains(u']') || hasLineBreak(section))
        throw FormatError(QStringLiteral("Oops! The name \"%1\" cannot be stored. A group name "
                                         "must not be empty, contain \"]\" or a line break. "
                                         "Please choose another name.")
                                  .arg(section));
}

void TIniFile::checkValue(const QString &value)
{
    const QString p = valueProblem(value);
    if (!p.isEmpty())
        throw FormatError(p);
}

int TIniFile::parseInteger(const QString &text, int def)
{
    bool ok = false;
    QString hex;
    if (text.size() > 2
        && (text.startsWith(QLatin1String("0x")) || text.startsWith(QLatin1String("0X"))))
        hex = text.mid(2);
    else if (text.startsWith(u'$'))
        hex = text.mid(1);
    if (!hex.isNull()) {
        if (hex.startsWith(u'-') || hex.startsWith(u'+'))
            return def;
        // Up to 32 bits, wrapping as a 32-bit reader does (0xFFFFFFFF is -1).
        const qulonglong v = hex.toULongLong(&ok, 16);
        return ok && v <= 0xFFFFFFFFULL ? int(quint32(v)) : def;
    }
    const int v = text.toInt(&ok, 10);
    return ok ? v : def;
}

std::optional<QString> TIniFile::ReadValue(const QString &section, const QString &key) const
{
    const IniText t = load(m_fileName);
    const Range r = findSection(t, section);
    if (r.begin < 0)
        return std::nullopt;
    const int i = findKey(t, r, key);
    if (i < 0)
        return std::nullopt;
    return entryValue(t.lines[i]);
}

QString TIniFile::ReadString(const QString &section, const QString &key, const QString &def) const
{
    return ReadValue(section, key).value_or(def);
}

int TIniFile::ReadInteger(const QString &section, const QString &key, int def) const
{
    return parseInteger(ReadString(section, key, QString()), def);
}

bool TIniFile::ReadBool(const QString &section, const QString &key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    checkSection(section);
    checkKey(key);
    checkValue(value);
    IniText t = load(m_fileName);
    const Range r = findSection(t, section);
    const QString entry = key.trimmed() + u'=' + value;
    if (r.begin < 0) {
        t.lines << u'[' + section.trimmed() + u']' << entry;
    } else {
        const int i = findKey(t, r, key);
        if (i >= 0) {
            t.lines[i] = entryKey(t.lines[i]) + u'=' + value;
        } else {
            // After the section's last non-blank line, so blank separators stay where they are.
            int at = r.end;
            while (at > r.begin + 1 && t.lines[at - 1].trimmed().isEmpty())
                --at;
            t.lines.insert(at, entry);
        }
    }
    save(m_fileName, t);
}

void TIniFile::WriteInteger(const QString &section, const QString &key, int value)
{
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString &section, const QString &key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TIniFile::ReadSection(const QString &section, QStringList &keys) const
{
    keys.clear();
    const IniText t = load(m_fileName);
    const Range r = findSection(t, section);
    if (r.begin < 0)
        return;
    QSet<QString> seen;
    for (int i = r.begin + 1; i < r.end; ++i) {
        const QString k = entryKey(t.lines[i]);
        if (!k.isNull() && !seen.contains(k.toLower())) {
            seen.insert(k.toLower());
            keys << k;
        }
    }
}

void TIniFile::ReadSections(QStringList &sections) const
{
    sections.clear();
    const IniText t = load(m_fileName);
    QSet<QString> seen;
    for (const QString &l : t.lines) {
        const QString name = headerName(l);
        if (!name.isNull() && !seen.contains(name.toLower())) {
            seen.insert(name.toLower());
            sections << name;
        }
    }
}

void TIniFile::ReadSectionValues(const QString &section, QStringList &pairs) const
{
    pairs.clear();
    const IniText t = load(m_fileName);
    const Range r = findSection(t, section);
    if (r.begin < 0)
        return;
    QSet<QString> seen;
    for (int i = r.begin + 1; i < r.end; ++i) {
        const QString k = entryKey(t.lines[i]);
        if (k.isNull() || seen.contains(k.toLower()))
            continue;
        seen.insert(k.toLower());
        const QString v = entryValue(t.lines[i]);
        if (!v.isEmpty())
            pairs << k + u'=' + v;
    }
}

bool TIniFile::SectionExists(const QString &section) const
{
    return findSection(load(m_fileName), section).begin >= 0;
}

void TIniFile::EraseSection(const QString &section)
{
    IniText t = load(m_fileName);
    bool changed = false;
    for (Range r = findSection(t, section); r.begin >= 0; r = findSection(t, section)) {
        t.lines.erase(t.lines.begin() + r.begin, t.lines.begin() + r.end);
        changed = true;
    }
    if (changed)
        save(m_fileName, t);
}

void TIniFile::DeleteKey(const QString &section, const QString &key)
{
    IniText t = load(m_fileName);
    const Range r = findSection(t, section);
    if (r.begin < 0)
        return;
    const int i = findKey(t, r, key);
    if (i < 0)
        return;
    t.lines.removeAt(i);
    save(m_fileName, t);
}

void ReadSectionToList(const TIniFile &ini, const QString &section, QStringList &list)
{
    const IniText t = load(ini.fileName());
    const Range r = findSection(t, section);
    if (r.begin < 0)
        return;
    QSet<QString> seen;
    for (int i = r.begin + 1; i < r.end; ++i) {
        const QString k = entryKey(t.lines[i]);
        if (k.isNull() || seen.contains(k.toLower()))
            continue;
        seen.insert(k.toLower());
        list << entryValue(t.lines[i]);
    }
}
