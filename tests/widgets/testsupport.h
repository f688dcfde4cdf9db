#pragma once

#include "ui/common/prompts.h"

#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <functional>

// Answers the program's questions from a script and records every question asked.
class ScriptedPrompts : public Prompts
{
public:
    struct Asked
    {
        QString what; // "message", "openFile", "saveFile", "folder", "input", "color"
        Kind kind = Kind::Information;
        QString text;
        QMessageBox::StandardButtons buttons;
        QString dir;    // file and folder prompts: where the dialog starts
        QString filter; // file prompts
    };

    // Queued answers; when the queue is empty, messages answer with the first of
    // Cancel/No/Ok offered and file prompts are cancelled.
    std::deque<QMessageBox::StandardButton> buttonAnswers;
    std::deque<QString> fileAnswers; // openFile, saveFile, folder, input
    std::deque<QColor> colorAnswers;
    // Modal dialogs: each answer acts on the dialog (fills it, presses its buttons) and
    // returns the result code; without one the dialog is rejected untouched.
    std::deque<std::function<int(QDialog &)>> dialogAnswers;
    QList<Asked> asked;

    QMessageBox::StandardButton message(QWidget *, Kind kind, const QString &, const QString &text,
                                        QMessageBox::StandardButtons buttons) override;
    QString openFile(QWidget *, const QString &title, const QString &dir,
                     const QString &filter) override;
    QString saveFile(QWidget *, const QString &title, const QString &dir,
                     const QString &filter) override;
    QString folder(QWidget *, const QString &title, const QString &) override;
    bool input(QWidget *, const QString &, const QString &label, QString &text) override;
    bool color(QWidget *, QColor &color) override;
    int modal(QDialog &dialog) override;

    QStringList messages() const;

    // Installs a fresh answerer and returns it (owned by the Prompts seam).
    static ScriptedPrompts *install();
};

// A private program directory with the shipped etc/, lib/, doc/.
class TestHome
{
public:
    TestHome();
    QString dir() const { return m_dir.path() + QLatin1Char('/'); }
    QString path(const QString &relative) const { return dir() + relative; }
    void writeFile(const QString &relative, const QByteArray &bytes) const;
    QByteArray readFile(const QString &relative) const;

private:
    QTemporaryDir m_dir;
};
