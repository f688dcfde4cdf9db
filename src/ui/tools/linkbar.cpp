#include "ui/tools/linkbar.h"

#include "core/settings/configkeys.h"
#include "core/settings/inifile.h"
#include "core/tools/customlinks.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QListWidget>
#include <QProcess>

namespace LinkBar {

QIcon linkIcon(const QString &iconFile)
{
    QFileIconProvider provider;
    const QFileInfo info(iconFile);
    if (iconFile.isEmpty() || !info.exists()) {
        const QIcon generic = QIcon::fromTheme(QStringLiteral("application-x-executable"));
        return generic.isNull() ? provider.icon(QFileIconProvider::File) : generic;
    }
    // One icon per file here: the stored index has nothing to pick from.
    return provider.icon(info);
}

void LoadCustomLinks(QListWidget *view, const TIniFile &settings)
{
    view->clear();
    for (const CustomLink &link : CustomLinks::load(settings)) {
        auto *item = new QListWidgetItem(linkIcon(link.iconFile), link.name, view);
        item->setData(Qt::UserRole, link.iconIndex);
    }
}

bool startLink(const TIniFile &settings, const QString &name)
{
    const CustomLink link = CustomLinks::parse(name, settings.ReadString(Config::CustomLinksSection,
                                                                         name, QString()));
    if (link.program.isEmpty())
        return false;
    return QProcess::startDetached(link.program, CustomLinks::arguments(link.parameters),
                                   CustomLinks::workingFolder(link.program));
}

} // namespace LinkBar
