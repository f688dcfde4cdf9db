#pragma once

#include <QWidget>

class QLabel;
class TIniFile;

// The small progress box shown while the default configuration is written.
class TSetDefForm : public QWidget
{
    Q_OBJECT
public:
    explicit TSetDefForm(QWidget *parent = nullptr);

    void setValues(const QString &perl, const QString &webServer, bool runWebServer);
    // Writes every default into settings, one labelled step at a time with a pause between
    // them during which the program stays responsive. Throws IoError when a write fails.
    bool WriteDefaults(TIniFile &settings);

    void setStepDelay(int ms) { m_stepDelayMs = ms; } // tests shorten the pauses
    QString currentLabel() const;

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *m_lSet = nullptr;
    QString m_perl;
    QString m_webServer;
    bool m_runWebServer = false;
    int m_stepDelayMs = 75;
};
