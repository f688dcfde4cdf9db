#pragma once

class ScriptEditorWidget;

// The number of lines of the script as perl counts them: a line break at the very end starts
// no line of its own.
int lineCount(const ScriptEditorWidget *editor);

// Puts the caret at a column of a line of the script, both from 1 and counted as perl counts
// them (a long line shown in rows is one line), and centres it on screen. A line past the end
// is the last line, a column past a line's end is its end. While the text is still arriving
// the caret moves once it is all there.
void moveCaretToLine(ScriptEditorWidget *editor, int line, int column = 1);
