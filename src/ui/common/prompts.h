#pragma once

#include <QColor>
#include <QMessageBox>
#include <QString>

#include <memory>

class QDialog;
class QWidget;

// Every question the program puts to the user goes through here, so tests can answer them.
class Prompts
{
public:
    enum class Kind { Error, Warning, Information, Confirmation };

    virtual ~Prompts() = default;

    virtual QMessageBox::StandardButton message(QWidget *parent, Kind kind, const QString &title,
                                                const QString &text,
                                                QMessageBox::StandardButtons buttons)
            = 0;
    // Empty result: cancelled.
    virtual QString openFile(QWidget *parent, const QString &title, const QString &dir,
                             const QString &filter)
            = 0;
    virtual QString saveFile(QWidget *parent, const QString &title, const QString &dir,
                             const QString &filter)
            = 0;
    virtual QString folder(QWidget *parent, const QString &title, const QString &dir) = 0;
    virtual bool input(QWidget *parent, const QString &title, const QString &label, QString &text)
            = 0;
    virtual bool color(QWidget *parent, QColor &color) = 0;
    // A dialog of the program's own shown modally; returns its result code.
    virtual int modal(QDialog &dialog) = 0;

    static Prompts &instance();
    // Installs another answerer (tests); null restores the dialogs.
    static void install(std::unique_ptr<Prompts> prompts);

    // Shorthands in the program's style.
    static void error(QWidget *parent, const QString &text);
    static void information(QWidget *parent, const QString &text);
    static QMessageBox::StandardButton confirm(
            QWidget *parent, const QString &text,
            QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No);
    static QMessageBox::StandardButton warn(QWidget *parent, const QString &text,
                                            QMessageBox::StandardButtons buttons = QMessageBox::Ok);
};

// The real dialogs.
class DialogPrompts : public Prompts
{
public:
    QMessageBox::StandardButton message(QWidget *parent, Kind kind, const QString &title,
                                        const QString &text,
                                        QMessageBox::StandardButtons buttons) override;
    QString openFile(QWidget *parent, const QString &title, const QString &dir,
                     const QString &filter) override;
    QString saveFile(QWidget *parent, const QString &title, const QString &dir,
                     const QString &filter) override;
    QString folder(QWidget *parent, const QString &title, const QString &dir) override;
    bool input(QWidget *parent, const QString &title, const QString &label, QString &text) override;
    bool color(QWidget *parent, QColor &color) override;
    int modal(QDialog &dialog) override;
};
