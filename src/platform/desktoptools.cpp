#include "platform/desktoptools.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

QString Desktop::textEditor()
{
    // $VISUAL may well be a terminal editor, which would start unseen: only window programs.
    const QStringList candidates{QStringLiteral("gedit"),    QStringLiteral("gnome-text-editor"),
                                 QStringLiteral("mousepad"), QStringLiteral("kate"),
                                 QStringLiteral("kwrite"),   QStringLiteral("pluma"),
                                 QStringLiteral("xed"),      QStringLiteral("leafpad")};
    const QString visual = qEnvironmentVariable("VISUAL");
    for (const QString &name : QStringList{visual} + candidates) {
        if (name.isEmpty() || (name == visual && !candidates.contains(QFileInfo(name).fileName())))
            continue;
        const QString found = QStandardPaths::findExecutable(name);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

QStringList Desktop::wordProcessor()
{
    const QString office = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
    if (!office.isEmpty())
        return {office, QStringLiteral("--writer")};
    const QString abiword = QStandardPaths::findExecutable(QStringLiteral("abiword"));
    if (!abiword.isEmpty())
        return {abiword};
    return {};
}

FileAttributes::State FileAttributes::read(const QString &path)
{
    const QFileInfo info(path);
    State s;
    s.readOnly = !(info.permissions() & QFileDevice::WriteOwner);
    s.hidden = info.fileName().startsWith(u'.');
    return s;
}

bool FileAttributes::write(const QString &path, const State &state)
{
    QFile::Permissions p = QFileInfo(path).permissions();
    const QFile::Permissions before = p;
    if (state.readOnly)
        p &= ~QFileDevice::WriteOwner;
    else
        p |= QFileDevice::WriteOwner;
    if (p == before)
        return true;
    return QFile::setPermissions(path, p);
}
