#pragma once

#include "core/run/commandline.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;
class TIniFile;

// The run dialog "Run / Syntax check / debug": interpreter, script, parameters and the
// choices of one run. Created once and only shown and hidden, so its fields keep their values.
class TRunForm : public QDialog
{
    Q_OBJECT
public:
    enum class Purpose { Run, SyntaxCheck, Debug };

    static constexpr int kCollapsedHeight = 174;
    static constexpr int kExpandedHeight = 320;

    TRunForm(TIniFile *settings, TIniFile *runSettings, QWidget *parent = nullptr);

    // The options page's radio pair "Use these settings" / "Use custom parameters" decides
    // between the scheme's switches and its custom text; without a page it is the switches.
    void setCustomModeSource(std::function<bool()> source);

    // What a run command sets before the dialog is shown: check boxes and height.
    void prepare(Purpose purpose);
    void setScript(const QString &path);
    void setExpanded(bool expanded);
    bool isExpanded() const { return m_expanded; }
    // The heights asked for, or more when the fonts need more room.
    int collapsedHeight() const { return m_collapsedHeight; }
    int expandedHeight() const { return m_expandedHeight; }

    RunRequest request() const;
    Command command() const { return buildCommand(request()); }

    void btRunClick();
    // The file buttons beside the interpreter and the script field.
    void browseInterpreter();
    void browseScript();
    // The debug button: shows or hides the debug options below the dialog's fields.
    void toggleDebugOptions();

    static QString openFilter();
    static QString perlSiteAddress();

signals:
    // The dialog has closed; the command is to run in the Perl output panel.
    void runRequested(const Command &command);

public slots:
    void reject() override;

    // The button that opens the options on the run page.
    QPushButton *optionsButton() const { return btOptions; }

private:
    QWidget *createTop();
    QWidget *createDebugArea();
    QString browse(const QString &current);
    void closeToOwner();

    TIniFile *m_settings;
    TIniFile *m_runSettings;
    std::function<bool()> m_customMode;

    QComboBox *edInterpreter = nullptr;
    QComboBox *edScript = nullptr;
    QComboBox *edParams = nullptr;
    QToolButton *SpeedButton1 = nullptr;
    QToolButton *SpeedButton2 = nullptr;
    QToolButton *BitBtn1 = nullptr;
    QPushButton *btRun = nullptr;
    QPushButton *btOptions = nullptr;
    QPushButton *btCancel = nullptr;
    QCheckBox *chkSynCheck = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    QCheckBox *chkDebug = nullptr;
    QRadioButton *radDebugDef = nullptr;
    QRadioButton *radDebugOther = nullptr;
    QLineEdit *edDebugger = nullptr;

    QWidget *m_top = nullptr;
    QWidget *m_debugArea = nullptr;
    int m_collapsedHeight = kCollapsedHeight;
    int m_expandedHeight = kExpandedHeight;
    bool m_expanded = false;
};
