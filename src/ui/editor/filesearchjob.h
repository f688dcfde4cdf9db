#pragma once

#include "core/editor/filesearch.h"

#include <QObject>

#include <memory>

// One find in files at a time on a worker thread. Its hits arrive here in batches (a few a
// second at most), so however many files or hits there are, the window goes on.
class FileSearchJob : public QObject
{
    Q_OBJECT
public:
    explicit FileSearchJob(QObject *parent = nullptr);
    ~FileSearchJob() override;

    // Starts a search in place of the one running. Returns why it cannot run, or empty.
    QString start(const FileSearchOptions &options);
    // Asks the search to end; finished() follows with what it reached.
    void stop();
    bool isRunning() const { return m_running; }

signals:
    void started(const FileSearchOptions &options);
    void found(const QList<FileSearchHit> &hits, const FileSearchProgress &progress);
    void finished(const FileSearchSummary &summary);

private:
    struct Run;
    std::shared_ptr<Run> m_run;
    bool m_running = false;
};
