#include "core/editor/colordefs.h"

#include "core/common/extractfield.h"
#include "core/common/textfile.h"
#include "core/settings/inisections.h"

#include <QFile>

#include <limits>

namespace {

const char *const kFieldNames[] = {"font",   "size",      "colour",   "bold",
                                   "italic", "underline", "strikeout"};

// Decimal only: the fields are written by the dialog as decimal, and a colour may have been
// written unsigned by another tool, so 0..0xFFFFFFFF wraps as a 32-bit value does.
std::optional<int> decimalField(const QString &field)
{
    bool ok = false;
    const qlonglong v = field.trimmed().toLongLong(&ok, 10);
    if (!ok || v < std::numeric_limits<qint32>::min() || v > qlonglong(0xFFFFFFFFLL))
        return std::nullopt;
    return int(quint32(quint64(v)));
}

} // namespace

int ColorStyle::rgb() const
{
    const quint32 c = quint32(color);
    return int(((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF));
}

int ColorStyle::underlineStyle() const
{
    // Rich-edit underline kinds 1..18 (single, words, double, dotted, dash, dash-dot,
    // dash-dot-dot, wave, thick, hairline, double wave, heavy wave, long dash, and thick
    // variants) onto Qt's none/single/dash/dot/dash-dot/dash-dot-dot/wave.
    enum { None = 0, Single = 1, Dash = 2, Dot = 3, DashDot = 4, DashDotDot = 5, Wave = 6 };
    static const int map[19] = {None,       Single,  Single,     Single, Dot,  Dash, DashDot,
                                DashDotDot, Wave,    Single,     Single, Wave, Wave, Dash,
                                Dash,       DashDot, DashDotDot, Dot,    Dash};
    return underline >= 0 && underline <= 18 ? map[underline] : None;
}

QString ColorStyle::toValue() const
{
    const auto flag = [](bool b) {
        return b ? QStringLiteral("1") : QStringLiteral("0");
    };
    return QStringList{font,         QString::number(size),      QString::number(color), flag(bold),
                       flag(italic), QString::number(underline), flag(strikeout)}
            .join(u'|');
}

ColorStyle ColorStyle::newDefinitionDefault()
{
    ColorStyle s;
    s.color = 0;
    return s;
}

ColorStyle ColorStyle::fromValue(const QString &value, QString *problem)
{
    const ColorStyle fallback = missingValueDefault();
    const int fallbackNumbers[7] = {0,
                                    fallback.size,
                                    fallback.color,
                                    fallback.bold,
                                    fallback.italic,
                                    fallback.underline,
                                    fallback.strikeout};
    int numbers[7] = {};
    QStringList bad;
    for (int i = 1; i < 7; ++i) {
        const QString field = ExtractField(value, u'|', i);
        std::optional<int> n = decimalField(field);
        if (n && i == 1 && (*n < 1 || *n > 1000))
            n.reset();
        if (!n)
            bad << QStringLiteral("%1 \"%2\"").arg(QLatin1String(kFieldNames[i]), field);
        numbers[i] = n.value_or(fallbackNumbers[i]);
    }
    ColorStyle s;
    // Without a face the text would fall back to whatever the system picks, on a taller line.
    const QString face = ExtractField(value, u'|', 0).trimmed();
    s.font = face.isEmpty() ? fallback.font : face;
    s.size = numbers[1];
    s.color = numbers[2];
    s.bold = numbers[3] != 0;
    s.italic = numbers[4] != 0;
    s.underline = numbers[5];
    s.strikeout = numbers[6] != 0;
    if (problem) {
        QStringList parts;
        if (face.isEmpty())
            parts << QStringLiteral("no font name");
        if (!bad.isEmpty())
            parts << QStringLiteral("not a usable number: ") + bad.join(QStringLiteral(", "));
        *problem = parts.join(QStringLiteral("; "));
    }
    return s;
}

bool ColorStyle::operator==(const ColorStyle &o) const
{
    return font == o.font && size == o.size && color == o.color && bold == o.bold
           && italic == o.italic && underline == o.underline && strikeout == o.strikeout;
}

ColorDefinitions ColorDefinitions::load(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return fromText(decodeText(f.readAll()));
}

ColorDefinitions ColorDefinitions::fromText(const QString &text)
{
    ColorDefinitions defs;
    for (const IniSections::Block &block : IniSections::blocks(text)) {
        if (block.hidden)
            continue;
        const QString group = block.name.toString();
        for (const IniSections::Entry &e : IniSections::entries(text, block, true)) {
            if (!e.value.isEmpty())
                defs.append(group, e.key.toString(), e.value.toString());
        }
    }
    return defs;
}

ColorDefinitions ColorDefinitions::fromLines(const QStringList &lines)
{
    ColorDefinitions defs;
    for (const QString &line : lines) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0)
            defs.append(QString(), line.left(eq), line.mid(eq + 1));
    }
    return defs;
}

void ColorDefinitions::append(const QString &group, const QString &key, const QString &value)
{
    ColorDefinition d;
    d.group = group;
    d.key = key;
    d.value = value;
    const QChar digit = key.isEmpty() ? QChar() : key.front();
    d.scope = digit >= u'0' && digit <= u'3' ? digit.unicode() - u'0' : -1;

    const QString where = QStringLiteral("[%1] %2: ").arg(group, key);
    if (d.scope < 0)
        m_problems << where + QStringLiteral("the key must begin with a scope digit from 0 to 3");
    else if (key.size() < 2)
        m_problems << where + QStringLiteral("the key has no pattern after its scope digit");

    QString problem;
    m_styles.push_back(ColorStyle::fromValue(value, &problem));
    if (!problem.isEmpty())
        m_problems << where + problem;

    const int index = size();
    const auto first = m_firstByKey.constFind(key.toCaseFolded());
    if (first == m_firstByKey.constEnd()) {
        m_firstByKey.insert(key.toCaseFolded(), index);
        m_styleOf.push_back(index);
    } else {
        m_styleOf.push_back(*first);
    }
    m_defs.push_back(std::move(d));
}

QStringList ColorDefinitions::lines() const
{
    QStringList out;
    out.reserve(size());
    for (const ColorDefinition &d : m_defs)
        out << d.line();
    return out;
}

std::optional<ColorStyle> ColorDefinitions::styleOf(const QString &key) const
{
    const auto it = m_firstByKey.constFind(key.toCaseFolded());
    if (it == m_firstByKey.constEnd())
        return std::nullopt;
    return m_styles[size_t(*it)];
}
