#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The lines typed into the console, oldest first, walked with Up and Down like a shell's.
// Blank lines and a repeat of the newest entry are not kept; the oldest entries fall off
// beyond the cap.
class ConsoleHistory
{
public:
    explicit ConsoleHistory(int cap = 500)
        : m_cap(cap)
    {}

    // False when the line was not kept.
    bool add(const QString &line);
    const QStringList &entries() const { return m_entries; }

    // Up: the entry before the one shown; typed is what the line holds now, given back by
    // Down past the newest entry. At the oldest entry it stays there.
    QString previous(const QString &typed);
    // Down: the entry after the one shown, or the line as it was before the walk began.
    QString next();
    bool walking() const { return m_pos >= 0; }

    // One command a line, oldest first; what a line break cannot be part of.
    QByteArray toBytes() const;
    void loadBytes(const QByteArray &bytes);

private:
    QStringList m_entries;
    QString m_typed;
    int m_pos = -1; // index of the entry shown, -1 when not walking
    int m_cap;
};

// What a console line "cd ..." asks for. isCd is false for any other line.
struct ConsoleCd
{
    bool isCd = false;
    QString target; // absolute, cleaned; empty with error set
    QString error;  // one line, e.g. "cd: no such folder: x"
};

// The folder a line "cd", "cd -", "cd ~/x", "cd 'a b'" or "cd rel" names, relative to current;
// home stands for "~" and a bare "cd", previous for "-". Whether the folder exists is the
// caller's check (see consoleCdCheck).
ConsoleCd parseConsoleCd(const QString &line, const QString &current, const QString &home,
                         const QString &previous);
// parseConsoleCd, then the error "cd: no such folder: <arg>" when the target is not a folder.
ConsoleCd consoleCd(const QString &line, const QString &current, const QString &home,
                    const QString &previous);
// The folder as the prompt shows it: the home abbreviated "~".
QString consoleFolderText(const QString &folder, const QString &home);
