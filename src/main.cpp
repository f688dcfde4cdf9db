#include "core/common/messagewait.h"
#include "core/settings/programdir.h"
#include "platform/platform.h"
#include "ui/common/application.h"
#include "ui/common/icons.h"
#include "ui/shell/mainwindow.h"
#include "ui/shell/splash.h"

#include <QFileInfo>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (!Platform::displayAvailable()) {
        std::fprintf(stderr,
                     "quillforge: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                     "Start it from a desktop session, or on a machine without one run it under a\n"
                     "virtual X server:  xvfb-run -a -s '-screen 0 1280x800x24' %s\n",
                     argv[0]);
        return 2;
    }
    // The browser, loaded later on demand, shares the window's graphics contexts.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    Application app(argc, argv);
    initIconTheme();
    app.setWindowIcon(appIcon());

    const QString exeDir = QCoreApplication::applicationDirPath();
    const StartupArgs args = parseStartupArgs(QCoreApplication::arguments(), exeDir);
    ensureProgramData(args.programDir, exeDir, {Platform::webServerLauncherName()});

    auto *splash = new TSplash;
    splash->show();
    splash->repaint();
    ProcessMessages();

    TForm1 window(args.programDir);
    guarded([&] { window.FormCreate(); });
    // Without a window manager (Xvfb, kiosk sessions) maximising does nothing: fill the screen.
    if (QScreen *screen = window.screen())
        window.setGeometry(screen->availableGeometry());
    window.showMaximized();
    guarded([&] { window.FormShow(); });

    delete splash;

    // Files named on the command line open once start-up is done, the last one current.
    if (!args.files.isEmpty()) {
        QTimer::singleShot(0, &window, [&window, files = args.files] {
            for (const QString &f : files)
                guarded([&] { window.OpenDocument(f); });
        });
    }
    return app.exec();
}
