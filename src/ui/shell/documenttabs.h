#pragma once

#include "ui/editor/documentsource.h"

#include <QObject>
#include <QString>
#include <QStringList>

class CommandTable;
class DiskWatch;
class QLabel;
class QMenu;
class QStackedWidget;
class QTabBar;
class QTimer;
class QWidget;
class ScriptEditorWidget;
class TIniFile;

// The open scripts: their editors, the tab strip, the path caption, opening, saving, closing,
// the recent-files menu, the periodic save and the position shown in the status line.
class DocumentTabs : public QObject, public DocumentSource
{
    Q_OBJECT
public:
    DocumentTabs(TIniFile &settings, const CommandTable &commands, QMenu *editorMenu,
                 QWidget *parent);
    ~DocumentTabs() override;

    // The widgets the main window lays out.
    QTabBar *tabBar() const { return m_tabs; }
    QStackedWidget *editors() const { return m_editors; }
    QWidget *pathBar() const { return m_pathBar; }
    QMenu *recentMenu() const { return m_recentMenu; }
    // Tells of and follows changes other programs make to the open scripts' files.
    DiskWatch &diskWatch() const { return *m_diskWatch; }
    // The status-line labels this controller writes (position, modified).
    void setStatusLabels(QLabel *position, QLabel *modified);

    TScriptEditor *current() const override;
    const List &all() const override { return m_documents; }
    bool saveCurrent() override;

    // An empty path makes a new script "Noname #n". Throws IoError when the file cannot be read
    // or the path names something other than a file (a folder, a pipe, a device).
    // A file that is open already (the same file by any path to it) only gets its tab selected.
    void open(const QString &path);
    // Opens the file or selects its tab, then puts the caret at the line and column (from 1)
    // once its text is there.
    void openAt(const QString &path, int line, int column = 1);
    // The editor of an open script of the file (by any path to it), or null.
    ScriptEditorWidget *editorOfFile(const QString &path) const;
    // Brings an open script to the front with the caret at a line and column (from 1).
    void showLine(const ScriptEditorWidget *editor, int line, int column = 1);
    // Perl's debugger waits at a line of a script: it is shown with the line marked (the focus
    // stays where it is, at the debugger's input); the mark leaves every other script. Null
    // takes every mark away.
    void showDebuggerStop(const ScriptEditorWidget *editor, int line);
    void openWithDialog();
    bool saveAs();       // false when cancelled
    void closeCurrent(); // asks about unsaved text
    void closeCurrentNow();
    // Asks about every unsaved script; false when the user cancels or a save fails.
    bool confirmClose();
    void rebuildRecentMenu();
    const QStringList &recentFiles() const { return m_recentFiles; }
    // Reads the periodic-save settings.
    void applyOptions();
    void updateStatus();
    // Asks for a line, or a line and a column, of the current script and puts the caret there.
    void goToLine();
    // Selects the tab step places on, wrapping at either end.
    void selectNeighbour(int step);
    // Start-up: forget what a previous start-up left and read the remembered folder.
    void reset();

signals:
    // A new editor exists (its text may still be arriving).
    void documentCreated(TScriptEditor *doc);
    // A file's text is in its editor: colour it from the start.
    void fileOpened(TScriptEditor *doc);
    // Another tab was selected (or the first one created).
    void currentChanged(TScriptEditor *doc);
    void lastClosed();
    // A script is about to go, its text saved or given up.
    void documentClosing(TScriptEditor *doc);

private:
    bool save(TScriptEditor &doc);
    // The tab of the document whose file path names, or -1.
    int tabOfFile(const QString &path) const;
    int tabOfEditor(const ScriptEditorWidget *editor) const;
    void selectTab(int index);
    // The tab's text: its caption, marked while the script holds unsaved text.
    void showMark(const ScriptEditorWidget *editor);
    void setCaption(int index, const QString &caption);
    void selectionChanged();
    void saveOnTimer();
    // Tells of what broken-off saves of path left beside it.
    void reportSaveLeftovers(const QString &path);

    TIniFile &m_settings;
    List m_documents;
    QStringList m_recentFiles;
    int m_nonameCount = 0;
    QString m_openDir;
    QTabBar *m_tabs;
    QStackedWidget *m_editors;
    QWidget *m_pathBar;
    QLabel *m_pathCaption;
    QMenu *m_editorMenu;
    QMenu *m_recentMenu;
    QTimer *m_autoSaveTimer;
    QLabel *m_positionLabel = nullptr;
    QLabel *m_modifiedLabel = nullptr;
    bool m_autoSaving = false;
    DiskWatch *m_diskWatch;
};
