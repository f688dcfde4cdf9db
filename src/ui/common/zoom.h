#pragma once

class QWidget;

// Shows a window without a modal loop, growing an outline out of the mouse pointer.
void ZoomShow(QWidget *window);
// Hides a window, shrinking an outline back into the pointer.
void ZoomHide(QWidget *window);
