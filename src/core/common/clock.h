#pragma once

#include <QDateTime>

// The one source of "now": tests pin it to make dates and recent-file keys predictable.
namespace Clock {
QDateTime now();
void setFixed(const QDateTime &fixed); // an invalid value returns to the real clock
} // namespace Clock
