#pragma once

#include <QRegularExpression>
#include <QRegularExpressionMatch>
#include <QString>
#include <QStringView>

#include <vector>

// How a text is looked for: as typed or as a Perl-compatible regular expression, in any letter
// case or exactly, anywhere or only as a whole word (no letter, digit or underscore right
// before or after it).
struct SearchOptions
{
    bool regex = false;
    bool caseSensitive = false;
    bool wholeWords = false;
};

// Finds a pattern in a text and replaces its matches; positions are those of the text.
//
// A regular expression reads the text as lines: "^" and "$" match at every line's start and
// end, "." never matches a line break, and "\w", "\b" and "\d" know every script's letters and
// digits. After an empty match the next one is looked for as Perl's s///g does: a non-empty
// one at the same place first, else one a character further, so "^" or "x*" never loops.
class Replacer
{
public:
    struct Match
    {
        qsizetype start = -1;
        qsizetype length = 0;
        QRegularExpressionMatch groups; // what the pattern's groups took, in the searched text

        bool found() const { return start >= 0; }
        qsizetype end() const { return start + length; }
    };
    // Replaces [start, start + length) of the text by text.
    struct Edit
    {
        qsizetype start = 0;
        qsizetype length = 0;
        QString text;
    };

    Replacer(const QString &pattern, SearchOptions options);

    // A regular expression that does not compile finds nothing; errorString() says why, with
    // the place of the fault in the pattern. An empty pattern finds nothing either.
    bool isValid() const { return m_error.isEmpty(); }
    QString errorString() const { return m_error; }
    const SearchOptions &options() const { return m_options; }

    // The first match beginning at or after from. With skipEmptyAtFrom an empty match right at
    // from does not count: the caret stands on one found before.
    Match findNext(QStringView text, qsizetype from, bool skipEmptyAtFrom = false) const;
    // The last match that begins before `before` and ends at or before it.
    Match findPrevious(QStringView text, qsizetype before) const;
    // The match beginning exactly at start, or none.
    Match matchAt(QStringView text, qsizetype start) const;

    // What replaces a match. In a regular expression's replacement "$1".."$9", "\1".."\9" and
    // "${10}" (or "${name}") stand for what a group took, "$&" and "\0" for the whole match,
    // "\n" and "\t" for a line break and a tab, "\\" and "\$" for "\" and "$"; anything else,
    // as every "$" of Perl code that is not one of these, stays as written. Replacing text as
    // typed inserts the replacement as typed.
    QString expand(const Match &match, const QString &replacement) const;

    // Every match lying in [from, to), replaced; ascending and apart. The text around the range
    // is seen by "^", "$", look-arounds and whole words. An empty match at to counts, unless
    // the range ends at the start of a line, which it then holds none of.
    std::vector<Edit> replaceAll(QStringView text, qsizetype from, qsizetype to,
                                 const QString &replacement) const;
    // text with edits (ascending and apart) made.
    static QString applied(QStringView text, const std::vector<Edit> &edits);

private:
    Match fromRegex(const QRegularExpressionMatch &m) const;

    SearchOptions m_options;
    QRegularExpression m_re;
    QString m_error;
};
