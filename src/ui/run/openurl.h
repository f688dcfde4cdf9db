#pragma once

#include <QDialog>

class QComboBox;
class TIniFile;

// The open-address dialog: an address typed, chosen from the stored list RecentURLs or picked
// as a file. Created once and kept, so the typed text stays between uses.
class TOpenURL : public QDialog
{
    Q_OBJECT
public:
    // Okay stores the address in chosenAddress (the main window's ChosenAddress).
    TOpenURL(TIniFile &settings, QString &chosenAddress, QWidget *parent = nullptr);

    int exec() override;
    QComboBox *urlEdit() const { return URLEdit; }

private:
    void FormShow();
    void btOkayClick();
    void SpeedButton1Click();

    TIniFile &m_settings;
    QString &m_chosen;
    QComboBox *URLEdit = nullptr;
};
