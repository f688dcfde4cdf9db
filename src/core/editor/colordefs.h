#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// The system window-text colour (0x80000008) as the file stores it: the editor's automatic
// text colour rather than a colour of its own.
inline constexpr int kAutomaticColor = -2147483640;

// The seven style fields of a definition value "font|size|colour|bold|italic|underline|strikeout".
struct ColorStyle
{
    QString font = QStringLiteral("Courier New");
    int size = 8;    // points
    int color = 255; // 0x00BBGGRR (red in the low byte) or kAutomaticColor
    bool bold = true;
    bool italic = false;
    int underline = 0; // the editor's underline-type code; the dialog writes 0 or 1
    bool strikeout = false;

    bool isAutomaticColor() const { return color == kAutomaticColor; }
    // 0xRRGGBB, ready for QColor::fromRgb; meaningless for the automatic colour.
    int rgb() const;
    // The underline code in QTextCharFormat::UnderlineStyle numbering (0 = none).
    int underlineStyle() const;

    // The value as the options dialog writes it back.
    QString toValue() const;
    // Fields by ExtractField, so a short value repeats its last field. A numeric field that is
    // not a decimal integer (or a size outside 1..1000), or an empty font name, takes the field
    // of missingValueDefault() and is described in *problem.
    static ColorStyle fromValue(const QString &value, QString *problem = nullptr);

    // "Courier New|8|255|1|0|0|0": what the dialog shows for a definition without a value.
    static ColorStyle missingValueDefault() { return {}; }
    // "Courier New|8|0|1|0|0|0": the value of a definition made with "New definition...".
    static ColorStyle newDefinitionDefault();

    bool operator==(const ColorStyle &o) const;
    bool operator!=(const ColorStyle &o) const { return !(*this == o); }
};

// One key=value line of the definitions file.
struct ColorDefinition
{
    QString group;
    QString key;    // scope digit followed by the pattern
    QString value;  // the seven style fields as written
    int scope = -1; // 0..3, or -1 when the key starts with anything else (paints nothing)

    QString pattern() const { return key.mid(1); }
    QString line() const { return key + u'=' + value; }
};

// The active definition list (ColorDefLines): groups in file order, each group's entries in
// file order. A definition paints with the style of the first entry of the whole list whose
// key matches its own without regard to case.
class ColorDefinitions
{
public:
    // Reads etc/editorcolors.def by the settings-file rules: a section name that occurs twice
    // counts once (its first occurrence), a key that occurs twice in a section counts once, and
    // keys with an empty value are left out. A missing or unreadable file gives no definitions.
    static ColorDefinitions load(const QString &path);
    static ColorDefinitions fromText(const QString &text);
    // From ready "key=value" lines (no group).
    static ColorDefinitions fromLines(const QStringList &lines);

    int size() const { return int(m_defs.size()); }
    bool isEmpty() const { return m_defs.empty(); }
    const ColorDefinition &at(int i) const { return m_defs[size_t(i)]; }
    auto begin() const { return m_defs.begin(); }
    auto end() const { return m_defs.end(); }

    // The list as "key=value" lines, the form the main window keeps.
    QStringList lines() const;

    // Style of entry i: that of the first entry with the same key.
    const ColorStyle &style(int i) const { return m_styles[size_t(m_styleOf[size_t(i)])]; }
    // Style lookup by key, without regard to case; none when no entry has the key.
    std::optional<ColorStyle> styleOf(const QString &key) const;

    // Hand-edit mistakes worth telling the user: bad scope digits, empty patterns, fields that
    // are not numbers. Each is "[group] key: what is wrong".
    const QStringList &problems() const { return m_problems; }

private:
    void append(const QString &group, const QString &key, const QString &value);

    std::vector<ColorDefinition> m_defs;
    std::vector<ColorStyle> m_styles; // each entry's own value, parsed
    std::vector<int> m_styleOf;       // entry -> entry whose style it paints with
    QHash<QString, int> m_firstByKey; // case-folded key -> first entry
    QStringList m_problems;
};
