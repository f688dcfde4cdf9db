#pragma once

#include "core/run/ansi.h"
#include "core/run/errorlinks.h"

#include <QString>
#include <QStringView>

#include <optional>
#include <utility>

// Where perl's debugger stands each time it waits for a command: the last "Pkg::sub(FILE:N):"
// it printed before its prompt ("  DB<n> ", "  DB<<n>> " when nested). Fed the output as it
// arrives, terminal escapes and all (the prompt comes underlined), in pieces that may split a
// line anywhere.
class DebuggerStops
{
public:
    explicit DebuggerStops(ErrorLinkFinder finder)
        : m_finder(std::move(finder))
    {}

    // The place the debugger stopped at, when this piece ends at its prompt and a place was
    // named since the previous one.
    std::optional<ErrorLink> feed(QStringView text);

private:
    std::optional<ErrorLink> take(QStringView plain);
    void lineDone();

    AnsiParser m_escapes;
    ErrorLinkFinder m_finder;
    QString m_line;          // the line arriving, its first kilobyte at most
    bool m_overlong = false; // it was longer
    std::optional<ErrorLink> m_last;
};
