#pragma once

#include <QDialog>

#include <functional>

class QListWidget;
class QMenu;
class QPushButton;
class QTreeWidget;

// "Template palette": the groups of the library and the templates of the chosen one, with
// their values and icons; removes and makes groups, deletes templates and opens one in the
// wizard. Made once, shown without a modal loop.
class TManTempForm : public QDialog
{
    Q_OBJECT
public:
    using GroupSource = std::function<QStringList()>;
    using Editor = std::function<void(const QString &group, const QString &path)>;

    // groups: the items of the palette's group box; edit opens a template in the wizard.
    TManTempForm(QString libDir, GroupSource groups, Editor edit, QWidget *parent = nullptr);

    void showManager();
    // Lists the templates of the selected group again (after the wizard wrote one).
    void lvGroupsChange();

    void SpeedButton1Click(); // remove group
    void SpeedButton2Click(); // new group
    void SpeedButton3Click(); // delete template
    void SpeedButton4Click(); // edit template
    void Button1Click();      // close

    QListWidget *lvGroups = nullptr;
    QTreeWidget *lvTemps = nullptr;
    QPushButton *SpeedButton1 = nullptr;
    QPushButton *SpeedButton2 = nullptr;
    QPushButton *SpeedButton3 = nullptr;
    QPushButton *SpeedButton4 = nullptr;
    QPushButton *SpeedButton5 = nullptr;
    QPushButton *SpeedButton6 = nullptr;
    QPushButton *Button1 = nullptr;
    QMenu *PopupMenu1 = nullptr;

signals:
    void groupCreated(const QString &group);
    void groupRemoved(const QString &group);
    // Close: the palette shows the library as it is now.
    void closed();

protected:
    void closeEvent(QCloseEvent *e) override;
    void reject() override;

private:
    void FormShow();
    QString selectedGroup() const;
    QString selectedTemplate() const;

    QString m_libDir;
    GroupSource m_groupSource;
    Editor m_edit;
};
