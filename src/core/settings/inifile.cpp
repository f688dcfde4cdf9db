#include "core/settings/inifile.h"

#include "core/common/errors.h"
#include "core/common/textfile.h"
#include "core/settings/inisections.h"

#include <QFile>

namespace {

using IniSections::Block;
using IniSections::Entry;

// The file's text with '\n' line breaks, ending in one when it holds anything, so that every
// line can be replaced, removed or inserted before as a whole.
struct IniText
{
    QString text;
    QString eol = QStringLiteral("\n");
};

IniText load(const QString &path)
{
    IniText t;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return t;
    TextFileFormat fmt;
    t.text = decodeText(f.readAll(), &fmt);
    if (fmt.lineEnd == LineEnd::CrLf)
        t.eol = QStringLiteral("\r\n");
    if (!t.text.isEmpty() && !t.text.endsWith(u'\n'))
        t.text += u'\n';
    return t;
}

void save(const QString &path, const IniText &t)
{
    QString out = t.text;
    if (t.eol != QLatin1String("\n"))
        out.replace(u'\n', t.eol);
    try {
        writeFileAtomically(path, out.toUtf8());
    } catch (const IoError &) {
        throw IoError::unableToWrite(path);
    }
}

// Where a new entry of the block goes: after its last line that is not blank, so that blank
// separators stay where they are.
qsizetype insertionPoint(QStringView text, const Block &b)
{
    qsizetype at = b.body;
    for (qsizetype pos = b.body; pos < b.end;) {
        const qsizetype nl = text.indexOf(u'\n', pos);
        const qsizetype next = nl < 0 ? b.end : nl + 1;
        if (!text.mid(pos, next - pos).trimmed().isEmpty())
            at = next;
        pos = next;
    }
    return at;
}

// The key of each entry that counts, and what to keep of it, in file order.
template<typename F>
void forEachDistinct(const TIniFile &ini, const QString &section, F f)
{
    const IniText t = load(ini.fileName());
    const auto b = IniSections::find(t.text, section);
    if (!b)
        return;
    for (const Entry &e : IniSections::entries(t.text, *b, true))
        f(e);
}

// A group whose header stands more than once leaves open which lines are its own (a stray copy
// of the header may sit inside another group): changing it could delete another group's lines.
void requireOneBlock(const IniText &t, const QString &section, const QString &path)
{
    if (IniSections::blockCount(t.text, section) > 1)
        throw FormatError(QStringLiteral("Oops! The group [%1] appears more than once in %2, so "
                                         "it is not clear which lines belong to it. Nothing was "
                                         "changed. Please remove the extra \"[%1]\" line with a "
                                         "text editor.")
                                  .arg(section.trimmed(), path));
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
    // Quoting could keep the blanks, but would change what the file holds for every reader.
    if (value.size() != value.trimmed().size())
        return QStringLiteral("Oops! This text cannot be stored because it begins or ends with "
                              "a blank. Please remove the blanks around it.");
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
    const auto b = IniSections::find(t.text, section);
    if (!b)
        return std::nullopt;
    const auto e = IniSections::findEntry(t.text, *b, key);
    if (!e)
        return std::nullopt;
    return e->value.toString();
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
    requireOneBlock(t, section, m_fileName);
    const auto b = IniSections::find(t.text, section);
    if (!b) {
        t.text += u'[' + section.trimmed() + QStringLiteral("]\n") + key.trimmed() + u'=' + value
                  + u'\n';
    } else if (const auto e = IniSections::findEntry(t.text, *b, key)) {
        // The stored spelling of the key stays.
        const qsizetype lineEnd = e->next - 1;
        t.text.replace(e->line, lineEnd - e->line, e->key.toString() + u'=' + value);
    } else {
        t.text.insert(insertionPoint(t.text, *b), key.trimmed() + u'=' + value + u'\n');
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
    forEachDistinct(*this, section, [&](const Entry &e) { keys << e.key.toString(); });
}

void TIniFile::ReadSections(QStringList &sections) const
{
    sections.clear();
    const IniText t = load(m_fileName);
    for (const Block &b : IniSections::blocks(t.text)) {
        if (!b.hidden)
            sections << b.name.toString();
    }
}

void TIniFile::ReadSectionValues(const QString &section, QStringList &pairs) const
{
    pairs.clear();
    forEachDistinct(*this, section, [&](const Entry &e) {
        if (!e.value.isEmpty())
            pairs << e.key.toString() + u'=' + e.value.toString();
    });
}

bool TIniFile::SectionExists(const QString &section) const
{
    return IniSections::find(load(m_fileName).text, section).has_value();
}

void TIniFile::EraseSection(const QString &section)
{
    IniText t = load(m_fileName);
    requireOneBlock(t, section, m_fileName);
    const auto b = IniSections::find(t.text, section);
    if (!b)
        return;
    t.text.remove(b->header, b->end - b->header);
    save(m_fileName, t);
}

void TIniFile::DeleteKey(const QString &section, const QString &key)
{
    IniText t = load(m_fileName);
    requireOneBlock(t, section, m_fileName);
    const auto b = IniSections::find(t.text, section);
    if (!b)
        return;
    const auto e = IniSections::findEntry(t.text, *b, key);
    if (!e)
        return;
    t.text.remove(e->line, e->next - e->line);
    save(m_fileName, t);
}

void ReadSectionToList(const TIniFile &ini, const QString &section, QStringList &list)
{
    forEachDistinct(ini, section, [&](const Entry &e) { list << e.value.toString(); });
}
