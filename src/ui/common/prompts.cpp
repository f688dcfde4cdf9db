#include "ui/common/prompts.h"

#include <QDialog>

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>

namespace {
std::unique_ptr<Prompts> g_prompts;

QString appTitle()
{
    return QStringLiteral("Quillforge");
}
} // namespace

Prompts &Prompts::instance()
{
    if (!g_prompts)
        g_prompts = std::make_unique<DialogPrompts>();
    return *g_prompts;
}

void Prompts::install(std::unique_ptr<Prompts> prompts)
{
    g_prompts = std::move(prompts);
}

void Prompts::error(QWidget *parent, const QString &text)
{
    instance().message(parent, Kind::Error, appTitle(), text, QMessageBox::Ok);
}

void Prompts::information(QWidget *parent, const QString &text)
{
    instance().message(parent, Kind::Information, appTitle(), text, QMessageBox::Ok);
}

QMessageBox::StandardButton Prompts::confirm(QWidget *parent, const QString &text,
                                             QMessageBox::StandardButtons buttons)
{
    return instance().message(parent, Kind::Confirmation, appTitle(), text, buttons);
}

QMessageBox::StandardButton Prompts::warn(QWidget *parent, const QString &text,
                                          QMessageBox::StandardButtons buttons)
{
    return instance().message(parent, Kind::Warning, appTitle(), text, buttons);
}

QMessageBox::StandardButton DialogPrompts::message(QWidget *parent, Kind kind, const QString &title,
                                                   const QString &text,
                                                   QMessageBox::StandardButtons buttons)
{
    QMessageBox::Icon icon = QMessageBox::Question;
    switch (kind) {
    case Kind::Error:
        icon = QMessageBox::Critical;
        break;
    case Kind::Warning:
        icon = QMessageBox::Warning;
        break;
    case Kind::Information:
        icon = QMessageBox::Information;
        break;
    case Kind::Confirmation:
        icon = QMessageBox::Question;
        break;
    }
    QMessageBox box(icon, title, text, buttons, parent);
    return QMessageBox::StandardButton(box.exec());
}

QString DialogPrompts::openFile(QWidget *parent, const QString &title, const QString &dir,
                                const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, title, dir, filter);
}

QString DialogPrompts::saveFile(QWidget *parent, const QString &title, const QString &dir,
                                const QString &filter)
{
    // The program asks about overwriting itself, in its own words.
    return QFileDialog::getSaveFileName(parent, title, dir, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QString DialogPrompts::folder(QWidget *parent, const QString &title, const QString &dir)
{
    return QFileDialog::getExistingDirectory(parent, title, dir);
}

bool DialogPrompts::input(QWidget *parent, const QString &title, const QString &label, QString &text)
{
    bool ok = false;
    const QString r = QInputDialog::getText(parent, title, label, QLineEdit::Normal, text, &ok);
    if (ok)
        text = r;
    return ok;
}

bool DialogPrompts::color(QWidget *parent, QColor &color)
{
    const QColor c = QColorDialog::getColor(color, parent);
    if (!c.isValid())
        return false;
    color = c;
    return true;
}

int DialogPrompts::modal(QDialog &dialog)
{
    return dialog.exec();
}
