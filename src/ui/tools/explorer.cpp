#include "ui/tools/explorer.h"

#include "platform/desktoptools.h"
#include "platform/launcher.h"
#include "ui/common/application.h"
#include "ui/common/icons.h"
#include "ui/common/prompts.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QListView>
#include <QMenu>
#include <QRegularExpression>
#include <QSplitter>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

QToolButton *toolButton(const char *name, const QString &hint, const QIcon &icon, QWidget *parent)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setToolTip(hint);
    b->setAccessibleName(hint);
    b->setIcon(icon);
    b->setAutoRaise(true);
    return b;
}

} // namespace

ExplorerPanel::ExplorerPanel(std::function<void(const QString &)> openScript, QWidget *parent)
    : QObject(parent)
    , m_openScript(std::move(openScript))
    , m_content(new QWidget(parent))
{
    m_content->setObjectName(QStringLiteral("ExplorerContent"));
    auto *v = new QVBoxLayout(m_content);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(2);

    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(2, 2, 2, 0);
    m_maskButton = toolButton("btMask", QStringLiteral("Refresh / file mask"),
                              themeIcon("view-refresh", QStyle::SP_BrowserReload), m_content);
    m_maskButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_maskButton->setPopupMode(QToolButton::MenuButtonPopup);
    auto *popMask = new QMenu(m_maskButton);
    popMask->setObjectName(QStringLiteral("popMask"));
    for (const QString &m : masks()) {
        QAction *a = popMask->addAction(m);
        connect(a, &QAction::triggered, this, [this, m] { setMask(m); });
    }
    popMask->addSeparator();
    QAction *other = popMask->addAction(QStringLiteral("Other..."));
    other->setObjectName(QStringLiteral("Other1"));
    connect(other, &QAction::triggered, this, [this] { guarded([this] { askForMask(); }); });
    m_maskButton->setMenu(popMask);
    connect(m_maskButton, &QToolButton::clicked, this, &ExplorerPanel::refresh);

    auto *exec = toolButton("btExec", QStringLiteral("Open"),
                            themeIcon("document-open", QStyle::SP_DialogOpenButton), m_content);
    exec->setPopupMode(QToolButton::MenuButtonPopup);
    auto *popExec = new QMenu(exec);
    popExec->setObjectName(QStringLiteral("popExec"));
    connect(popExec->addAction(QStringLiteral("Shell (Explorer)")), &QAction::triggered, this,
            &ExplorerPanel::openSelected);
    connect(popExec->addAction(QStringLiteral("with Notepad")), &QAction::triggered, this,
            &ExplorerPanel::openSelectedWithEditor);
    connect(popExec->addAction(QStringLiteral("width Wordpad")), &QAction::triggered, this,
            &ExplorerPanel::openSelectedWithWordProcessor);
    exec->setMenu(popExec);
    connect(exec, &QToolButton::clicked, this, &ExplorerPanel::openSelected);

    auto *load = toolButton("btLoadInEditor", QStringLiteral("Open in editor"),
                            themeIcon("document-edit", QStyle::SP_FileIcon), m_content);
    connect(load, &QToolButton::clicked, this,
            [this] { guarded([this] { loadSelectedInEditor(); }); });
    bar->addWidget(m_maskButton);
    bar->addWidget(exec);
    bar->addWidget(load);
    bar->addStretch();
    v->addLayout(bar);

    auto *split = new QSplitter(Qt::Vertical, m_content);
    m_dirs = new QFileSystemModel(this);
    m_dirs->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden);
    m_dirs->setRootPath(QDir::rootPath());
    m_tree = new QTreeView(split);
    m_tree->setObjectName(QStringLiteral("RzDirectoryTree1"));
    m_tree->setModel(m_dirs);
    for (int c = 1; c < m_dirs->columnCount(); ++c)
        m_tree->hideColumn(c);
    m_tree->header()->hide();
    // The tree reads lazily: each level that arrives opens the way to the current folder.
    connect(m_dirs, &QFileSystemModel::directoryLoaded, this, [this](const QString &path) {
        if (!m_folder.startsWith(path))
            return;
        const QModelIndex i = m_dirs->index(m_folder);
        m_tree->setCurrentIndex(i);
        m_tree->scrollTo(i, QAbstractItemView::PositionAtCenter);
    });
    m_list = new QListView(split);
    m_list->setObjectName(QStringLiteral("lsFiles"));
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QListView::customContextMenuRequested, this,
            [this, popExec](const QPoint &p) { popExec->popup(m_list->mapToGlobal(p)); });
    connect(m_list, &QListView::doubleClicked, this,
            [this](const QModelIndex &i) { guarded([this, i] { entryActivated(i); }); });
    connect(m_tree, &QTreeView::clicked, this,
            [this](const QModelIndex &i) { setFolder(m_dirs->filePath(i)); });
    split->addWidget(m_tree);
    split->addWidget(m_list);
    v->addWidget(split, 1);

    m_mask = QStringLiteral("*.*");
    m_maskButton->setText(m_mask);
    setFolder(QDir::homePath());
}

QStringList ExplorerPanel::masks()
{
    return {QStringLiteral("*.pl *.pm *.t *.cgi"),
            QStringLiteral("*.pl"),
            QStringLiteral("*.cgi"),
            QStringLiteral("*.txt"),
            QStringLiteral("*.bat"),
            QStringLiteral("*.*")};
}

void ExplorerPanel::makeFileModel()
{
    // A new model reads the folder afresh: the refresh button's promise.
    QFileSystemModel *old = m_files;
    m_files = new QFileSystemModel(this);
    m_files->setFilter(QDir::AllDirs | QDir::Files | QDir::NoDot | QDir::Hidden);
    m_files->setNameFilterDisables(false);
    // "*.*" names every file, also those without a dot.
    QStringList filters;
    for (const QString &f :
         m_mask.split(QRegularExpression(QStringLiteral("[;,\\s]+")), Qt::SkipEmptyParts)) {
        QString w = f == QLatin1String("*.*") ? QStringLiteral("*") : f;
        // A bracket left open would make the pattern match nothing: it means itself.
        if (!QRegularExpression(QRegularExpression::wildcardToRegularExpression(w)).isValid())
            w.replace(u'[', QStringLiteral("[[]"));
        filters << w;
    }
    m_files->setNameFilters(filters);
    connect(m_files, &QFileSystemModel::directoryLoaded, this, [this](const QString &path) {
        if (QFileInfo(path) == QFileInfo(m_folder))
            emit listed();
    });
    m_list->setModel(m_files);
    m_list->setRootIndex(m_files->setRootPath(m_folder));
    delete old;
}

void ExplorerPanel::setFolder(const QString &folder)
{
    m_folder = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    const QModelIndex i = m_dirs->index(m_folder);
    m_tree->setCurrentIndex(i);
    m_tree->scrollTo(i);
    makeFileModel();
}

void ExplorerPanel::setMask(const QString &mask)
{
    m_mask = mask;
    m_maskButton->setText(mask);
    makeFileModel();
}

void ExplorerPanel::askForMask()
{
    QString text;
    if (Prompts::instance().input(m_content, QStringLiteral("Filter"),
                                  QStringLiteral("Please set a filter (form: *.*)"), text))
        setMask(text);
}

void ExplorerPanel::refresh()
{
    makeFileModel();
}

QString ExplorerPanel::selectedFile() const
{
    const QModelIndex i = m_list->currentIndex();
    if (!i.isValid() || !m_list->selectionModel()->isSelected(i))
        return {};
    return m_files->filePath(i);
}

void ExplorerPanel::openSelected()
{
    const QString file = selectedFile();
    if (!file.isEmpty())
        Platform::Launcher::instance().openWithDesktop(file);
}

void ExplorerPanel::openSelectedWithEditor()
{
    const QString file = selectedFile();
    if (file.isEmpty())
        return;
    const QString editor = Desktop::textEditor();
    if (editor.isEmpty())
        Platform::Launcher::instance().openWithDesktop(file);
    else
        Platform::Launcher::instance().startProgram(editor, {file}, QString());
}

void ExplorerPanel::openSelectedWithWordProcessor()
{
    const QString file = selectedFile();
    if (file.isEmpty())
        return;
    const QStringList program = Desktop::wordProcessor();
    if (program.isEmpty())
        Platform::Launcher::instance().openWithDesktop(file);
    else
        Platform::Launcher::instance().startProgram(program.first(), program.mid(1) << file,
                                                    QString());
}

void ExplorerPanel::loadSelectedInEditor()
{
    const QString file = selectedFile();
    if (!file.isEmpty() && QFileInfo(file).isFile())
        m_openScript(file);
}

void ExplorerPanel::entryActivated(const QModelIndex &index)
{
    const QString path = m_files->filePath(index);
    const QFileInfo info(path);
    if (info.isDir()) {
        setFolder(path);
        return;
    }
    // The file may have gone since the list was read.
    if (!info.exists() || !Platform::Launcher::instance().openWithDesktop(path))
        Prompts::information(m_content, QStringLiteral("Could not open file."));
}
