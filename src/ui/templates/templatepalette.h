#pragma once

#include <QList>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QStringList>

class CommandTable;
class DocumentSource;
class HighlightController;
class PageScroller;
class QComboBox;
class QToolBar;
class QToolButton;
class QWidget;
class TIniFile;
class TManTempForm;
class TTemplateForm;

// The "Code templates" toolbar: a group box and one button per template of the chosen group;
// a click puts the template's code into the current script and colours it. Owns the template
// wizard and the template manager, made when first asked for, and the commands that show them.
class TemplatePalette : public QObject
{
    Q_OBJECT
public:
    TemplatePalette(TIniFile &settings, QString programDir, const CommandTable &commands,
                    const DocumentSource &docs, HighlightController &highlighting, QWidget *window);
    ~TemplatePalette() override;

    QToolBar *toolBar() const { return m_toolBar; }
    QComboBox *groupBox() const { return m_groups; }

    // Start-up: lists the groups, shows "Standard" (else the first group).
    void LoadTemplateGroups();
    // The buttons of a group's templates, in the order the file system lists them.
    void FillTemplatePalette(const QString &group);
    // The group box's choice again, as the files are now.
    void refresh();
    // Captions on or off as the settings say, and the buttons read anew.
    void applyOptions();
    // Gives the buttons the room they need, as far as the window has it.
    void LayoutTemplatePalette(bool resizeToContent);

    void TemplateButtonClick(int index);
    // The expanded code of a template file in place of the current script's selection, as one
    // step of undo; etc/template.tmp keeps a copy.
    void InsertTemplate(const QString &path);

    QStringList groups() const;
    // A group made or removed elsewhere shows in (or leaves) the group box at once.
    void addGroup(const QString &group);
    void removeGroup(const QString &group);

    TTemplateForm *wizard();
    TManTempForm *manager();

    // For tests: the template file of each button, and the buttons.
    const QStringList &templatePaths() const { return m_paths; }
    const QList<QToolButton *> &buttons() const { return m_buttons; }
    int imageCount() const { return int(m_colds.size()); }

private:
    void CompGrpsChange();
    void clearButtons();
    // The index of an icon pair in the image lists (appended), each the first readable file of
    // its list; 0 when no normal icon can be read.
    int imageFor(const QStringList &colds, const QStringList &hots);
    void createTemplateFromSelection();
    QString libDir() const;

    TIniFile &m_settings;
    QString m_programDir;
    const DocumentSource &m_docs;
    HighlightController &m_highlighting;
    QWidget *m_window;
    QToolBar *m_toolBar;
    QComboBox *m_groups;
    PageScroller *m_scroller;
    QWidget *m_codeBar;
    QList<QToolButton *> m_buttons;
    QStringList m_paths; // the template file of each button, by its index
    // The two image lists grow in step: an index means the same icon in both.
    QList<QPixmap> m_builtins;
    QList<QPixmap> m_colds;
    QList<QPixmap> m_hots;
    quint64 m_fillGeneration = 0;
    QPointer<TTemplateForm> m_wizard;
    QPointer<TManTempForm> m_manager;
};
