#pragma once

#include <QString>
#include <QStringList>

#include <memory>

// The desktop's editors, beside its "open" (platform/launcher.h).
namespace Desktop {

// The first plain-text editor found ($VISUAL when it is a window program, gedit, mousepad,
// kate, ...), else empty: the caller opens the file with the desktop instead.
QString textEditor();
// The first word processor found (LibreOffice Writer, AbiWord), else empty.
QStringList wordProcessor();

} // namespace Desktop

// The four attributes of a file as far as this platform has them.
namespace FileAttributes {

struct State
{
    bool readOnly = false; // no write permission for the owner
    bool hidden = false;   // the name starts with "."
    bool system = false;   // not on this platform
    bool archive = false;  // not on this platform
};
constexpr bool kHiddenSettable = false;
constexpr bool kSystemSettable = false;
constexpr bool kArchiveSettable = false;

State read(const QString &path);
// Sets what the platform can set, keeping every other permission; false on failure.
bool write(const QString &path, const State &state);

} // namespace FileAttributes
