#pragma once

class QThreadPool;

// The pool for the program's own long jobs (laying out a large script, scanning it). Qt's
// global pool must stay free: the raster painter hands parts of large fills to it and waits
// for them, so a busy global pool stalls every repaint of the window.
QThreadPool *workerPool();
