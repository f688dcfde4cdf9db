#pragma once

#include <QDialog>

#include <functional>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QToolButton;

// "Create code template": a wizard of five pages (group, icons, properties, code, finish)
// that writes a template file into the library, or rewrites one it was opened on. Made once,
// shown without a modal loop; it keeps its fields between uses. Nothing is written before
// Finish, and a Finish that cannot write keeps the wizard open with what was typed.
class TTemplateForm : public QDialog
{
    Q_OBJECT
public:
    using GroupSource = std::function<QStringList()>;

    // groups: the items of the palette's group box.
    TTemplateForm(QString libDir, GroupSource groups, QWidget *parent = nullptr);

    // Shows the wizard at its first page.
    void showWizard();
    // Shows it filled from an existing template, at the icon page.
    void EditTemplate(const QString &group, const QString &path);
    // The code page's text (the editor's selection).
    void setCode(const QString &code);

    void btNextClick();
    void btBackClick();
    int page() const;

    QComboBox *Groups = nullptr;
    QLineEdit *edDisplayName = nullptr;
    QLineEdit *edIName = nullptr;
    QLineEdit *edCopyright = nullptr;
    QLineEdit *edVersion = nullptr;
    QLineEdit *edNotes = nullptr;
    QPlainTextEdit *Memo = nullptr;
    QRadioButton *radFDefault = nullptr;
    QRadioButton *radFUser = nullptr;
    QRadioButton *radFAvail = nullptr;
    QRadioButton *radNDefault = nullptr;
    QRadioButton *radNUser = nullptr;
    QRadioButton *radNAvail = nullptr;
    QToolButton *ToolButton1 = nullptr; // user focused icon: "Load from file..."
    QToolButton *ToolButton3 = nullptr; // user normal icon
    QToolButton *FBtn = nullptr;        // available focused icons
    QToolButton *NBtn = nullptr;        // available normal icons
    QMenu *popFIcons = nullptr;
    QMenu *popNIcons = nullptr;
    QPushButton *btBack = nullptr;
    QPushButton *btNext = nullptr;
    QPushButton *Button3 = nullptr; // Cancel

signals:
    // A template file was written (group as typed).
    void templateWritten(const QString &group, const QString &path);

protected:
    void closeEvent(QCloseEvent *e) override;
    void reject() override;

private:
    // One icon choice of the icon page: focused or normal.
    struct IconChoice
    {
        QRadioButton *useDefault = nullptr;
        QRadioButton *useUser = nullptr;
        QRadioButton *useAvailable = nullptr;
        QToolButton *userButton = nullptr;
        QToolButton *availableButton = nullptr;
        QMenu *availableMenu = nullptr;
        QString userFile;      // full path of the loaded user icon
        QString availableName; // the chosen icon of lib/
        const char *defaultName = "";
    };

    void FormShow();
    void showPage(int page);
    QWidget *makeGroupPage();
    QWidget *makeIconPage();
    QWidget *makePropertiesPage();
    QWidget *makeCodePage();
    QWidget *makeFinishPage();
    QWidget *makeIconBox(const QString &title, IconChoice &choice, const char *prefix);
    void updateIconButtons(IconChoice &choice);
    void loadUserIcon(IconChoice &choice);
    void fillAvailableIcons();
    void openCodeFile();
    // False (with the message shown, on the field's page) when the group or name cannot be
    // used.
    bool checkGroup();
    bool checkName();
    QString iconLine(IconChoice &choice);
    void finish();

    QString m_libDir;
    GroupSource m_groupSource;
    QStackedWidget *PC = nullptr;
    IconChoice m_focused;
    IconChoice m_normal;
};
