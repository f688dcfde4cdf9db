#pragma once

#include "core/editor/painter.h"

#include <QString>
#include <QStringView>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// The painted colours of one text in its own positions, kept in step with every edit, and the
// incremental runs that bring them up to date.
//
// A run re-paints from a position to where its result agrees again with the previous run
// (checkpoints of the painter's state every few thousand characters), or to the end; it can be done
// in slices, and an edit between slices starts it again from what is settled. Between runs an edit
// keeps the colours around it; inserted text takes the colour of a range it falls inside and is
// otherwise unpainted, except text typed right after "/", which is aqua until the next run.
class SpanStore
{
public:
    static constexpr int kAqua = -2; // definition index of text typed after "/"

    // Positions [from, to) of the text as it is now.
    struct Range
    {
        int from = 0;
        int to = 0;
    };
    // Told each range whose colours a run replaced, as soon as it is done.
    using Repainted = std::function<void(Range)>;
    // What one slice of a run did.
    struct Slice
    {
        bool finished = false; // the run is complete
        int percent = 0;       // how far a run that goes on has come
    };

    explicit SpanStore(QString text = QString());

    // A new text: no colours, no checkpoints, no run.
    void reset(QString text);
    // Other definitions: the colours stay until the next run, which cannot build on what
    // older definitions gave. A run in progress is dropped.
    void setPainter(std::shared_ptr<const PatternPainter> painter);

    // The characters [pos, pos + removed) were replaced by inserted. Returns the range whose
    // colours moved or were dropped (only what really changed), nothing when the text is the
    // same as before.
    std::optional<Range> edit(int pos, int removed, QStringView inserted);

    // Starts a run that re-paints from offset (0: the whole text, from scratch), or widens the
    // one in progress.
    void run(int offset);
    // Goes on with the run for about budgetMs (at least one stretch of lines). What repainted
    // does with the ranges counts against the budget.
    Slice step(int budgetMs, const Repainted &repainted = nullptr);
    bool busy() const { return m_job.active; }

    const PaintSpans &spans() const { return m_spans; }
    // The first span that ends after pos.
    PaintSpans::const_iterator firstEndingAfter(int pos) const;
    const QString &text() const { return m_text; }

private:
    struct Checkpoint
    {
        int pos;
        PaintState state;
        bool canResume;   // nothing before pos changed since it was made
        bool canConverge; // nothing after pos changed since it was made
    };
    struct Job
    {
        bool active = false;
        int dirtyFrom = 0;     // nothing before this needs new colours
        int convergeAfter = 0; // the run may stop where it is back in step only past this
        std::unique_ptr<PaintRun> run;
        PaintSpans out;    // spans of the run not yet applied
        int appliedTo = 0; // colours are up to date before this
    };

    void moveSpans(int pos, int removed, int added);
    void moveCheckpoints(int pos, int removed, int added);
    void restartJob(int resumeBy);
    void startJob();
    void applyUpTo(int pos, const Repainted &repainted);
    void finishJob(Slice &slice);

    QString m_text;
    PaintSpans m_spans;
    std::vector<Checkpoint> m_checkpoints;
    std::shared_ptr<const PatternPainter> m_painter;
    Job m_job;
};
