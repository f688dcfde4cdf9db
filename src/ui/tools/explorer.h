#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QFileSystemModel;
class QListView;
class QMenu;
class QModelIndex;
class QToolButton;
class QTreeView;
class QWidget;

// The explorer panel's content: a folder tree over the files of the chosen folder that match
// the mask. Both lists are read by the file-system model's own thread and kept up to date by
// its watcher, so a slow or huge folder never holds up the window.
class ExplorerPanel : public QObject
{
    Q_OBJECT
public:
    // openScript opens a file as a script in a new tab.
    ExplorerPanel(std::function<void(const QString &)> openScript, QWidget *parent);

    QWidget *content() const { return m_content; }
    QString folder() const { return m_folder; }
    QString mask() const { return m_mask; }
    // Full path of the entry selected in the file list, or empty.
    QString selectedFile() const;

    void setFolder(const QString &folder);
    void setMask(const QString &mask);
    void askForMask();
    void refresh();
    void openSelected();
    void openSelectedWithEditor();
    void openSelectedWithWordProcessor();
    void loadSelectedInEditor();

    static QStringList masks();

signals:
    // The file list of the current folder and mask is read.
    void listed();

private:
    void makeFileModel();
    void entryActivated(const QModelIndex &index);

    std::function<void(const QString &)> m_openScript;
    QWidget *m_content;
    QFileSystemModel *m_dirs;
    QFileSystemModel *m_files = nullptr;
    QTreeView *m_tree;
    QListView *m_list;
    QToolButton *m_maskButton;
    QString m_folder;
    QString m_mask;
};
