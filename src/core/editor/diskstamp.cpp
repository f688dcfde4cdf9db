#include "core/editor/diskstamp.h"

namespace DiskStamp {

Change change(const FileStamp &known, const FileStamp &now)
{
    if (known == now)
        return Change::None;
    if (!now.exists)
        return Change::Vanished;
    return known.exists ? Change::Changed : Change::Returned;
}

Action action(Change change, bool edited)
{
    switch (change) {
    case Change::None:
        return Action::None;
    case Change::Vanished:
        return Action::TellVanished;
    case Change::Changed:
    case Change::Returned:
        return edited ? Action::AskReload : Action::Reload;
    }
    return Action::None;
}

bool mayOverwrite(const FileStamp &known, const FileStamp &now)
{
    return !now.exists || known == now;
}

} // namespace DiskStamp
