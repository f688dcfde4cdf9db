#pragma once

#include "platform/filestamp.h"

// What the editor does when the file of an open script changes behind it, and when a save may
// write without asking. Pure rules; the watching is the editor's (ui/editor/diskwatch).
namespace DiskStamp {

using Platform::FileStamp;

// What became of a file since the editor last read or wrote it.
enum class Change {
    None,
    Changed,  // another file or other contents stand at the path now
    Vanished, // nothing is there any more
    Returned, // a file is back where one had vanished
};
Change change(const FileStamp &known, const FileStamp &now);

enum class Action {
    None,
    Reload,      // nothing of the user's is lost: read the file again
    AskReload,   // the user's text and the file's differ: reload or keep the user's
    TellVanished // keep the text as unsaved, so that it can be saved again
};
// edited: the editor holds text of the user's that the file lacks (typed since it was read or
// saved, or since the file vanished).
Action action(Change change, bool edited);

// Whether a save may write over path without asking: what is there is what was read or last
// written, or nothing is there. A file that appeared where none was (known has none) was put
// there by someone else.
bool mayOverwrite(const FileStamp &known, const FileStamp &now);

} // namespace DiskStamp
