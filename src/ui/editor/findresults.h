#pragma once

#include "core/editor/filesearch.h"

#include <QObject>

class FileSearchJob;
class QLabel;
class QListView;
class QModelIndex;
class QToolButton;
class QWidget;

// The panel that lists the hits of a find in files as "file:line: text". It stays hidden
// until a search runs; activating an entry asks to open that file at that line.
class FindResults : public QObject
{
    Q_OBJECT
public:
    explicit FindResults(QWidget *parent);

    QWidget *panel() const { return m_panel; }
    // Follows the searches of job: shows the panel when one starts and lists its hits.
    void watch(FileSearchJob *job);

    void begin(const FileSearchOptions &options);
    void add(const QList<FileSearchHit> &hits, const FileSearchProgress &progress);
    void end(const FileSearchSummary &summary);
    void close();

    QString caption() const;
    int count() const;
    // The hit of a row of the list.
    const FileSearchHit &hit(int row) const;

signals:
    void openRequested(const QString &path, int line, int column);
    void closed();

private:
    void activate(const QModelIndex &index);
    void showCounts(const QString &state, const FileSearchProgress &progress);

    QWidget *m_panel;
    QListView *m_list;
    QLabel *m_caption;
    class Model;
    Model *m_model;
    qsizetype m_listLimit = 0;
};
