// What the crash journal costs the window in a 10 MB script: a key from its press to the
// repainted editor with the journal following the script (journal:1) and without (journal:0),
// and the stall of the tick that copies the text for the worker.
#include "corpus.h"
#include "ui/editor/journal.h"
#include "uimain.h"
#include "uiwindow.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QTextBlock>

#include <benchmark/benchmark.h>

namespace {

struct Window : PreparedWindow
{
    QString quietCopy(const QString &file) const
    {
        const QString copy = home + QStringLiteral("corpus.pl");
        QFile::copy(file, copy);
        return copy;
    }

    TScriptEditor *doc;
    ScriptEditorWidget *ed;
    QTimer *journalTimer;
    explicit Window(bool journal)
        : doc(openSettled(quietCopy(corpus(10 << 20))))
        , ed(doc->Editor)
        , journalTimer(w->findChild<QTimer *>(QStringLiteral("JournalTimer")))
    {
        if (!journal)
            QObject::disconnect(ed, nullptr, w->findChild<JournalController *>(), nullptr);
        QTextDocument *text = ed->document();
        const QTextBlock middle = text->findBlockByNumber(text->blockCount() / 2);
        QTextCursor c(text);
        c.setPosition(middle.position() + middle.length() - 1);
        ed->setTextCursor(c);
        ed->centerCursor();
        ed->setFocus();
        QCoreApplication::processEvents();
    }

    qint64 press(char text)
    {
        QElapsedTimer t;
        t.start();
        QTest::keyClick(ed, text);
        QCoreApplication::processEvents();
        ed->repaint();
        return t.nsecsElapsed();
    }
    // Entry files written so far.
    int entries() const
    {
        int n = 0;
        const QDir root(JournalController::rootOf(home));
        for (const QString &f : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            n += QDir(root.filePath(f)).entryList({QStringLiteral("*.journal")}).size();
        return n;
    }
};

// Keys in quick succession, the journal's timer left alone: it fires now and then between them.
void BM_TypingKeyJournal(benchmark::State &state)
{
    Window win(state.range(0) != 0);
    qint64 longest = 0;
    for (auto _ : state)
        longest = std::max(longest, win.press('x'));
    state.counters["longest_ms"] = double(longest) / 1e6;
}
BENCHMARK(BM_TypingKeyJournal)
        ->ArgName("journal")
        ->Arg(0)
        ->Arg(1)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(200);

// One tick after a key: the text handed to the worker, then the next key as a fast typist
// would press it, 120 ms on, which must not pay for a copy of the text.
void BM_JournalTick(benchmark::State &state)
{
    Window win(true);
    qint64 longestTick = 0;
    qint64 longestKey = 0;
    for (auto _ : state) {
        state.PauseTiming();
        win.press('y');
        win.journalTimer->stop();
        state.ResumeTiming();
        QElapsedTimer t;
        t.start();
        QMetaObject::invokeMethod(win.journalTimer, "timeout");
        longestTick = std::max(longestTick, t.nsecsElapsed());
        state.PauseTiming();
        QElapsedTimer gap;
        gap.start();
        while (gap.elapsed() < 120)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        longestKey = std::max(longestKey, win.press('z'));
        state.ResumeTiming();
    }
    state.counters["longest_tick_ms"] = double(longestTick) / 1e6;
    state.counters["next_key_longest_ms"] = double(longestKey) / 1e6;
    if (win.entries() != 1)
        state.SkipWithError("the journal holds no entry of the script");
}
BENCHMARK(BM_JournalTick)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
QF_WIDGET_BENCHMARK_MAIN()
