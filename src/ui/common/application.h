#pragma once

#include <QApplication>

#include <exception>

// Catches the errors that end a user action and shows them in an error box, so that no
// exception crosses the event loop and the program goes on.
class Application : public QApplication
{
public:
    Application(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

// Runs f; an AppError it throws is shown in an error box. Returns false when one was shown.
template<typename F>
bool guarded(F &&f);

void showActionError(const QString &message);
void showActionException(const std::exception &e);

template<typename F>
bool guarded(F &&f)
{
    try {
        f();
        return true;
    } catch (const std::exception &e) {
        showActionException(e);
        return false;
    }
}
