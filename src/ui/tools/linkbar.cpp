#include "ui/tools/linkbar.h"

#include "core/settings/configkeys.h"
#include "core/settings/inifile.h"
#include "core/tools/customlinks.h"

#include "ui/common/icons.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QImageReader>
#include <QListWidget>
#include <QPixmap>

namespace LinkBar {

namespace {

QIcon picture(const QString &file, int index)
{
    QImageReader reader(file);
    if (!reader.canRead())
        return {};
    if (index > 0 && index < reader.imageCount())
        reader.jumpToImage(index);
    const QImage image = reader.read();
    return image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
}

} // namespace

QIcon linkIcon(const QString &iconFile, int index)
{
    const QFileInfo info(iconFile);
    if (iconFile.isEmpty() || !info.exists()) {
        const QIcon generic = themeIcon("application-x-executable");
        return generic.isNull() ? QFileIconProvider().icon(QFileIconProvider::File) : generic;
    }
    if (info.isFile()) {
        const QIcon pic = picture(iconFile, index);
        if (!pic.isNull())
            return pic;
    }
    return QFileIconProvider().icon(info);
}

void LoadCustomLinks(QListWidget *view, const TIniFile &settings)
{
    view->clear();
    for (const CustomLink &link : CustomLinks::load(settings)) {
        auto *item = new QListWidgetItem(linkIcon(link.iconFile, link.iconIndex), link.name, view);
        item->setToolTip(link.program);
        item->setData(Qt::UserRole, link.iconIndex);
    }
}

bool startLink(const TIniFile &settings, const QString &name)
{
    return CustomLinks::start(
            CustomLinks::parse(name,
                               settings.ReadString(Config::CustomLinksSection, name, QString())));
}

} // namespace LinkBar
