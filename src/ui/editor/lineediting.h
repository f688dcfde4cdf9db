#pragma once

class ScriptEditorWidget;

// The editing keys and commands that act on whole lines of a script editor, each one step of
// undo: the rules are in core/editor/indent.h, the lines are those of the text (the rows of a
// very long line are one line).
namespace LineEditing {

// Enter: a line break, the new line indented as indent.h says.
void breakLine(ScriptEditorWidget &editor);
// Tab: one level more for each line of a selection that spans lines, else a tab (or blanks)
// in place of the selection.
void tab(ScriptEditorWidget &editor);
// Shift+Tab: one level less for each selected line, or the caret's line.
void outdent(ScriptEditorWidget &editor);
// "#" on or off at the start of each selected line, or the caret's line; gives where the first
// of them starts.
int toggleComment(ScriptEditorWidget &editor);

} // namespace LineEditing
