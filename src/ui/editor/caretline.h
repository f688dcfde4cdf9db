#pragma once

class QPlainTextEdit;

// Puts the caret at column (from 1) of line (from 1) of the text as its file counts lines (a
// long line shown in rows is one line), clamped to the text, and scrolls it to the middle. A
// script still loading gets its caret once its text has arrived.
void moveCaretToLine(QPlainTextEdit *editor, int line, int column = 1);
