#include "ui/common/application.h"

#include "core/common/errors.h"
#include "ui/common/prompts.h"

Application::Application(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Quillforge"));
    setApplicationDisplayName(QStringLiteral("Quillforge"));
    setOrganizationName(QStringLiteral("Ostravine"));
    setApplicationVersion(QStringLiteral("1.0"));
}

void showActionError(const QString &message)
{
    Prompts::error(QApplication::activeWindow(), message);
}

void showActionException(const std::exception &e)
{
    if (const auto *app = dynamic_cast<const AppError *>(&e))
        showActionError(app->message());
    else
        showActionError(
                QStringLiteral("Oops! Something went wrong: %1").arg(QString::fromUtf8(e.what())));
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        showActionException(e);
        return true;
    }
}
