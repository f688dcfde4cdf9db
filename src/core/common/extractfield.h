#pragma once

#include <QString>
#include <QStringView>

// Field n (from 0) of text split at a one-character separator. With fewer separators than n,
// the last field is returned for every later index. No escaping.
QString ExtractField(const QString &text, QChar separator, int n);
// The same over a view, for readers that keep only parts of a large text.
QStringView ExtractField(QStringView text, QChar separator, int n);
