#pragma once

#include "core/editor/brackets.h"

#include <QList>
#include <QTextEdit>

class QTextDocument;

// The bracket at the caret of a script editor and its partner, marked (core/editor/brackets.h).
namespace BracketMarks {

// How far the search looks for a partner: a few thousand lines, read in well under a
// millisecond, whatever the size of the script.
inline constexpr int kReach = 100000;

// A document as the search reads it: a row at a time, with the character its line break or
// row break stands for.
Brackets::ChunkReader chunks(const QTextDocument *doc);
// The bracket at the caret and its partner, or the bracket alone in the warning colour when the
// script has no partner for it; nothing when there is no bracket or the partner is too far.
QList<QTextEdit::ExtraSelection> at(QTextDocument *doc, int caret);

} // namespace BracketMarks
