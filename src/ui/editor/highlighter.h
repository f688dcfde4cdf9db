#pragma once

#include "core/editor/painter.h"

#include <QObject>
#include <QPointer>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextLayout>

#include <memory>
#include <vector>

// The colours of one script. The painter's spans are kept in document positions and shown as
// the blocks' layout formats, so colouring never enters the undo history, never marks the
// script modified and never reaches the file.
//
// A run re-colours from a position to where its result agrees again with the previous run
// (checkpoints of the painter's state every few lines), or to the end; long runs go on in
// slices between events so the window never stalls. Between runs an edit keeps the colours
// around it and leaves typed text in the default colour, except text typed after "/", which
// is aqua until the next run.
class ScriptHighlighter : public QObject
{
    Q_OBJECT
public:
    ScriptHighlighter(QTextDocument *doc, QObject *parent);
    ~ScriptHighlighter() override;

    // Follows the editor to another document (a large script's text arrives in a new one).
    // plainText, when given, is the document's text as DocumentText::plainText() reads it.
    void attach(QTextDocument *doc, const QString &plainText = QString());

    // Definitions and their formats; clears everything painted with older definitions' results.
    void setPainter(std::shared_ptr<const PatternPainter> painter,
                    std::vector<QTextCharFormat> formats);

    // Re-colours from offset (0: the whole text, from scratch). Returns at once when the work
    // fits the budget; otherwise the rest follows in slices (busy() stays true meanwhile).
    void run(int offset, int budgetMs = 8);
    bool busy() const { return m_job.active; }
    // Runs pending work to the end (tests, benchmarks).
    void finish();

    // For tests: the painted spans in document positions, and the mirror of the text.
    const PaintSpans &spans() const { return m_spans; }
    const QString &mirrorText() const { return m_text; }

    QTextDocument *document() const { return m_doc; }

    static constexpr int kAqua = -2; // definition index of text typed after "/"

signals:
    void progress(int percent); // while a sliced run goes on
    void runFinished();

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
        int dirtyFrom = 0; // nothing before this needs new colours
        std::unique_ptr<PaintRun> run;
        PaintSpans out;    // spans of the run not yet applied
        int appliedTo = 0; // colours are up to date before this
    };

    void onContentsChange(int pos, int removed, int added);
    void step(int budgetMs);
    void startJob();
    void applyUpTo(int pos, bool final);
    void reformat(int from, int to, bool relayout);
    QList<QTextLayout::FormatRange> rangesFor(const QTextBlock &block) const;
    void scheduleSlice();

    QPointer<QTextDocument> m_doc;
    QMetaObject::Connection m_changeConnection;
    QString m_text; // the document's text, kept in step with every edit
    PaintSpans m_spans;
    std::vector<Checkpoint> m_checkpoints;
    std::shared_ptr<const PatternPainter> m_painter;
    std::vector<QTextCharFormat> m_formats;
    QTextCharFormat m_aquaFormat;
    Job m_job;
    bool m_sliceScheduled = false;
};
