#include "core/run/errorlinks.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QVarLengthArray>

#include <algorithm>

namespace {

// How far back from " line N" a file name may start, and how many starts are tried.
constexpr qsizetype kMaxNameLength = 1024;
constexpr int kMaxTries = 8;
constexpr qsizetype kMaxKnown = 4096;

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// Names perl uses for code that has no file, and file handles.
bool isNoFile(QStringView name)
{
    return name.isEmpty() || name == u"-" || name == u"-e" || name.startsWith(u"(eval ")
           || name.startsWith(u'<');
}

} // namespace

ErrorLinkFinder::ErrorLinkFinder(Exists exists)
    : m_exists(std::move(exists))
{
    if (!m_exists)
        m_exists = [](const QString &path) {
            return QFileInfo(path).isFile();
        };
}

void ErrorLinkFinder::setFolder(const QString &folder)
{
    const QString f = folder.isEmpty() ? QDir::currentPath() : QDir(folder).absolutePath();
    if (f != m_folder)
        m_known.clear();
    m_folder = f;
    if (m_folder.isEmpty())
        m_folder = QDir::currentPath();
}

QString ErrorLinkFinder::resolve(QStringView file)
{
    const QString name = file.toString();
    if (auto it = m_known.constFind(name); it != m_known.cend())
        return *it;
    if (m_known.size() >= kMaxKnown)
        m_known.clear();
    if (m_folder.isEmpty())
        setFolder(QString());
    const QString path = QDir::cleanPath(QDir::isAbsolutePath(name) ? name : m_folder + u'/' + name);
    const QString found = m_exists(path) ? path : QString();
    m_known.insert(name, found);
    return found;
}

QList<ErrorLink> ErrorLinkFinder::find(QStringView line)
{
    QList<ErrorLink> links;
    qsizetype taken = 0; // the end of the last place found: names start after it
    qsizetype from = 0;
    const QStringView mark = marker();
    while (true) {
        const qsizetype at = line.indexOf(mark, from);
        if (at < 0)
            break;
        from = at + 1;
        qsizetype end = at + mark.size();
        while (end < line.size() && line[end].isDigit())
            ++end;
        if (end == at + mark.size() || end - at - mark.size() > 9)
            continue;
        if (end < line.size() && (line[end].isLetter() || line[end] == u'_'))
            continue;
        const int number = line.mid(at + mark.size(), end - at - mark.size()).toInt();
        const qsizetype lowest = qMax(taken, at - kMaxNameLength);

        // Starts of the name, most likely first: just after each " at " before it, nearest
        // first, then after each blank, then the start of the line.
        QVarLengthArray<qsizetype, kMaxTries> starts;
        for (qsizetype a = at - 4; a >= lowest && starts.size() < kMaxTries / 2; --a) {
            a = line.lastIndexOf(u" at ", a);
            if (a < lowest)
                break;
            starts.append(a + 4);
        }
        for (qsizetype b = at - 1; b >= lowest && starts.size() < kMaxTries; --b) {
            if (isBlank(line[b]) && b + 1 < at && !starts.contains(b + 1))
                starts.append(b + 1);
        }
        if (lowest == taken && !starts.contains(taken) && starts.size() < kMaxTries)
            starts.append(taken);

        for (const qsizetype s : starts) {
            const QStringView name = line.mid(s, at - s);
            if (isNoFile(name) || isBlank(name.front()))
                continue;
            QString path = resolve(name);
            if (path.isEmpty())
                continue;
            links.append({s, end - s, std::move(path), number});
            taken = end;
            from = end;
            break;
        }
    }
    if (line.contains(debuggerMarker()))
        findDebuggerPlaces(line, links);
    return links;
}

// The debugger's current line: "main::(FILE:N):" or "Pkg::sub(FILE:N):", after its prompt
// when the commands do not echo.
void ErrorLinkFinder::findDebuggerPlaces(QStringView line, QList<ErrorLink> &links)
{
    static const QRegularExpression place(
            QStringLiteral(R"((?:^|[^\w:])[A-Za-z_]\w*(?:::\w+)*::\w*\((.+?):(\d{1,9})\):)"));
    const qsizetype before = links.size();
    for (auto it = place.globalMatch(line); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const qsizetype start = m.capturedStart(1);
        const qsizetype end = m.capturedEnd(2);
        const QStringView name = m.capturedView(1);
        const bool overlaps = std::any_of(links.cbegin(), links.cend(), [&](const ErrorLink &l) {
            return start < l.start + l.length && l.start < end;
        });
        if (overlaps || isNoFile(name))
            continue;
        QString path = resolve(name);
        if (!path.isEmpty())
            links.append({start, end - start, std::move(path), m.capturedView(2).toInt()});
    }
    if (links.size() > before)
        std::sort(links.begin(), links.end(),
                  [](const ErrorLink &a, const ErrorLink &b) { return a.start < b.start; });
}
