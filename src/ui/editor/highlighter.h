#pragma once

#include "core/editor/spanstore.h"

#include <QObject>
#include <QPointer>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextLayout>

#include <memory>
#include <vector>

// The colours of one script. The span store's colours are given as format ranges to the editor,
// which asks for the lines it shows when it paints them, so colouring never enters the undo
// history, never marks the script modified, never reaches the file, and costs nothing for lines
// off screen. The store hears of every edit of the document (typed text stays in the default
// colour until the next run, text typed after "/" shows aqua); long runs go on in slices between
// events so the window never stalls.
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
    bool busy() const { return m_store.busy(); }
    // Runs pending work to the end (tests, benchmarks).
    void finish();

    // The colours of [from, to) of the text, as format ranges relative to from.
    QList<QTextLayout::FormatRange> rangesFor(int from, int to) const;

    // The painted spans in document positions, and the mirror of the text.
    const PaintSpans &spans() const { return m_store.spans(); }
    const QString &mirrorText() const { return m_store.text(); }

    QTextDocument *document() const { return m_doc; }

    static constexpr int kAqua = SpanStore::kAqua; // definition index of text typed after "/"

signals:
    void progress(int percent); // while a sliced run goes on
    void runFinished();
    // The colours of [from, to) may have changed.
    void coloursChanged(int from, int to);

private:
    void onContentsChange(int pos, int removed, int added);
    void step(int budgetMs);
    void scheduleSlice();

    QPointer<QTextDocument> m_doc;
    QMetaObject::Connection m_changeConnection;
    SpanStore m_store;
    std::vector<QTextCharFormat> m_formats;
    QTextCharFormat m_aquaFormat;
    bool m_sliceScheduled = false;
};
