#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

// What the IDE asks of Debian's perltidy and perlcritic, and how it reads their answers. Both
// get the script's text on standard input in UTF-8 and run in the script's folder, so that
// they find the .perltidyrc or .perlcriticrc beside it (a new script: the home folder's).
namespace PerlTools {

struct Tool
{
    const char *program;
    const char *package; // the Debian package that brings it
};
inline constexpr Tool Tidy{"perltidy", "perltidy"};
inline constexpr Tool Critic{"perlcritic", "libperl-critic-perl"};

// The message for a tool that is not installed.
QString installHint(const Tool &tool);

// Standard input to standard output, errors to standard error (never a .ERR file beside the
// script), line feeds out as they came in.
QStringList tidyArguments();

// The whole lines a selection touches, [from, to) in text; to is past the last line's break,
// or the end of the text. No selection: all of the text.
struct LineSpan
{
    qsizetype from = 0;
    qsizetype to = 0;
    int firstLine = 0; // of from, counted from 0
};
LineSpan selectedLines(QStringView text, qsizetype selectionStart, qsizetype selectionEnd);

// perltidy ends its output with a line break; the span keeps the ending it had.
QString fitted(QString output, bool spanEndsWithBreak);

// Line and column of a position, and back: the position of a line and column, each cut to
// what the text has.
struct LineColumn
{
    int line = 0;
    int column = 0;
};
LineColumn lineColumn(QStringView text, qsizetype position);
qsizetype positionOf(QStringView text, LineColumn at);

// perltidy's complaints about standard input ("<stdin>:3: ...") as lines of the output panel,
// those with a line number in the form "MESSAGE at FILE line N." of the script's own lines;
// firstLine is where the tidied lines start in the script.
QStringList tidyMessages(const QString &errors, const QString &file, int firstLine);

// One finding per line, fields separated by tabs, so that the message may hold anything else.
QStringList criticArguments(int severity);
inline constexpr int kMinSeverity = 1;
inline constexpr int kMaxSeverity = 5;

struct Finding
{
    int line = 0;
    int column = 0;
    int severity = 0;
    QString policy;
    QString message;
};
// The findings in perlcritic's output; lines of another shape are left out.
std::vector<Finding> findings(const QString &output);
// "[5 Policy] Message at FILE line N."
QString findingLine(const Finding &finding, const QString &file);

// What the output panel shows after a check: a line per finding, "FILE source OK" when there is
// none, or what perlcritic said when it failed (exit code 1: a bad option or profile).
QStringList criticReport(const QString &output, const QString &errors, int exitCode,
                         const QString &file);

} // namespace PerlTools
