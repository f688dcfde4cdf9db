#include "core/run/consolehistory.h"

#include <QDir>
#include <QFileInfo>

bool ConsoleHistory::add(const QString &line)
{
    m_pos = -1;
    m_typed.clear();
    if (line.trimmed().isEmpty() || line.contains(u'\n') || line.contains(u'\r'))
        return false;
    if (!m_entries.isEmpty() && m_entries.constLast() == line)
        return false;
    m_entries.append(line);
    if (m_entries.size() > m_cap)
        m_entries.erase(m_entries.begin(), m_entries.begin() + (m_entries.size() - m_cap));
    return true;
}

QString ConsoleHistory::previous(const QString &typed)
{
    if (m_entries.isEmpty())
        return typed;
    if (m_pos < 0) {
        m_typed = typed;
        m_pos = int(m_entries.size());
    }
    if (m_pos > 0)
        --m_pos;
    return m_entries.at(m_pos);
}

QString ConsoleHistory::next()
{
    if (m_pos < 0)
        return m_typed;
    if (++m_pos >= m_entries.size()) {
        m_pos = -1;
        return m_typed;
    }
    return m_entries.at(m_pos);
}

QByteArray ConsoleHistory::toBytes() const
{
    QByteArray out;
    for (const QString &line : m_entries)
        out += line.toUtf8() + '\n';
    return out;
}

void ConsoleHistory::loadBytes(const QByteArray &bytes)
{
    m_entries.clear();
    m_pos = -1;
    const QStringList lines = QString::fromUtf8(bytes).split(u'\n');
    for (QString line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        add(line);
    }
}

namespace {

// The words of a cd line: blanks separate, single or double quotes keep blanks, a backslash
// keeps the next character. Returns false on an unclosed quote.
bool splitWords(const QString &line, QStringList &words)
{
    QString word;
    bool inWord = false;
    QChar quote;
    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                word += c;
        } else if (c == u'"' || c == u'\'') {
            quote = c;
            inWord = true;
        } else if (c == u'\\' && i + 1 < line.size()) {
            word += line.at(++i);
            inWord = true;
        } else if (c.isSpace()) {
            if (inWord)
                words << word;
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words << word;
    return quote.isNull();
}

} // namespace

ConsoleCd parseConsoleCd(const QString &line, const QString &current, const QString &home,
                         const QString &previous)
{
    ConsoleCd cd;
    const QString trimmed = line.trimmed();
    if (trimmed != QLatin1String("cd") && !trimmed.startsWith(QLatin1String("cd "))
        && !trimmed.startsWith(QLatin1String("cd\t")))
        return cd;
    cd.isCd = true;
    QStringList words;
    if (!splitWords(trimmed, words)) {
        cd.error = QStringLiteral("cd: unclosed quote");
        return cd;
    }
    words.removeFirst();
    if (words.size() > 1) {
        cd.error = QStringLiteral("cd: too many arguments");
        return cd;
    }
    QString arg = words.isEmpty() ? QStringLiteral("~") : words.constFirst();
    if (arg == QLatin1String("-")) {
        if (previous.isEmpty()) {
            cd.error = QStringLiteral("cd: no previous folder");
            return cd;
        }
        arg = previous;
    } else if (arg == QLatin1String("~")) {
        arg = home;
    } else if (arg.startsWith(QLatin1String("~/"))) {
        arg = home + arg.mid(1);
    }
    cd.target = QDir::cleanPath(QDir(current).absoluteFilePath(arg));
    return cd;
}

ConsoleCd consoleCd(const QString &line, const QString &current, const QString &home,
                    const QString &previous)
{
    ConsoleCd cd = parseConsoleCd(line, current, home, previous);
    if (cd.isCd && cd.error.isEmpty() && !QFileInfo(cd.target).isDir()) {
        QStringList words;
        splitWords(line.trimmed(), words);
        cd.error = QStringLiteral("cd: no such folder: ")
                   + (words.size() > 1 ? words.at(1) : cd.target);
        cd.target.clear();
    }
    return cd;
}

QString consoleFolderText(const QString &folder, const QString &home)
{
    const QString h = QDir::cleanPath(home);
    if (h.isEmpty() || h == QLatin1String("/"))
        return folder;
    if (folder == h)
        return QStringLiteral("~");
    if (folder.startsWith(h + u'/'))
        return u'~' + folder.mid(h.size());
    return folder;
}
