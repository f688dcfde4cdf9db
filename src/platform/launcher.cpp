#include "platform/launcher.h"

#include "platform/platform.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

class DesktopLauncher : public Platform::Launcher
{
public:
    bool startProgram(const QString &program, const QStringList &arguments,
                      const QString &folder) override
    {
        return QProcess::startDetached(program, arguments, folder);
    }

    bool openWithDesktop(const QString &target) override
    {
        if (target.isEmpty())
            return false;
        const QString opener = QStandardPaths::findExecutable(Platform::desktopOpener());
        return !opener.isEmpty() && QProcess::startDetached(opener, {target});
    }
};

std::unique_ptr<Platform::Launcher> &installed()
{
    static std::unique_ptr<Platform::Launcher> launcher;
    return launcher;
}

} // namespace

Platform::Launcher &Platform::Launcher::instance()
{
    static DesktopLauncher desktop;
    Launcher *current = installed().get();
    return current ? *current : desktop;
}

void Platform::Launcher::install(std::unique_ptr<Launcher> launcher)
{
    installed() = std::move(launcher);
}

bool Platform::isProgram(const QString &path)
{
    if (path.trimmed().isEmpty())
        return false;
    if (!path.contains(u'/'))
        return !QStandardPaths::findExecutable(path).isEmpty();
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}
