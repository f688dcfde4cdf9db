#pragma once

#include "core/editor/brackets.h"

#include <QList>
#include <QTextEdit>

#include <vector>

class QTextDocument;

// The bracket at the caret of a script editor and its partner, marked (core/editor/brackets.h).
namespace BracketMarks {

// How far the search looks for a partner: about a thousand lines of Perl, read in under a
// millisecond whatever the size of the script (bench_ui_editing).
inline constexpr int kReach = 40000;

// A document as the search reads it: a row at a time, with the character its line break or
// row break stands for. rowBreaks: where the document's row breaks are (RowBreaks::Index); it
// must outlive the reader.
Brackets::ChunkReader chunks(const QTextDocument *doc, const std::vector<int> &rowBreaks);
// The bracket at the caret and its partner, or the bracket alone in the warning colour when the
// script has no partner for it; nothing when there is no bracket or the partner is too far.
QList<QTextEdit::ExtraSelection> at(QTextDocument *doc, const std::vector<int> &rowBreaks,
                                    int caret);

} // namespace BracketMarks
