#pragma once

#include "core/editor/painter.h"

#include <QString>

#include <algorithm>
#include <vector>

// Perl-like lines with strings left open, comments and sigils: text on which colouring runs
// have something to get wrong.
inline QString sampleText(int lines)
{
    QString t;
    for (int i = 0; i < lines; ++i) {
        switch (i % 5) {
        case 0:
            t += QStringLiteral("my $x%1 = \"text %1\"; # note\n").arg(i);
            break;
        case 1:
            t += QStringLiteral(" if $x%1 if $y\n").arg(i);
            break;
        case 2:
            t += QStringLiteral("print \"unclosed\n");
            break;
        case 3:
            t += QStringLiteral("\t# comment with \"quote\n");
            break;
        default:
            t += QStringLiteral("$$a $b\n");
            break;
        }
    }
    return t;
}

// The definition colouring each character, -1 for none.
inline std::vector<int> perChar(const PaintSpans &spans, int size)
{
    std::vector<int> out(size_t(size), -1);
    for (const PaintSpan &s : spans)
        for (int i = std::max(0, s.start); i < std::min(size, s.end()); ++i)
            out[size_t(i)] = s.definition;
    return out;
}
