#include "core/templates/templatelibrary.h"

#include <QDir>
#include <QFileInfo>

QString TemplateLibrary::libDir(const QString &programDir)
{
    return programDir + QStringLiteral("lib/");
}

QString groupDisplayName(const QString &folderName)
{
    QString name = folderName.toLower();
    if (!name.isEmpty())
        name[0] = name[0].toUpper();
    return name;
}

QStringList ListTemplateGroups(const QString &libDir)
{
    QStringList groups;
    const QStringList folders = QDir(libDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot,
                                                       QDir::Unsorted);
    for (const QString &f : folders) {
        const QString name = groupDisplayName(f);
        if (!groups.contains(name))
            groups << name;
    }
    return groups;
}

QStringList ListTemplateFiles(const QString &folder, const QString &mask)
{
    if (folder.isEmpty())
        return {};
    return QDir(folder).entryList({mask}, QDir::Files, QDir::Unsorted);
}

namespace {

// The entry of dir named name without regard to case, or name itself.
QString entryIgnoringCase(const QString &dir, const QString &name, QDir::Filters filters)
{
    if (name.isEmpty() || QFileInfo::exists(dir + name))
        return name;
    const QStringList entries = QDir(dir).entryList(filters | QDir::NoDotAndDotDot | QDir::Hidden,
                                                    QDir::Unsorted);
    for (const QString &e : entries) {
        if (e.compare(name, Qt::CaseInsensitive) == 0)
            return e;
    }
    return name;
}

QString withSlash(const QString &dir)
{
    return dir.endsWith(u'/') ? dir : dir + u'/';
}

} // namespace

QString groupFolder(const QString &libDir, const QString &group)
{
    const QString lib = withSlash(libDir);
    return withSlash(lib + entryIgnoringCase(lib, group, QDir::Dirs));
}

QString fileInFolder(const QString &folder, const QString &name)
{
    const QString dir = withSlash(folder);
    return dir + entryIgnoringCase(dir, name, QDir::Files);
}

QString FileNameWithoutExt(const QString &path)
{
    const QString name = path.mid(path.lastIndexOf(u'/') + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

IconFiles::IconFiles(const QString &libDir)
    : m_libDir(withSlash(libDir))
{
    for (const QString &f : ListTemplateFiles(m_libDir, QStringLiteral("*.bmp"))) {
        const QString key = FileNameWithoutExt(f).toLower();
        // The exact spelling wins over another case of the same name.
        if (!m_byLowerName.contains(key) || FileNameWithoutExt(f) == key)
            m_byLowerName.insert(key, f);
    }
}

QString IconFiles::path(const QString &name) const
{
    if (name.isEmpty())
        return {};
    const QString exact = name + QStringLiteral(".bmp");
    if (QFileInfo(m_libDir + exact).isFile())
        return m_libDir + exact;
    const auto it = m_byLowerName.constFind(name.toLower());
    return it == m_byLowerName.constEnd() ? QString() : m_libDir + *it;
}

QString templateNameProblem(const QString &name, NameKind kind)
{
    const bool group = kind == NameKind::Group;
    if (name.trimmed().isEmpty())
        return group ? QStringLiteral("Oops! Please enter a group name: the template is kept in "
                                      "the folder of its group.")
                     : QStringLiteral("Oops! Please enter a name: it becomes the name of the "
                                      "template's file.");
    bool control = false;
    for (QChar c : name)
        control = control || c.unicode() < 0x20 || c.unicode() == 0x7f;
    if (name.contains(u'/') || name.contains(u'\\') || name.contains(QStringLiteral(".."))
        || name.startsWith(u'.') || control)
        return QStringLiteral("Oops! \"%1\" cannot be the name of a %2: it must not contain "
                              "\"/\", \"\\\" or \"..\", nor begin with \".\". Please choose "
                              "another name.")
                .arg(name, group ? QStringLiteral("group") : QStringLiteral("template"));
    return {};
}
