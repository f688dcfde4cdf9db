// Replacing every match in a large script through the find dialog's "Replace all", as the user
// does it: the text is searched, the editor's document edited in one undo step, and the editor
// and the copies of its text (colours, inspector) brought up to date.
#include "corpus.h"
#include "ui/editor/editorcommands.h"
#include "ui/editor/findform.h"
#include "uimain.h"
#include "uiwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

struct Case
{
    const char *find;
    const char *with;
    bool regex;
};

// About 107,000 "=" and 148,000 variables in the 10 MB corpus.
const Case kCases[] = {
        {"=", " = ", false},
        {"\\$(\\w+)", "\\$v_$1", true},
};

void BM_ReplaceAllInTheDialog(benchmark::State &state)
{
    const Case &c = kCases[state.range(0)];
    PreparedWindow win;
    TScriptEditor *doc = win.openSettled(corpus(10 << 20));
    TFindForm *form = win.w->editing().findForm();
    win.w->editing().showFind(TFindForm::Page::Replace);
    form->ReplaceFindCombo->setEditText(QString::fromUtf8(c.find));
    form->ReplaceTextCombo->setEditText(QString::fromUtf8(c.with));
    form->chkRegex->setChecked(c.regex);
    form->radEntireScope->setChecked(true);
    QString said;
    QObject::connect(form, &TFindForm::statusMessage, [&said](const QString &s) { said = s; });
    StallWatch stalls;
    for (auto _ : state) {
        // The longest time the window does not answer, from the click until all is settled.
        stalls.start();
        form->btReplaceAll->click();
        QCoreApplication::processEvents(); // the editor shows the new text
        state.PauseTiming();
        while (doc->Highlighter->busy())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        QCoreApplication::processEvents();
        stalls.stop();
        doc->Editor->undo();
        QCoreApplication::processEvents();
        doc->Highlighter->finish();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["longest_stall_ms"] = stalls.longestMs;
    state.SetLabel(said.toStdString());
}
BENCHMARK(BM_ReplaceAllInTheDialog)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->Iterations(3);

// Undoing the replacement: one step, as long as the replacement itself.
void BM_UndoReplaceAll(benchmark::State &state)
{
    PreparedWindow win;
    TScriptEditor *doc = win.openSettled(corpus(10 << 20));
    TFindForm *form = win.w->editing().findForm();
    win.w->editing().showFind(TFindForm::Page::Replace);
    form->ReplaceFindCombo->setEditText(QStringLiteral("="));
    form->ReplaceTextCombo->setEditText(QStringLiteral(" = "));
    for (auto _ : state) {
        state.PauseTiming();
        form->btReplaceAll->click();
        QCoreApplication::processEvents();
        doc->Highlighter->finish();
        state.ResumeTiming();
        doc->Editor->undo();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_UndoReplaceAll)->Unit(benchmark::kMillisecond)->Iterations(3);

// The search and the new texts alone, without the editor.
void BM_ReplacerAlone(benchmark::State &state)
{
    const Case &c = kCases[state.range(0)];
    QFile file(corpus(10 << 20));
    file.open(QIODevice::ReadOnly);
    const QString text = QString::fromUtf8(file.readAll());
    const Replacer r(QString::fromUtf8(c.find), {c.regex, false, false});
    size_t count = 0;
    for (auto _ : state)
        count = r.replaceAll(text, 0, text.size(), QString::fromUtf8(c.with)).size();
    state.counters["matches"] = double(count);
}
BENCHMARK(BM_ReplacerAlone)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

} // namespace

QF_WIDGET_BENCHMARK_MAIN();
