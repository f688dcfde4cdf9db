#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// A template file (".plt"): an "[Info]" section of descriptive values, an empty line, then
// "[Script]" and the code, verbatim, to the end of the file. Written as UTF-8 with CR LF;
// read as UTF-8, or Windows-1252 when it is not valid UTF-8, with any line ends.

// The descriptive values of one template.
struct TStruct_Template
{
    QString Name;
    QString FileName; // the file that was read
    QString Copyright;
    QString Version;
    QString Icon;
    QString IconFocused;
    QString Notes;
};

// The entries of a template file's "[Info]" section, read by the settings rules: keys ignore
// case, the first entry of a key counts, values are trimmed, lose one pair of quotes around
// them and are cut after 2047 characters.
class TemplateInfo
{
public:
    // None when the file does not exist; a file that cannot be read has no entries.
    static std::optional<TemplateInfo> read(const QString &path);
    QString value(const QString &key, const QString &def) const;

private:
    QHash<QString, QString> m_values; // lower-case key -> value
};

// Fills record from the file's "[Info]" (missing keys: "[?]", icons "default_a"/"default_d")
// and sets FileName. Leaves record untouched and returns false when the file does not exist.
bool ReadTemplateInfo(const QString &path, TStruct_Template &record);

// The code of a template as the palette inserts it: the lines after the first line that is
// exactly "[Script]".
QStringList readTemplateCode(const QString &path);
// The code as the wizard edits it: from the first line that holds "[Script]" anywhere (that
// line itself is code unless it is exactly "[Script]").
QStringList readTemplateCodeForEditing(const QString &path);
// Both readers drop every line that is exactly "[Script]"; a file without one has no code.

// What WriteTemplateFile writes. Values are single lines.
struct TemplateFileValues
{
    QString Name;
    QString CopyRight;
    QString Version;
    QString Notes;
    QString IconFocused;
    QString Icon;
    QStringList code;
};

// The bytes of a template file.
QByteArray templateFileBytes(const TemplateFileValues &values);

// Writes libDir/group/name.plt (folder and file found without regard to case; the folder is
// made when missing) and returns its path. The old file is replaced only once the new one is
// complete. Throws FormatError for a name that would lead out of the library or a value with
// a line break, IoError when the folder or file cannot be written.
QString WriteTemplateFile(const QString &libDir, const QString &group, const QString &name,
                          const TemplateFileValues &values);
