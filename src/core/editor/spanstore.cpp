#include "core/editor/spanstore.h"

#include <QElapsedTimer>

#include <algorithm>

namespace {

// A run checks whether it has come back into step with the previous one at most this far apart.
constexpr int kCheckpointChars = 4096;
// Room for the spans of a whole text, made once: real scripts have about one span in ten
// characters. Growing step by step would copy them at each step and leave the freed steps in
// the heap; room not yet used costs address space, not memory.
constexpr int kCharsPerSpanRoom = 4;

PaintSpans::iterator firstEndingAfter(PaintSpans &spans, int pos)
{
    return std::partition_point(spans.begin(), spans.end(),
                                [pos](const PaintSpan &s) { return s.end() <= pos; });
}

} // namespace

SpanStore::SpanStore(QString text)
    : m_text(std::move(text))
{}

void SpanStore::reset(QString text)
{
    m_text = std::move(text);
    m_spans.clear();
    m_checkpoints.clear();
    m_job = Job();
}

void SpanStore::setPainter(std::shared_ptr<const PatternPainter> painter)
{
    m_painter = std::move(painter);
    m_checkpoints.clear();
    m_job = Job();
}

PaintSpans::const_iterator SpanStore::firstEndingAfter(int pos) const
{
    return std::partition_point(m_spans.begin(), m_spans.end(),
                                [pos](const PaintSpan &s) { return s.end() <= pos; });
}

std::optional<SpanStore::Range> SpanStore::edit(int pos, int removed, QStringView inserted)
{
    const int oldSize = int(m_text.size());
    pos = std::clamp(pos, 0, oldSize);
    removed = std::clamp(removed, 0, oldSize - pos);
    // A report may name more than what changed: a change of formats alone comes with the same
    // text, a paste at the very start names the whole first line. Whatever is the same at
    // either end keeps its colours.
    const QStringView old = QStringView(m_text).mid(pos, removed);
    const qsizetype most = std::min(old.size(), inserted.size());
    qsizetype same = 0;
    while (same < most && old[same] == inserted[same])
        ++same;
    qsizetype sameEnd = 0;
    while (sameEnd < most - same
           && old[old.size() - 1 - sameEnd] == inserted[inserted.size() - 1 - sameEnd])
        ++sameEnd;
    if (same == old.size() && same == inserted.size())
        return std::nullopt;
    pos += int(same);
    removed -= int(same + sameEnd);
    inserted = inserted.mid(same, inserted.size() - same - sameEnd);
    const int added = int(inserted.size());
    m_text.replace(pos, removed, inserted.data(), added);
    moveSpans(pos, removed, added);
    moveCheckpoints(pos, removed, added);
    if (m_job.active) {
        // A sliced run in progress read the old text; where it had come moves with the text.
        const int came = std::max(m_job.convergeAfter, m_job.appliedTo);
        m_job.convergeAfter = came <= pos             ? came
                              : came >= pos + removed ? came + added - removed
                                                      : pos + added;
        m_job.appliedTo = std::min(m_job.appliedTo, pos);
        restartJob(pos);
    }
    return Range{pos, pos + added};
}

void SpanStore::moveSpans(int pos, int removed, int added)
{
    // Drop what was removed, shift what follows, let typing inside a range take its colour.
    const int delta = added - removed;
    const int removedEnd = pos + removed;
    auto it = ::firstEndingAfter(m_spans, pos);
    bool covered = false;
    if (removed == 0 && added > 0 && it != m_spans.begin()) {
        PaintSpan &prev = *std::prev(it);
        if (prev.end() == pos && prev.definition == kAqua) {
            prev.length += added; // typing goes on in aqua
            covered = true;
        }
    }
    const int limit = removed == 0 ? pos : removedEnd;
    PaintSpans kept;
    auto tailBegin = it;
    for (; tailBegin != m_spans.end() && tailBegin->start < limit; ++tailBegin) {
        const PaintSpan s = *tailBegin;
        if (removed == 0) {
            kept.push_back({s.start, s.length + added, s.definition});
            covered = true;
            continue;
        }
        if (s.start < pos)
            kept.push_back({s.start, pos - s.start, s.definition});
        if (s.end() > removedEnd)
            kept.push_back({pos + added, s.end() - removedEnd, s.definition});
    }
    for (auto t = tailBegin; t != m_spans.end(); ++t)
        t->start += delta;
    if (!covered && added > 0 && pos > 0 && m_text.at(pos - 1) == u'/')
        kept.push_back({pos, added, kAqua});
    std::sort(kept.begin(), kept.end(),
              [](const PaintSpan &a, const PaintSpan &b) { return a.start < b.start; });
    const auto at = m_spans.erase(it, tailBegin);
    m_spans.insert(at, kept.begin(), kept.end());
}

void SpanStore::moveCheckpoints(int pos, int removed, int added)
{
    // An edit before a checkpoint forbids resuming there, an edit after it forbids trusting
    // what follows it; so does an edit just after it, within the reach of its state.
    const int removedEnd = pos + removed;
    std::vector<Checkpoint> cps;
    cps.reserve(m_checkpoints.size());
    for (Checkpoint &cp : m_checkpoints) {
        if (cp.pos <= pos) {
            cp.canConverge = false;
            if (pos - cp.pos < PaintState::kReach)
                cp.canResume = false;
        } else if (cp.pos < removedEnd) {
            continue;
        } else {
            cp.pos += added - removed;
            cp.canResume = false;
        }
        if (cp.canResume || cp.canConverge)
            cps.push_back(std::move(cp));
    }
    m_checkpoints = std::move(cps);
}

void SpanStore::run(int offset)
{
    if (offset <= 0) {
        m_checkpoints.clear(); // a whole run starts from scratch (definitions may have changed)
        const qsizetype room = m_text.size() / kCharsPerSpanRoom;
        if (m_spans.empty() && qsizetype(m_spans.capacity()) < room)
            m_spans.reserve(size_t(room));
    }
    offset = std::max(0, offset);
    if (m_job.active) {
        restartJob(offset);
    } else {
        m_job = Job();
        m_job.active = true;
        m_job.dirtyFrom = offset;
        m_job.convergeAfter = offset;
    }
}

void SpanStore::restartJob(int resumeBy)
{
    // Start again from what is settled. The colours past where the run had come are not its
    // work yet: the new run may meet the checkpoints it made on the way, but must not stop
    // at them.
    m_job.dirtyFrom = std::min({m_job.dirtyFrom, m_job.appliedTo, resumeBy});
    m_job.convergeAfter = std::max(m_job.convergeAfter, m_job.appliedTo);
    m_job.run.reset();
    m_job.out.clear();
}

void SpanStore::startJob()
{
    int resumeAt = 0;
    const Checkpoint *from = nullptr;
    for (const Checkpoint &cp : m_checkpoints) {
        if (cp.pos > m_job.dirtyFrom)
            break;
        if (cp.canResume) {
            resumeAt = cp.pos;
            from = &cp;
        }
    }
    static const PatternPainter empty{ColorDefinitions()};
    const PatternPainter &painter = m_painter ? *m_painter : empty;
    m_job.run = from ? std::make_unique<PaintRun>(painter, QStringView(m_text), resumeAt,
                                                  from->state)
                     : std::make_unique<PaintRun>(painter, QStringView(m_text));
    m_job.out.clear();
    m_job.appliedTo = resumeAt;
    // Checkpoints after the resume point that cannot vouch for the rest are useless now.
    m_checkpoints.erase(std::remove_if(m_checkpoints.begin(), m_checkpoints.end(),
                                       [resumeAt](const Checkpoint &cp) {
                                           return cp.pos > resumeAt && !cp.canConverge;
                                       }),
                        m_checkpoints.end());
}

SpanStore::Slice SpanStore::step(int budgetMs, const Repainted &repainted)
{
    Slice slice;
    QElapsedTimer timer;
    timer.start();
    while (m_job.active) {
        if (!m_job.run)
            startJob();
        PaintRun &run = *m_job.run;
        const int here = run.position();
        // Stop at the next old checkpoint, where the run may find itself back in step.
        int target = here + kCheckpointChars;
        const auto next = std::find_if(m_checkpoints.begin(), m_checkpoints.end(),
                                       [here](const Checkpoint &cp) { return cp.pos > here; });
        if (next != m_checkpoints.end())
            target = std::min(target, next->pos);
        run.paintTo(target, m_job.out);
        const int reached = run.position();
        if (run.atEnd()) {
            applyUpTo(int(m_text.size()), repainted);
            finishJob(slice);
            return slice;
        }
        const PaintState state = run.state();
        auto cp = std::find_if(m_checkpoints.begin(), m_checkpoints.end(),
                               [reached](const Checkpoint &c) { return c.pos >= reached; });
        if (cp != m_checkpoints.end() && cp->pos == reached && cp->canConverge
            && reached > m_job.convergeAfter && cp->state == state) {
            applyUpTo(reached, repainted); // the rest is as the previous run left it
            finishJob(slice);
            return slice;
        }
        // Checkpoints passed over belong to the old run; this run's own replaces them.
        m_checkpoints.erase(std::remove_if(m_checkpoints.begin(), m_checkpoints.end(),
                                           [here, reached](const Checkpoint &c) {
                                               return c.pos > here && c.pos <= reached;
                                           }),
                            m_checkpoints.end());
        cp = std::find_if(m_checkpoints.begin(), m_checkpoints.end(),
                          [reached](const Checkpoint &c) { return c.pos > reached; });
        m_checkpoints.insert(cp, Checkpoint{reached, state, true, true});
        if (m_job.out.size() > 4096 || reached - m_job.appliedTo > 64 * 1024)
            applyUpTo(reached, repainted);
        if (timer.elapsed() >= budgetMs) {
            applyUpTo(reached, repainted);
            slice.percent = m_text.isEmpty() ? 100 : int(qint64(reached) * 100 / m_text.size());
            return slice;
        }
    }
    return slice;
}

void SpanStore::finishJob(Slice &slice)
{
    m_job.active = false;
    m_job.run.reset();
    slice.finished = true;
}

void SpanStore::applyUpTo(int pos, const Repainted &repainted)
{
    const int from = m_job.appliedTo;
    // Old spans inside [from, pos) give way to the run's; ranges crossing the borders keep
    // their outside parts.
    PaintSpans merged;
    auto first = ::firstEndingAfter(m_spans, from);
    auto last = first;
    while (last != m_spans.end() && last->start < pos)
        ++last;
    if (first != last && first->start < from)
        merged.push_back({first->start, from - first->start, first->definition});
    for (const PaintSpan &s : m_job.out) {
        if (s.end() > from && s.start < pos) {
            const int a = std::max(s.start, from);
            merged.push_back({a, std::min(s.end(), pos) - a, s.definition});
        }
    }
    if (first != last && std::prev(last)->end() > pos) {
        const PaintSpan tail = *std::prev(last);
        merged.push_back({pos, tail.end() - pos, tail.definition});
    }
    const auto at = m_spans.erase(first, last);
    m_spans.insert(at, merged.begin(), merged.end());
    m_job.out.clear();
    m_job.appliedTo = pos;
    if (repainted)
        repainted(Range{from, pos});
}
