// The code inspector, the find dialog and the status line on screen, with real Perl of 1 MB
// and 10 MB: the tree refresh, "$" typed with the refresh on typing, find next, a status tick.
#include "corpus.h"
#include "ui/common/prompts.h"
#include "ui/editor/findform.h"
#include "ui/editor/highlighter.h"
#include "uimain.h"
#include "uiwindow.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

namespace {

// Answers every message with OK, so "No (further) Entry found." does not wait for a click.
class SilentPrompts : public Prompts
{
public:
    QMessageBox::StandardButton message(QWidget *, Kind, const QString &, const QString &,
                                        QMessageBox::StandardButtons) override
    {
        return QMessageBox::Ok;
    }
    QString openFile(QWidget *, const QString &, const QString &, const QString &) override
    {
        return {};
    }
    QString saveFile(QWidget *, const QString &, const QString &, const QString &) override
    {
        return {};
    }
    QString folder(QWidget *, const QString &, const QString &) override { return {}; }
    bool input(QWidget *, const QString &, const QString &, QString &) override { return false; }
    bool color(QWidget *, QColor &) override { return false; }
    int modal(QDialog &) override { return 0; }
};

// A base, so the prompts are in place before the window is made.
struct SilentPromptsInstalled
{
    SilentPromptsInstalled() { Prompts::install(std::make_unique<SilentPrompts>()); }
};

struct Window : SilentPromptsInstalled, PreparedWindow
{
    TScriptEditor *doc;
    explicit Window(qint64 bytes)
        : doc(openSettled(corpus(bytes)))
    {}
    QTreeWidget *tree() const { return w->findChild<QTreeWidget *>(QStringLiteral("PropTree")); }
    void placeCaret(int position) const
    {
        QTextCursor c = doc->Editor->textCursor();
        c.setPosition(position);
        doc->Editor->setTextCursor(c);
    }
    // A new name in the middle, put in without a key (as if typed just before): the next
    // refresh has a different list to show.
    void addName(int i) const
    {
        QTextCursor c(doc->Editor->document());
        c.setPosition(doc->Editor->document()->characterCount() / 2);
        c.insertText(QStringLiteral("$bench%1;\n").arg(i));
    }
};

// The tree rebuilt (the list changed) and painted.
void BM_TreeRefresh(benchmark::State &state)
{
    Window win(state.range(0));
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        win.addName(i++);
        state.ResumeTiming();
        win.w->inspector().refresh();
        win.tree()->viewport()->repaint();
    }
    state.counters["entries"] = double(win.tree()->topLevelItem(0)->childCount()
                                       + win.tree()->topLevelItem(1)->childCount());
}
BENCHMARK(BM_TreeRefresh)->Arg(1 << 20)->Unit(benchmark::kMillisecond)->Iterations(20);

// The same refresh when nothing changed since the last one (a timer tick in a quiet script).
void BM_TreeRefreshUnchanged(benchmark::State &state)
{
    Window win(state.range(0));
    for (auto _ : state)
        win.w->inspector().refresh();
}
BENCHMARK(BM_TreeRefreshUnchanged)->Arg(1 << 20)->Unit(benchmark::kMillisecond)->Iterations(20);

// "$" typed in the middle of the script: key, refresh, repaint of editor and tree. The list
// changes before every key so each one rebuilds the tree; the "$" is taken out untimed.
void BM_TypeDollar(benchmark::State &state)
{
    Window win(state.range(0));
    ScriptEditorWidget *ed = win.doc->Editor;
    ed->setFocus();
    int i = 0;
    qint64 longest = 0;
    for (auto _ : state) {
        state.PauseTiming();
        win.addName(i++);
        win.placeCaret(ed->document()->characterCount() / 2);
        state.ResumeTiming();
        QElapsedTimer t;
        t.start();
        QTest::keyClick(ed, '$');
        ed->viewport()->repaint();
        win.tree()->viewport()->repaint();
        longest = std::max(longest, t.nsecsElapsed());
        state.PauseTiming();
        ed->textCursor().deletePreviousChar();
        win.doc->Highlighter->finish();
        state.ResumeTiming();
    }
    state.counters["longest_ms"] = double(longest) / 1e6;
}
BENCHMARK(BM_TypeDollar)->Arg(1 << 20)->Unit(benchmark::kMillisecond)->Iterations(20);

// "&Okay" pressed again: the next "my " from the previous match, selected and shown.
void BM_FindNext(benchmark::State &state)
{
    Window win(state.range(0));
    auto *find = win.w->findChild<TFindForm *>(QStringLiteral("FindForm"));
    find->FindTextCombo->setEditText(QStringLiteral("my "));
    for (auto _ : state) {
        find->findNext();
        win.doc->Editor->viewport()->repaint();
    }
}
BENCHMARK(BM_FindNext)->Arg(10 << 20)->Unit(benchmark::kMillisecond)->Iterations(200);

// The worst case: a text that is not there, searched through all 10 MB.
void BM_FindNothing(benchmark::State &state)
{
    Window win(state.range(0));
    auto *find = win.w->findChild<TFindForm *>(QStringLiteral("FindForm"));
    find->FindTextCombo->setEditText(QStringLiteral("no such text anywhere"));
    for (auto _ : state)
        find->findNext();
}
BENCHMARK(BM_FindNothing)->Arg(10 << 20)->Unit(benchmark::kMillisecond)->Iterations(10);

// One status tick with the caret near the end: must not grow with the text.
void BM_StatusTick(benchmark::State &state)
{
    Window win(state.range(0));
    win.placeCaret(win.doc->Editor->document()->characterCount() - 10);
    QTimer *timer1 = win.w->findChild<QTimer *>(QStringLiteral("Timer1"));
    for (auto _ : state)
        QMetaObject::invokeMethod(timer1, "timeout");
}
BENCHMARK(BM_StatusTick)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMicrosecond);

} // namespace

QF_WIDGET_BENCHMARK_MAIN()
