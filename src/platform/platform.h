#pragma once

#include <QString>

// Everything that knows the operating system. Defaults that name platform places live here in
// one table (platform.cpp), so that another platform changes only this file.
namespace Platform {

// Folder that holds the Perl interpreter (the first perl on PATH), or the default folder.
QString perlBinDir();
QString perlExecutableName();
// The command the desktop would use to open a Perl file: `perl "%1" %*`, or empty.
QString perlOpenCommand();

// Folder and file name of the local web-server launcher shipped in the program folder.
QString webServerDir(const QString &programDir);
QString webServerLauncherName();
// File name of the program that starts a CGI script with perl, built beside the program.
QString cgiStarterName();
// The server program the launcher runs (lighttpd), found on PATH or in the system folders.
QString findWebServerProgram();
// Whether something on this machine answers at port of the loopback address.
bool localPortAnswers(quint16 port);

// Whether the program runs with the administrator's rights (the browser then needs
// its sandbox switched off).
bool runsAsAdministrator();

// Whether a window system is reachable (a Qt platform plugin that needs none counts as one).
bool displayAvailable();
// An installed icon theme to use when the desktop names none, or empty.
QString installedIconTheme();

// A file dialog's filter from a list of "Description|*.a;*.b|..." pairs, in Qt's form
// "Description (*.a *.b);;...". Patterns of files this platform does not have (programs and
// libraries by extension) are dropped; a description left without patterns lists all files.
QString fileDialogFilter(const QString &pairs);

// What a path names, following links. Asks the file system only: a pipe is not opened, so
// the question never waits for a writer.
enum class FileKind { Missing, Regular, Folder, Pipe, Device, Socket, Other };
FileKind fileKind(const QString &path);

// Identity of this machine and disk, as XXXX-XXXX (upper-case hexadecimal).
QString driveIdentity(const QString &programDir);

// Full name of the account, else its login name, else "[?]".
QString registeredOwner();

QString defaultRunAutoSaveAs();      // the scratch script of a run in mode 2
QString defaultCommandInterpreter(); // the console's interpreter
QString commandInterpreterSwitch();  // what goes between interpreter and command
QString localHttpAddress();          // the local web server, without a path
QString defaultCgiBin(const QString &programDir);
QString defaultBugReportFile();
QString desktopOpener();        // the program that opens files, folders and addresses
QString signalName(int signal); // e.g. "Segmentation fault"; empty when unknown

} // namespace Platform
