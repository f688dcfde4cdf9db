#pragma once

#include <QString>
#include <QStringList>

class TIniFile;

// One run scheme of etc/runsettings.cfg: six Perl switches, a custom parameter text, and
// whether the scheme was saved in custom mode. What is missing from the file reads as off,
// "-wT" and false.
struct RunScheme
{
    bool w = false;
    bool T = false;
    bool U = false;
    bool v = false;
    bool S = false;
    bool h = false;
    QString custom = QStringLiteral("-wT");
    bool useCustom = false;

    bool operator==(const RunScheme &o) const;
    bool operator!=(const RunScheme &o) const { return !(*this == o); }
};

// The schemes in the file, with the current one picked out: what the options page's
// selector shows. index is -1 when nothing is selected.
struct SchemeSelection
{
    QStringList names;
    int index = -1;
    QString current() const { return index >= 0 ? names.at(index) : QString(); }
};

namespace RunSchemes {

QString fileName();      // relative to the program directory
QString defaultName();   // never deleted
QString temporaryName(); // made current by a reset

RunScheme read(const TIniFile &schemes, const QString &name);
// All eight keys, in their fixed order; an existing scheme is overwritten key by key.
// Blanks around the name are dropped, since a section header cannot keep them. Throws
// FormatError, before anything is written, for a name or custom text the file cannot hold.
void write(TIniFile &schemes, const QString &name, const RunScheme &scheme);
QStringList names(const TIniFile &schemes);

// Config / LastRunSetting of the main settings file.
QString current(const TIniFile &settings);
void setCurrent(TIniFile &settings, const QString &name);

// Fills the selector: every scheme in file order, the one named by LastRunSetting (any case)
// selected. The selection is written back at once, so a name that is no scheme becomes "".
SchemeSelection load(const TIniFile &schemes, TIniFile &settings);
// Writes the scheme, makes it current and reloads.
SchemeSelection save(TIniFile &schemes, TIniFile &settings, const QString &name,
                     const RunScheme &scheme);

bool canDelete(const QString &name);
// Erases the scheme; the first remaining one becomes current. Throws AppError with
// cannotDeleteMessage() for the default scheme, leaving both files untouched.
SchemeSelection remove(TIniFile &schemes, TIniFile &settings, const QString &name);

QString cannotDeleteMessage();
QString deleteQuestion(const QString &name);

} // namespace RunSchemes
