#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

// Golden files: each input of a folder below tests/data/golden sits beside the reference its
// output must match ("sample.pl" beside "sample.pl.spans"), compared line by line, line ends
// included. With QF_UPDATE_GOLDEN=1 the references are rewritten from the output instead:
// tests/data/regenerate.sh does that for every set. The suites are named "...Golden".
namespace Golden {

struct Set
{
    QString folder;          // below tests/data/golden, or an absolute path
    QString inputPattern;    // "*.pm"
    QString referenceSuffix; // ".entries": the reference of "a.pm" is "a.pm.entries"
};

QString folderPath(const QString &folder);
bool updating();
// The inputs of a folder, by name.
QStringList inputs(const QString &folderPath, const QString &pattern);

// Where two outputs first differ, line by line, with line ends and control characters shown;
// empty when they are the same.
QString firstDifference(const QByteArray &expected, const QByteArray &actual);

// Runs produce on every input of the set and checks its output against the reference (or
// rewrites the reference). Fails for a set without inputs, a missing reference, and a
// reference whose input is gone. produce may use EXPECT_* and may throw.
void check(const Set &set, const std::function<QByteArray(const QString &inputPath)> &produce);

} // namespace Golden
