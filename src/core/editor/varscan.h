#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// What the code inspector lists for a script. A plain text scan, no Perl parser: the rules
// are simple enough to predict, and the user sees at once what they find.
//
// The text is taken with each line break as one "\n".
struct InspectorEntries
{
    bool variablesRoot = false;   // the "Variables" root is shown
    bool subroutinesRoot = false; // the "Subroutines (local)" root is shown
    QStringList variables;        // "$name" in order of first occurrence, then "@name" likewise
    QStringList subroutines;      // "sub name" for every definition, duplicates included

    bool operator==(const InspectorEntries &o) const
    {
        return variablesRoot == o.variablesRoot && subroutinesRoot == o.subroutinesRoot
               && variables == o.variables && subroutines == o.subroutines;
    }
    bool operator!=(const InspectorEntries &o) const { return !(*this == o); }
};

namespace InspectorScan {

// Characters that end a variable name: codes 0 to 32 and " ' ( ) + , / ; < = \ { }.
bool endsName(QChar c);

// One variable pass: sigil is '$' or '@'. Each name once, spelled as it first occurs;
// names that differ only in letter case count as one.
QStringList variables(QStringView text, QChar sigil);
// Every "sub NAME", in text order.
QStringList subroutines(QStringView text);

// Scalars, then arrays, then subroutines, as the two switches ask.
InspectorEntries scan(QStringView text, bool vars, bool subs);

} // namespace InspectorScan
