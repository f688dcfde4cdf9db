#include "ui/editor/filesearchjob.h"

#include "core/common/workers.h"

#include <QThreadPool>

#include <mutex>

// What the worker shares with the job: the stop flag, and the job while it wants the results.
struct FileSearchJob::Run
{
    std::atomic_bool stop{false};
    std::mutex mutex;
    FileSearchJob *job = nullptr;

    // Runs fn on the job's thread, unless the job is gone by then.
    template<typename Fn>
    void deliver(Fn fn)
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (job)
            QMetaObject::invokeMethod(job, std::move(fn), Qt::QueuedConnection);
    }
};

FileSearchJob::FileSearchJob(QObject *parent)
    : QObject(parent)
{}

FileSearchJob::~FileSearchJob()
{
    if (!m_run)
        return;
    m_run->stop = true;
    const std::lock_guard<std::mutex> lock(m_run->mutex);
    m_run->job = nullptr;
}

QString FileSearchJob::start(const FileSearchOptions &options)
{
    auto search = std::make_shared<FileSearch>(options);
    if (!search->problem().isEmpty())
        return search->problem();
    // What the previous search still sends is dropped: this run is the current one.
    stop();
    auto run = std::make_shared<Run>();
    run->job = this;
    m_run = run;
    m_running = true;
    emit started(options);
    workerPool()->start([run, search] {
        const FileSearchSummary summary = search->run(run->stop, [&run](FileSearchBatch &&b) {
            run->deliver([run, b = std::move(b)] {
                if (run->job->m_run == run)
                    emit run->job->found(b.hits, b.progress);
            });
        });
        run->deliver([run, summary] {
            FileSearchJob *job = run->job;
            if (job->m_run != run)
                return;
            job->m_running = false;
            emit job->finished(summary);
        });
    });
    return {};
}

void FileSearchJob::stop()
{
    if (m_run)
        m_run->stop = true;
}
