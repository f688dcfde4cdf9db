#include "core/tools/perltools.h"

#include <QRegularExpression>

namespace PerlTools {

QString installHint(const Tool &tool)
{
    return QStringLiteral("%1 is not installed. Install it with:\n\napt install %2")
            .arg(QLatin1String(tool.program), QLatin1String(tool.package));
}

QStringList tidyArguments()
{
    // Given last, these win over a profile that asks for files or other line ends.
    return {QStringLiteral("--standard-output"), QStringLiteral("--standard-error-output"),
            QStringLiteral("--character-encoding=utf8"),
            QStringLiteral("--output-line-ending=unix")};
}

LineSpan selectedLines(QStringView text, qsizetype selectionStart, qsizetype selectionEnd)
{
    if (selectionStart > selectionEnd)
        std::swap(selectionStart, selectionEnd);
    selectionStart = qBound<qsizetype>(0, selectionStart, text.size());
    selectionEnd = qBound<qsizetype>(0, selectionEnd, text.size());
    if (selectionStart == selectionEnd)
        return {0, text.size(), 0};
    LineSpan span;
    span.from = text.left(selectionStart).lastIndexOf(u'\n') + 1;
    span.firstLine = int(text.left(span.from).count(u'\n'));
    // A selection that ends at the start of a line leaves that line out.
    const qsizetype breakAt = text.indexOf(u'\n', selectionEnd - 1);
    span.to = breakAt < 0 ? text.size() : breakAt + 1;
    return span;
}

QString fitted(QString output, bool spanEndsWithBreak)
{
    if (spanEndsWithBreak) {
        if (!output.isEmpty() && !output.endsWith(u'\n'))
            output += u'\n';
    } else if (output.endsWith(u'\n')) {
        output.chop(1);
    }
    return output;
}

LineColumn lineColumn(QStringView text, qsizetype position)
{
    position = qBound<qsizetype>(0, position, text.size());
    const QStringView before = text.left(position);
    const qsizetype lineStart = before.lastIndexOf(u'\n') + 1;
    return {int(before.count(u'\n')), int(position - lineStart)};
}

qsizetype positionOf(QStringView text, LineColumn at)
{
    qsizetype lineStart = 0;
    for (int line = 0; line < at.line; ++line) {
        const qsizetype breakAt = text.indexOf(u'\n', lineStart);
        if (breakAt < 0)
            break;
        lineStart = breakAt + 1;
    }
    qsizetype lineEnd = text.indexOf(u'\n', lineStart);
    if (lineEnd < 0)
        lineEnd = text.size();
    return qMin(lineStart + qMax(0, at.column), lineEnd);
}

QStringList tidyMessages(const QString &errors, const QString &file, int firstLine)
{
    static const QRegularExpression numbered(QStringLiteral("^<stdin>:(\\d+):\\s*(.*)$"));
    static const QRegularExpression plain(QStringLiteral("^<stdin>: ?(.*)$"));
    QStringList lines;
    for (const QString &line : errors.split(u'\n')) {
        if (const auto m = numbered.match(line); m.hasMatch()) {
            QString message = m.captured(2);
            if (message.endsWith(u'.'))
                message.chop(1);
            lines << QStringLiteral("%1 at %2 line %3.")
                             .arg(message, file)
                             .arg(m.captured(1).toInt() + firstLine);
        } else if (const auto p = plain.match(line); p.hasMatch()) {
            lines << p.captured(1);
        } else {
            lines << line;
        }
    }
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    return lines;
}

QStringList criticArguments(int severity)
{
    severity = qBound(kMinSeverity, severity, kMaxSeverity);
    return {QStringLiteral("--severity"),
            QString::number(severity),
            QStringLiteral("--nocolor"),
            QStringLiteral("--verbose"),
            QStringLiteral("%l\\t%c\\t%s\\t%p\\t%m\\n"),
            QStringLiteral("-")};
}

std::vector<Finding> findings(const QString &output)
{
    std::vector<Finding> found;
    for (const QString &line : output.split(u'\n')) {
        const QStringList fields = line.split(u'\t');
        if (fields.size() < 5)
            continue;
        bool okLine = false, okColumn = false, okSeverity = false;
        Finding f;
        f.line = fields[0].toInt(&okLine);
        f.column = fields[1].toInt(&okColumn);
        f.severity = fields[2].toInt(&okSeverity);
        if (!okLine || !okColumn || !okSeverity)
            continue;
        f.policy = fields[3];
        f.message = fields.mid(4).join(u'\t').trimmed();
        found.push_back(std::move(f));
    }
    return found;
}

QString findingLine(const Finding &finding, const QString &file)
{
    QString message = finding.message;
    if (message.endsWith(u'.'))
        message.chop(1);
    return QStringLiteral("[%1 %2] %3 at %4 line %5.")
            .arg(QString::number(finding.severity), finding.policy, message, file,
                 QString::number(finding.line));
}

QStringList criticReport(const QString &output, const QString &errors, int exitCode,
                         const QString &file)
{
    QStringList lines;
    for (const Finding &f : findings(output))
        lines << findingLine(f, file);
    if (!lines.isEmpty())
        return lines;
    if (exitCode == 0)
        return {QStringLiteral("%1 source OK").arg(file)};
    // Not a finding: perlcritic's own words, whatever they are.
    for (const QString &text : {errors, output})
        for (const QString &line : text.split(u'\n'))
            if (!line.trimmed().isEmpty())
                lines << line;
    if (lines.isEmpty())
        lines << QStringLiteral("perlcritic ended with exit code %1.").arg(exitCode);
    return lines;
}

} // namespace PerlTools
