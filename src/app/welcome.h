#pragma once

#include <QDialog>

class TIniFile;

// The first-run wizard. exec() ends with Accepted when left through Cancel or the last page,
// with Rejected when closed through the close box; either way it writes HD_ID and Welcome.
class TWelcome : public QDialog
{
    Q_OBJECT
public:
    TWelcome(TIniFile *settings, const QString &programDir, QWidget *parent = nullptr);

    bool settingsSaved() const { return m_settingsSaved; }
    void setResetStepDelay(int ms) { m_resetStepDelayMs = ms; }

private:
    TIniFile *m_settings;
    QString m_programDir;
    bool m_settingsSaved = false;
    int m_resetStepDelayMs = 75;
};

// The interpreter the desktop associates with Perl files, or empty.
QString DetectPerl();
