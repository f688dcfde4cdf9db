#include "core/run/browserrules.h"

#include "core/common/extractfield.h"
#include "core/settings/inifile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace BrowserRules {

namespace {
const QString kRecentUrls = QStringLiteral("RecentURLs");
} // namespace

bool isPseudoLink(const QString &address)
{
    return address.contains(QLatin1String("cmd:"));
}

PseudoCommand pseudoCommand(const QString &address)
{
    if (!isPseudoLink(address))
        return PseudoCommand::None;
    const QString name = ExtractField(address, u':', 1);
    if (name == QLatin1String("editor"))
        return PseudoCommand::Editor;
    if (name == QLatin1String("tasks"))
        return PseudoCommand::Tasks;
    if (name == QLatin1String("help"))
        return PseudoCommand::Help;
    if (name == QLatin1String("perlref"))
        return PseudoCommand::PerlRef;
    return PseudoCommand::None;
}

bool isLoopback(const QUrl &url)
{
    const QString host = url.host().toLower();
    if (host == QLatin1String("localhost") || host == QLatin1String("::1"))
        return true;
    static const QRegularExpression ipv4(QStringLiteral("^127(\\.\\d{1,3}){3}$"));
    return ipv4.match(host).hasMatch();
}

Verdict judge(const Navigation &n)
{
    if (isPseudoLink(n.url.toString()))
        return Verdict::PseudoLink;
    const QString scheme = n.url.scheme().toLower();
    const bool web = scheme == QLatin1String("http") || scheme == QLatin1String("https");
    const bool file = scheme == QLatin1String("file");
    if (n.by == Initiator::Program)
        return web || file || scheme == QLatin1String("about") ? Verdict::Load : Verdict::Refuse;
    if (web)
        return isLoopback(n.url) ? Verdict::Load : Verdict::Refuse;
    if (file)
        return n.from.isLocalFile() ? Verdict::Load : Verdict::Refuse;
    if (scheme == QLatin1String("about"))
        return n.url.path() == QLatin1String("blank") || n.url.path() == QLatin1String("srcdoc")
                       ? Verdict::Load
                       : Verdict::Refuse;
    if (scheme == QLatin1String("data") || scheme == QLatin1String("blob"))
        return n.mainFrame ? Verdict::Refuse : Verdict::Load;
    return Verdict::Refuse;
}

namespace {
bool inside(const QUrl &url, const QStringList &places)
{
    if (!url.isLocalFile())
        return false;
    const QString path = QDir::cleanPath(url.toLocalFile());
    return std::any_of(places.begin(), places.end(), [&path](const QString &place) {
        return place.endsWith(u'/') ? path.startsWith(QDir::cleanPath(place) + u'/')
                                    : path == QDir::cleanPath(place);
    });
}
} // namespace

bool mayUseLocalFiles(const Navigation &n, const QStringList &ownPlaces)
{
    return n.mainFrame && inside(n.url, ownPlaces)
           && (n.by == Initiator::Program || inside(n.from, ownPlaces));
}

QString browseCaption(const QString &address)
{
    // Paths here use "/", addresses ":" and "/", and a Windows path "\".
    qsizetype cut = -1;
    for (QChar c : {QChar(u'/'), QChar(u'\\'), QChar(u':')})
        cut = qMax(cut, address.lastIndexOf(c));
    const QString name = address.mid(cut + 1);
    if (name.toLower() == QLatin1String("prev.html"))
        return QStringLiteral("Perl's output preview");
    return name;
}

QString progressText(int progress, int maximum)
{
    if (progress == -1 || maximum == 0)
        return QStringLiteral("Finished.");
    return QStringLiteral("Loading %1 of %2 kb").arg(progress).arg(maximum);
}

bool addAddress(QStringList &list, const QString &text)
{
    if (list.contains(text, Qt::CaseInsensitive))
        return false;
    list << text;
    return true;
}

QUrl toUrl(const QString &address, const QString &baseDir)
{
    const QString text = address.trimmed();
    if (text.isEmpty())
        return QUrl(QStringLiteral("about:blank"));
    // A scheme is letters before a colon; "localhost:8080/x" is a host with a port.
    static const QRegularExpression scheme(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*):(?!\\d)"));
    if (scheme.match(text).hasMatch())
        return QUrl(text, QUrl::TolerantMode);
    if (text.startsWith(u'/'))
        return QUrl::fromLocalFile(QDir::cleanPath(text));
    if (text == QLatin1String("~") || text.startsWith(QLatin1String("~/")))
        return QUrl::fromLocalFile(QDir::cleanPath(QDir::homePath() + text.mid(1)));
    const QString local = QDir(baseDir).absoluteFilePath(text);
    if (QFileInfo::exists(local))
        return QUrl::fromLocalFile(QDir::cleanPath(local));
    // "www.perl.org", "localhost/x", "127.0.0.1:8080/cgi-bin/x.pl": clearly a host, not a file.
    static const QRegularExpression host(
            QStringLiteral("^(www\\.[^/\\s]+|localhost|\\d{1,3}(\\.\\d{1,3}){3})(:\\d+)?(/.*)?$"));
    if (host.match(text).hasMatch())
        return QUrl(QStringLiteral("http://") + text, QUrl::TolerantMode);
    // A relative path that does not exist: the browser shows its own error page for it.
    return QUrl::fromLocalFile(QDir::cleanPath(local));
}

QString displayAddress(const QUrl &url)
{
    return url.isLocalFile() ? url.toLocalFile() : url.toDisplayString();
}

QStringList readRecentUrls(const TIniFile &settings)
{
    QStringList values;
    ReadSectionToList(settings, kRecentUrls, values);
    QStringList urls;
    for (const QString &v : values) {
        if (!v.trimmed().isEmpty())
            addAddress(urls, v);
    }
    return urls;
}

void writeRecentUrls(TIniFile &settings, const QStringList &urls)
{
    // Check everything first, so a value the file cannot hold leaves the old list in place.
    for (const QString &u : urls)
        TIniFile::checkValue(u);
    settings.EraseSection(kRecentUrls);
    for (int i = 0; i < urls.size(); ++i)
        settings.WriteString(kRecentUrls, QStringLiteral("URL%1").arg(i), urls[i]);
}

QByteArray previewPage(const QString &panelText)
{
    if (panelText.isEmpty())
        return {};
    QString text = panelText;
    text.replace(QChar::ParagraphSeparator, u'\n');
    QByteArray out;
    for (const QString &line : text.split(u'\n'))
        out += line.toUtf8() + "\r\n";
    return out;
}

} // namespace BrowserRules
