#include "ui/templates/mantempform.h"

#include "core/common/errors.h"
#include "core/templates/iconbitmap.h"
#include "core/templates/templatefile.h"
#include "core/templates/templatelibrary.h"
#include "ui/common/application.h"
#include "ui/common/icons.h"
#include "ui/common/panels.h"
#include "ui/common/prompts.h"
#include "ui/common/zoom.h"
#include "ui/templates/templateicons.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Column { NameColumn, FileColumn, VersionColumn, CopyrightColumn, NotesColumn };

// A push button rather than a tool button: pressed through the accessibility interface it
// clicks after returning, so a question it asks does not hold up whoever pressed it.
QPushButton *flat(const char *name, const QString &caption, const char *icon, QWidget *parent)
{
    auto *b = new QPushButton(themeIcon(icon), caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setFlat(true);
    b->setAutoDefault(false);
    return b;
}

QIcon groupIcon()
{
    return themeIcon("folder", QStyle::SP_DirIcon);
}

} // namespace

TManTempForm::TManTempForm(QString libDir, GroupSource groups, Editor edit, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_libDir(std::move(libDir))
    , m_groupSource(std::move(groups))
    , m_edit(std::move(edit))
{
    setObjectName(QStringLiteral("ManTempForm"));
    setWindowTitle(QStringLiteral("Template palette"));
    setModal(false);
    auto *outer = new QVBoxLayout(this);

    auto *head = new QHBoxLayout;
    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(themeIcon("document-edit", QStyle::SP_FileDialogDetailedView).pixmap(32, 32));
    picture->setAlignment(Qt::AlignTop);
    head->addWidget(picture);
    auto *headText = new QVBoxLayout;
    headText->addWidget(boldLabel(QStringLiteral("Edit template repository"), this, 12));
    auto *explain = new QLabel(
            QStringLiteral("The groups of the template library are on the left, the templates "
                           "of the chosen group on the right. Remove or add groups, delete "
                           "templates or open one in the template wizard to change it. Close "
                           "shows the changes on the palette."),
            this);
    explain->setWordWrap(true);
    headText->addWidget(explain);
    head->addLayout(headText, 1);
    outer->addLayout(head);

    auto *lists = new QHBoxLayout;
    auto *left = new QVBoxLayout;
    auto *groupLabel = boldLabel(QStringLiteral("Group"), this);
    left->addWidget(groupLabel);
    lvGroups = new QListWidget(this);
    lvGroups->setObjectName(QStringLiteral("lvGroups"));
    lvGroups->setViewMode(QListView::IconMode);
    lvGroups->setIconSize(QSize(32, 32));
    lvGroups->setMovement(QListView::Static);
    lvGroups->setResizeMode(QListView::Adjust);
    lvGroups->setGridSize(QSize(84, 64));
    lvGroups->setWordWrap(true);
    lvGroups->setMouseTracking(true);
    lvGroups->setAccessibleName(QStringLiteral("Group"));
    lvGroups->setMinimumWidth(190);
    groupLabel->setBuddy(lvGroups);
    left->addWidget(lvGroups, 1);
    lists->addLayout(left);

    auto *right = new QVBoxLayout;
    auto *tempLabel = boldLabel(QStringLiteral("Contained templates"), this);
    right->addWidget(tempLabel);
    lvTemps = new QTreeWidget(this);
    lvTemps->setObjectName(QStringLiteral("lvTemps"));
    lvTemps->setRootIsDecorated(false);
    lvTemps->setUniformRowHeights(true);
    lvTemps->setMouseTracking(true);
    lvTemps->setIconSize(QSize(16, 16));
    lvTemps->setAccessibleName(QStringLiteral("Contained templates"));
    lvTemps->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("FileName"),
                              QStringLiteral("Version"), QStringLiteral("Copyright"),
                              QStringLiteral("Notes")});
    const int widths[] = {140, 150, 60, 100, 200};
    for (int c = 0; c < 5; ++c)
        lvTemps->setColumnWidth(c, widths[c]);
    lvTemps->setContextMenuPolicy(Qt::CustomContextMenu);
    tempLabel->setBuddy(lvTemps);
    right->addWidget(lvTemps, 1);
    lists->addLayout(right, 1);
    outer->addLayout(lists, 1);

    auto *buttons = new QHBoxLayout;
    SpeedButton1 = flat("SpeedButton1", QStringLiteral("&Remove group"), "folder-remove", this);
    SpeedButton2 = flat("SpeedButton2", QStringLiteral("&New group"), "folder-new", this);
    SpeedButton3 = flat("SpeedButton3", QStringLiteral("&Delete"), "edit-delete", this);
    SpeedButton4 = flat("SpeedButton4", QStringLiteral("&Edit"), "document-edit", this);
    SpeedButton5 = flat("SpeedButton5", QStringLiteral("&Create redistributable"),
                        "package-x-generic", this);
    SpeedButton6 = flat("SpeedButton6", QStringLiteral("&Install"), "system-software-install", this);
    SpeedButton5->setEnabled(false);
    SpeedButton6->setEnabled(false);
    for (QPushButton *b :
         {SpeedButton1, SpeedButton2, SpeedButton3, SpeedButton4, SpeedButton5, SpeedButton6})
        buttons->addWidget(b);
    outer->addLayout(buttons);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    Button1 = new QPushButton(QStringLiteral("&Close"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    bottom->addWidget(Button1);
    outer->addLayout(bottom);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    QAction *del = PopupMenu1->addAction(themeIcon("edit-delete"), QStringLiteral("&Delete"));
    del->setObjectName(QStringLiteral("delete1"));
    QAction *edit1 = PopupMenu1->addAction(themeIcon("document-edit"), QStringLiteral("&Edit"));
    edit1->setObjectName(QStringLiteral("Edit1"));
    PopupMenu1->addSeparator();
    QAction *redist = PopupMenu1->addAction(QStringLiteral("&Create redistributable"));
    redist->setObjectName(QStringLiteral("Createredistributable1"));
    redist->setEnabled(false);
    QAction *install = PopupMenu1->addAction(QStringLiteral("&Install"));
    install->setObjectName(QStringLiteral("Install1"));
    install->setEnabled(false);

    auto on = [this](auto *sender, auto signal, void (TManTempForm::*handler)()) {
        connect(sender, signal, this,
                [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
    };
    on(SpeedButton1, &QPushButton::clicked, &TManTempForm::SpeedButton1Click);
    on(SpeedButton2, &QPushButton::clicked, &TManTempForm::SpeedButton2Click);
    on(SpeedButton3, &QPushButton::clicked, &TManTempForm::SpeedButton3Click);
    on(SpeedButton4, &QPushButton::clicked, &TManTempForm::SpeedButton4Click);
    on(del, &QAction::triggered, &TManTempForm::SpeedButton3Click);
    on(edit1, &QAction::triggered, &TManTempForm::SpeedButton4Click);
    on(Button1, &QPushButton::clicked, &TManTempForm::Button1Click);
    on(lvGroups, &QListWidget::itemSelectionChanged, &TManTempForm::lvGroupsChange);
    connect(lvTemps, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { PopupMenu1->popup(lvTemps->viewport()->mapToGlobal(at)); });
    resize(900, 480);
}

void TManTempForm::showManager()
{
    FormShow();
    ZoomShow(this);
}

void TManTempForm::FormShow()
{
    const QSignalBlocker quiet(lvGroups);
    lvGroups->clear();
    for (const QString &g : m_groupSource())
        lvGroups->addItem(new QListWidgetItem(groupIcon(), g));
    lvGroups->clearSelection();
    lvTemps->clear();
}

QString TManTempForm::selectedGroup() const
{
    const QList<QListWidgetItem *> items = lvGroups->selectedItems();
    return items.isEmpty() ? QString() : items.front()->text();
}

QString TManTempForm::selectedTemplate() const
{
    const QList<QTreeWidgetItem *> items = lvTemps->selectedItems();
    return items.isEmpty() ? QString() : items.front()->text(FileColumn);
}

void TManTempForm::lvGroupsChange()
{
    lvTemps->clear();
    const QString group = selectedGroup();
    if (group.isEmpty())
        return;
    const QString folder = groupFolder(m_libDir, group);
    const IconFiles icons(m_libDir);
    const QString fallback = icons.path(QStringLiteral("default_a"));
    QHash<QString, QIcon> loaded;
    for (const QString &file : ListTemplateFiles(folder, QStringLiteral("*.plt"))) {
        TStruct_Template t;
        if (!ReadTemplateInfo(folder + file, t))
            continue; // gone meanwhile
        auto *row = new QTreeWidgetItem(lvTemps);
        row->setText(NameColumn, t.Name);
        row->setText(FileColumn, t.FileName);
        row->setText(VersionColumn, t.Version);
        row->setText(CopyrightColumn, t.Copyright);
        row->setText(NotesColumn, t.Notes);
        row->setToolTip(FileColumn, t.FileName);
        QString iconFile = icons.path(t.IconFocused);
        if (iconFile.isEmpty())
            iconFile = fallback;
        if (!loaded.contains(iconFile)) {
            const auto pm = iconFile.isEmpty() ? std::nullopt : loadIconPixmap(iconFile);
            loaded.insert(iconFile, pm ? QIcon(*pm) : QIcon());
        }
        row->setIcon(NameColumn, loaded.value(iconFile));
    }
}

void TManTempForm::SpeedButton1Click()
{
    const QString group = selectedGroup();
    if (group.isEmpty())
        return;
    if (Prompts::confirm(this, QStringLiteral("Really delete folder \"%1\" and all its template "
                                              "files?")
                                       .arg(group))
        != QMessageBox::Yes)
        return;
    const QString folder = groupFolder(m_libDir, group);
    QStringList kept;
    for (const QString &file : ListTemplateFiles(folder, QStringLiteral("*.plt"))) {
        if (!QFile::remove(folder + file))
            kept << folder + file;
    }
    const bool folderGone = !QFileInfo::exists(folder) || QDir().rmdir(folder);
    if (!kept.isEmpty()) {
        lvGroupsChange();
        throw AppError(QStringLiteral("Oops! These template files could not be deleted, so the "
                                      "group \"%1\" stays: %2. Please check that they may be "
                                      "removed.")
                               .arg(group, kept.join(QStringLiteral(", "))));
    }
    if (!folderGone) {
        lvGroupsChange();
        Prompts::information(this, QStringLiteral("The templates of \"%1\" are deleted. Its "
                                                  "folder \"%2\" holds other files as well, so "
                                                  "it stays, and with it the group.")
                                           .arg(group, folder));
        return;
    }
    {
        const QSignalBlocker quiet(lvGroups);
        qDeleteAll(lvGroups->selectedItems());
        lvGroups->clearSelection();
    }
    lvTemps->clear();
    emit groupRemoved(group);
}

void TManTempForm::SpeedButton2Click()
{
    QString name;
    if (!Prompts::instance().input(this, QStringLiteral("New group"),
                                   QStringLiteral("Enter a name for a new group."), name))
        return;
    const QString problem = templateNameProblem(name, NameKind::Group);
    if (!problem.isEmpty())
        throw AppError(problem);
    const QString display = groupDisplayName(name);
    const QList<QListWidgetItem *> same = lvGroups->findItems(display, Qt::MatchFixedString);
    const QString folder = groupFolder(m_libDir, name);
    if (!QDir().mkpath(folder))
        throw AppError(QStringLiteral("Oops! Unable to create the folder \"%1\". Please check "
                                      "that the library folder may be written to.")
                               .arg(folder));
    QListWidgetItem *item = same.isEmpty() ? new QListWidgetItem(groupIcon(), display, lvGroups)
                                           : same.front();
    lvGroups->setCurrentItem(item); // selects it and lists its templates
    emit groupCreated(display);
}

void TManTempForm::SpeedButton3Click()
{
    const QString path = selectedTemplate();
    if (path.isEmpty())
        return;
    if (Prompts::confirm(this, QStringLiteral("Really delete template file \"%1\" ?").arg(path))
        != QMessageBox::Yes)
        return;
    if (!QFile::remove(path) && QFileInfo::exists(path))
        throw AppError(QStringLiteral("Oops! Unable to delete the template file \"%1\". Please "
                                      "check that it may be removed.")
                               .arg(path));
    qDeleteAll(lvTemps->selectedItems());
}

void TManTempForm::SpeedButton4Click()
{
    const QString path = selectedTemplate();
    const QString group = selectedGroup();
    if (path.isEmpty())
        return;
    m_edit(group, path);
}

void TManTempForm::Button1Click()
{
    emit closed();
    ZoomHide(this);
}

void TManTempForm::closeEvent(QCloseEvent *e)
{
    e->ignore();
    ZoomHide(this);
}

void TManTempForm::reject()
{
    ZoomHide(this);
}
