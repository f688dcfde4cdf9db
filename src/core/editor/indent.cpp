#include "core/editor/indent.h"

#include <algorithm>

namespace Indent {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

int width(const Style &style)
{
    return std::max(1, style.tabWidth);
}

// The column after text, tabs going to the next tab stop.
int columnAfter(QStringView text, const Style &style)
{
    int column = 0;
    for (const QChar c : text)
        column = c == u'\t' ? (column / width(style) + 1) * width(style) : column + 1;
    return column;
}

bool isBlankLine(QStringView line)
{
    return leading(line).size() == line.size();
}

} // namespace

QString level(const Style &style)
{
    return style.spaces ? QString(width(style), u' ') : QStringLiteral("\t");
}

QStringView leading(QStringView line)
{
    qsizetype n = 0;
    while (n < line.size() && isBlank(line.at(n)))
        ++n;
    return line.left(n);
}

QString newLine(QStringView beforeCaret, const Style &style)
{
    QString indent = leading(beforeCaret).toString();
    qsizetype last = beforeCaret.size() - 1;
    while (last >= 0 && isBlank(beforeCaret.at(last)))
        --last;
    if (last >= 0 && beforeCaret.at(last) == u'{')
        indent += level(style);
    return indent;
}

QString tab(QStringView beforeCaret, const Style &style)
{
    if (!style.spaces)
        return QStringLiteral("\t");
    return QString(width(style) - columnAfter(beforeCaret, style) % width(style), u' ');
}

Edit indented(QStringView line, const Style &style)
{
    if (line.isEmpty())
        return {};
    return {0, 0, level(style)};
}

Edit outdented(QStringView line, const Style &style)
{
    qsizetype n = 0;
    while (n < line.size() && isBlank(line.at(n)) && columnAfter(line.left(n), style) < width(style))
        ++n;
    return {0, int(n), QString()};
}

QList<Edit> commentToggled(const QStringList &lines)
{
    const bool allBlank = std::all_of(lines.begin(), lines.end(),
                                      [](const QString &l) { return isBlankLine(l); });
    const bool allComments = !allBlank
                             && std::all_of(lines.begin(), lines.end(), [](const QString &l) {
                                    return isBlankLine(l) || l.at(leading(l).size()) == u'#';
                                });
    const Edit comment{0, 0, QStringLiteral("#")};
    QList<Edit> edits;
    for (const QString &line : lines) {
        if (allBlank)
            edits.append(comment);
        else if (isBlankLine(line))
            edits.append(Edit());
        else if (allComments)
            edits.append(Edit{int(leading(line).size()), 1, QString()});
        else
            edits.append(comment);
    }
    return edits;
}

} // namespace Indent
