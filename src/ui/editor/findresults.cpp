#include "ui/editor/findresults.h"

#include "ui/common/panels.h"
#include "ui/common/zoom.h"
#include "ui/editor/filesearchjob.h"

#include <QAbstractListModel>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QLocale>
#include <QToolButton>

// The hits as list rows; their text is made when a row is shown.
class FindResults::Model : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;

    QList<FileSearchHit> hits;
    QDir root;

    int rowCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : int(hits.size());
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        const FileSearchHit &h = hits.at(index.row());
        if (role == Qt::DisplayRole)
            return QStringLiteral("%1:%2: %3")
                    .arg(QDir::toNativeSeparators(root.relativeFilePath(h.path)))
                    .arg(h.line)
                    .arg(h.text.trimmed());
        if (role == Qt::ToolTipRole)
            return QDir::toNativeSeparators(h.path);
        return {};
    }
    void append(const QList<FileSearchHit> &more)
    {
        if (more.isEmpty())
            return;
        beginInsertRows({}, int(hits.size()), int(hits.size() + more.size()) - 1);
        hits += more;
        endInsertRows();
    }
    void clear()
    {
        beginResetModel();
        hits.clear();
        endResetModel();
    }
};

namespace {

QString counted(qint64 n, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(QLocale().toString(n), QLatin1String(n == 1 ? one : many));
}

} // namespace

FindResults::FindResults(QWidget *parent)
    : QObject(parent)
    , m_list(new QListView)
    , m_model(new Model(this))
{
    m_list->setObjectName(QStringLiteral("lbFindResults"));
    m_list->setAccessibleName(QStringLiteral("Search results"));
    m_list->setModel(m_model);
    m_list->setUniformItemSizes(true); // a long list is laid out without measuring every row
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setFrameShape(QFrame::NoFrame);
    QToolButton *close = panelCloseButton(nullptr, "btCloseFindResults",
                                          QStringLiteral("Close the search results"));
    const PanelFrame frame = panelFrame(parent, "FindResults", QStringLiteral(" Find in files"),
                                        close, m_list);
    m_panel = frame.frame;
    m_caption = new QLabel(m_panel);
    m_caption->setObjectName(QStringLiteral("lbFindResultsCaption"));
    m_caption->setStyleSheet(QStringLiteral("font-weight: normal;"));
    frame.header->insertWidget(1, m_caption);
    m_panel->hide();

    connect(m_list, &QListView::activated, this, &FindResults::activate);
    connect(close, &QToolButton::clicked, this, &FindResults::close);
}

void FindResults::watch(FileSearchJob *job)
{
    connect(job, &FileSearchJob::started, this, &FindResults::begin);
    connect(job, &FileSearchJob::found, this, &FindResults::add);
    connect(job, &FileSearchJob::finished, this, &FindResults::end);
    // Nobody waits for the results of a closed list.
    connect(this, &FindResults::closed, job, &FileSearchJob::stop);
}

void FindResults::begin(const FileSearchOptions &options)
{
    m_model->clear();
    m_model->root.setPath(options.folder);
    m_listLimit = options.listLimit;
    showCounts(QStringLiteral("Searching\u2026"), {});
    m_panel->show();
}

void FindResults::add(const QList<FileSearchHit> &hits, const FileSearchProgress &progress)
{
    m_model->append(hits);
    showCounts(QStringLiteral("Searching\u2026"), progress);
}

void FindResults::end(const FileSearchSummary &summary)
{
    showCounts(summary.stopped ? QStringLiteral("Stopped:") : QString(), summary.progress);
    QString more;
    if (summary.truncated)
        more += QStringLiteral(" (the first %1 are listed)").arg(QLocale().toString(m_listLimit));
    if (summary.unreadableCount > 0)
        more += QStringLiteral("; %1 could not be read")
                        .arg(counted(summary.unreadableCount, "file or folder", "files or folders"));
    m_caption->setText(m_caption->text() + more);
    if (!summary.unreadable.isEmpty())
        m_caption->setToolTip(QStringLiteral("Could not be read:\n")
                              + summary.unreadable.join(QLatin1Char('\n')));
}

void FindResults::showCounts(const QString &state, const FileSearchProgress &progress)
{
    const QString counts = QStringLiteral("%1 in %2")
                                   .arg(counted(progress.hits, "match", "matches"),
                                        counted(progress.matchedFiles, "file", "files"));
    m_caption->setText(state.isEmpty() ? counts : state + QLatin1Char(' ') + counts);
    m_caption->setToolTip({});
}

void FindResults::close()
{
    ZoomHide(m_panel);
    emit closed();
}

QString FindResults::caption() const
{
    return m_caption->text();
}

int FindResults::count() const
{
    return int(m_model->hits.size());
}

const FileSearchHit &FindResults::hit(int row) const
{
    return m_model->hits.at(row);
}

void FindResults::activate(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    const FileSearchHit &h = hit(index.row());
    emit openRequested(h.path, h.line, h.column);
}
