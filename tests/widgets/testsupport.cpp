#include "testsupport.h"

#include <QDialog>

#include "core/settings/programdir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
QString pop(std::deque<QString> &q)
{
    if (q.empty())
        return {};
    QString s = q.front();
    q.pop_front();
    return s;
}
} // namespace

QMessageBox::StandardButton ScriptedPrompts::message(QWidget *, Kind kind, const QString &,
                                                     const QString &text,
                                                     QMessageBox::StandardButtons buttons)
{
    asked.append({QStringLiteral("message"), kind, text, buttons, {}, {}});
    if (!buttonAnswers.empty()) {
        const auto b = buttonAnswers.front();
        buttonAnswers.pop_front();
        return b;
    }
    for (auto b : {QMessageBox::Cancel, QMessageBox::No, QMessageBox::Ok}) {
        if (buttons.testFlag(b))
            return b;
    }
    return QMessageBox::NoButton;
}

QString ScriptedPrompts::openFile(QWidget *, const QString &title, const QString &dir,
                                  const QString &filter)
{
    asked.append({QStringLiteral("openFile"), Kind::Information, title, {}, dir, filter});
    return pop(fileAnswers);
}

QString ScriptedPrompts::saveFile(QWidget *, const QString &title, const QString &dir,
                                  const QString &filter)
{
    asked.append({QStringLiteral("saveFile"), Kind::Information, title, {}, dir, filter});
    return pop(fileAnswers);
}

QString ScriptedPrompts::folder(QWidget *, const QString &title, const QString &)
{
    asked.append({QStringLiteral("folder"), Kind::Information, title, {}, {}, {}});
    return pop(fileAnswers);
}

bool ScriptedPrompts::input(QWidget *, const QString &, const QString &label, QString &text)
{
    asked.append({QStringLiteral("input"), Kind::Information, label, {}, {}, {}});
    if (fileAnswers.empty())
        return false;
    text = pop(fileAnswers);
    return true;
}

int ScriptedPrompts::modal(QDialog &dialog)
{
    asked.append({QStringLiteral("modal"), Kind::Information, dialog.windowTitle(), {}, {}, {}});
    if (dialogAnswers.empty())
        return QDialog::Rejected;
    const auto answer = std::move(dialogAnswers.front());
    dialogAnswers.pop_front();
    // Shown as a user would see it, without a modal loop.
    dialog.show();
    const int result = answer(dialog);
    dialog.hide();
    return result;
}

bool ScriptedPrompts::color(QWidget *, QColor &color)
{
    asked.append({QStringLiteral("color"), Kind::Information, QString(), {}, {}, {}});
    if (colorAnswers.empty())
        return false;
    color = colorAnswers.front();
    colorAnswers.pop_front();
    return true;
}

QStringList ScriptedPrompts::messages() const
{
    QStringList out;
    for (const Asked &a : asked) {
        if (a.what == QLatin1String("message"))
            out << a.text;
    }
    return out;
}

ScriptedPrompts *ScriptedPrompts::install()
{
    auto p = std::make_unique<ScriptedPrompts>();
    ScriptedPrompts *raw = p.get();
    Prompts::install(std::move(p));
    return raw;
}

TestHome::TestHome()
{
    ensureProgramData(dir(), QStringLiteral(QF_SHIPPED_DATA));
}

void TestHome::writeFile(const QString &relative, const QByteArray &bytes) const
{
    const QString p = path(relative);
    QDir().mkpath(QFileInfo(p).absolutePath());
    QFile f(p);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

QByteArray TestHome::readFile(const QString &relative) const
{
    QFile f(path(relative));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
