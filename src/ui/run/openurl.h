#pragma once

#include <QDialog>

class QComboBox;
class QShowEvent;
class QPushButton;
class TIniFile;

// The open-address dialog: an address typed, chosen from the stored list RecentURLs or picked
// as a file. Created once and kept, so the typed text stays between uses.
class TOpenURL : public QDialog
{
    Q_OBJECT
public:
    explicit TOpenURL(TIniFile &settings, QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *e) override;

public:
    QComboBox *urlEdit() const { return URLEdit; }
    // The address of the last Okay.
    const QString &chosenAddress() const { return m_chosen; }

private:
    void FormShow();
    void accept() override;
    void browseForFile();

    TIniFile &m_settings;
    QString m_chosen;
    QComboBox *URLEdit = nullptr;
    QPushButton *m_okay = nullptr;
};
