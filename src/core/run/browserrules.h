#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

class TIniFile;

// Rules of the central page's browser views that need no window.
namespace BrowserRules {

// The pseudo-links: an address that contains "cmd:" anywhere is never followed; the text
// between its first colon and the next one names what to show instead (case counts).
enum class PseudoCommand { None, Editor, Tasks, Help, PerlRef };
bool isPseudoLink(const QString &address);
PseudoCommand pseudoCommand(const QString &address);

// Who asks the browser to go somewhere: the program (a view, an address typed by the user, the
// history) or a page (a link, a form, a script, a redirect, a new window, a frame).
enum class Initiator { Program, Page };
struct Navigation
{
    Navigation(QUrl url, Initiator by = Initiator::Program, QUrl from = {}, bool mainFrame = true)
        : url(std::move(url))
        , by(by)
        , from(std::move(from))
        , mainFrame(mainFrame)
    {}
    QUrl url;
    Initiator by;
    QUrl from; // the page that asks, for a page
    bool mainFrame;
};
enum class Verdict { Load, PseudoLink, Refuse };
// Nothing is ever handed to the desktop. The program may load web addresses and local files;
// a page only the pseudo-links, web addresses on this machine, local pages from a local page
// and, inside frames, content it made itself.
Verdict judge(const Navigation &navigation);
// 127.0.0.0/8, ::1 or localhost.
bool isLoopback(const QUrl &url);
// Whether the page a navigation shows may use other local files (style sheets, pictures, and
// reading them by script): only the program's own pages, local files inside ownPlaces (folders
// ending in "/", or files), shown by the program or reached from another own page. Any other
// local page, the preview of a script's output among them, reads no other file.
bool mayUseLocalFiles(const Navigation &navigation, const QStringList &ownPlaces);

// Caption of an address shown in the browser: its file-name part, or "Perl's output
// preview" for the saved Perl output.
QString browseCaption(const QString &address);

// Status-bar text of the browser's progress report.
QString progressText(int progress, int maximum);

// Appends text unless the list already holds it (compared without regard to case).
bool addAddress(QStringList &list, const QString &text);

// What the browser is asked to load for an address typed by the user or held in the settings:
// web addresses stay as they are, paths (absolute, "~/", or relative to baseDir) become file
// addresses, a bare host ("www.…", "localhost", an IP number) gets "http://".
QUrl toUrl(const QString &address, const QString &baseDir);
// An address as the user reads it: local files as paths, everything else as typed.
QString displayAddress(const QUrl &url);

// The open-address dialog's stored list: section RecentURLs, keys URL0, URL1, ...
// Reading keeps key order and drops empty values and repeats.
QStringList readRecentUrls(const TIniFile &settings);
// Replaces the section by the list; throws IoError or FormatError.
void writeRecentUrls(TIniFile &settings, const QStringList &urls);

// The Perl output saved as a page: every line followed by CR LF, nothing for an empty panel.
QByteArray previewPage(const QString &panelText);

} // namespace BrowserRules
