#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// One INI-style state file. Holds only its path: every read goes to the file and every write
// reaches it at once, through an atomic replace. Names compare without regard to case.
// Reads never fail; writes throw IoError ("Unable to write to ...") or FormatError when a
// name or value cannot be stored without changing the file's meaning, or when the group's
// header stands more than once, so that its own lines are in doubt.
class TIniFile
{
public:
    explicit TIniFile(QString fileName)
        : m_fileName(std::move(fileName))
    {}
    const QString &fileName() const { return m_fileName; }

    QString ReadString(const QString &section, const QString &key, const QString &def) const;
    // The stored value; none when the section or the key is missing.
    std::optional<QString> ReadValue(const QString &section, const QString &key) const;
    int ReadInteger(const QString &section, const QString &key, int def) const;
    bool ReadBool(const QString &section, const QString &key, bool def) const;

    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, int value);
    void WriteBool(const QString &section, const QString &key, bool value);

    void ReadSection(const QString &section, QStringList &keys) const;        // keys, file order
    void ReadSections(QStringList &sections) const;                           // file order
    void ReadSectionValues(const QString &section, QStringList &pairs) const; // "key=value"
    bool SectionExists(const QString &section) const;

    void EraseSection(const QString &section);
    void DeleteKey(const QString &section, const QString &key);

    // Checks that a name can be a key (or section) and a value can be stored; throws FormatError.
    static void checkKey(const QString &key);
    static void checkSection(const QString &section);
    static void checkValue(const QString &value);
    // The same checks as a message for dialogs; empty when the text is fine.
    static QString keyProblem(const QString &key);
    static QString valueProblem(const QString &value);

    // Integer reading rule shared by every reader: decimal, "0x…" (longer than two
    // characters) or "$…" hexadecimal; anything else gives def.
    static int parseInteger(const QString &text, int def);

private:
    QString m_fileName;
};

// Appends the values of a section, in key order, to list (which is not cleared).
void ReadSectionToList(const TIniFile &ini, const QString &section, QStringList &list);
