#pragma once

#include "core/run/runschemes.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TIniFile;

// The options page "Run / syntax check / debug" (tabCompiler): picks, edits, adds and deletes
// run schemes. The options dialog hosts it; it lives as long as the dialog, so its radio pair
// keeps the parameter mode the run dialog uses between showings.
class TSchemePage : public QWidget
{
    Q_OBJECT
public:
    TSchemePage(TIniFile *settings, TIniFile *runSettings, QWidget *parent = nullptr);

    void LoadSchemeList();
    void edRunOptionsChange();
    // Writes the page's values as scheme name and makes it current. The options dialog's
    // Accept passes the selector's text. Throws FormatError for a name the file cannot hold.
    void SaveScheme(const QString &name);
    // "Add these settings as...": asks for a name and saves the page's values under it.
    void addScheme();
    // "Delete this scheme": the selected one, after asking; never "Default".
    void deleteScheme();

    bool customMode() const;
    RunScheme pageValues() const;
    QString selectedScheme() const;

signals:
    // "File options..." asks the options dialog to turn to its page of files.
    void fileOptionsRequested();

private:
    void showSelection(const SchemeSelection &selection);
    void applyEnabling();

    TIniFile *m_settings;
    TIniFile *m_runSettings;

    QComboBox *edRunOptions = nullptr;
    QPushButton *SpeedButton4 = nullptr;
    QPushButton *SpeedButton9 = nullptr;
    QRadioButton *chkCheckParams = nullptr;
    QRadioButton *chkCustomParams = nullptr;
    QGroupBox *grpCheckParams = nullptr;
    QGroupBox *grpCustomParams = nullptr;
    QCheckBox *chkWL = nullptr;
    QCheckBox *chkTU = nullptr;
    QCheckBox *chkUU = nullptr;
    QCheckBox *chkVL = nullptr;
    QCheckBox *chkSU = nullptr;
    QCheckBox *chkHL = nullptr;
    QLineEdit *edCustomParams = nullptr;
};
