#pragma once

#include <QDialog>
#include <QList>

class QAction;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QStackedWidget;
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

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    enum Section { WelcomeSection, ConfigSection, InfoSection };

    QWidget *buildBanner();
    QWidget *buildSectionColumn();
    QWidget *buildPages();
    QStackedWidget *newSection(const char *name);
    QWidget *buildWelcomePages();
    QWidget *buildConfigPages();
    QWidget *buildInfoPages();
    QWidget *buildButtonBar();

    void FormCreate();
    void sWelcomeExecute() { showSection(WelcomeSection); }
    void sConfigExecute() { showSection(ConfigSection); }
    void sInfoExecute() { showSection(InfoSection); }
    void showSection(Section section);
    void btNextClick();
    void btSaveClick();
    void FormClose();
    void leaveWizard();

    TIniFile *m_settings;
    QString m_programDir;
    bool m_settingsSaved = false;
    int m_resetStepDelayMs = 75;

    // While the reset runs, the wizard may not close: FormClose's writes would be overwritten
    // by the reset's. Requests to leave wait for the reset's end.
    bool m_resetting = false;
    bool m_leavePending = false;
    int m_closePending = -1;

    QList<QAction *> m_sectionActions;
    QStackedWidget *m_pcMain = nullptr;
    QList<QStackedWidget *> m_sectionPages;
    QLineEdit *m_edPerl = nullptr;
    QLineEdit *m_edWebSrv = nullptr;
    QCheckBox *m_chkWebSrv = nullptr;
    QPushButton *m_btSave = nullptr;
    QPushButton *m_button1 = nullptr;
    QPushButton *m_btNext = nullptr;
};
