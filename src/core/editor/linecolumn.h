#pragma once

#include <QStringView>

#include <optional>

// A place in a script as the user types it: a line, or a line and a column, both from 1,
// such as "120" or "120:5". Lines are those perl reports in its messages.
namespace LineColumn {

struct Place
{
    int line = 1;
    int column = 1;
};

// Blanks around the parts are allowed; a number too large for an int becomes the largest
// int (it is clamped to the text's end anyway). Anything else, 0 included, is no place.
std::optional<Place> parse(QStringView text);

} // namespace LineColumn
