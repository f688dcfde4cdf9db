// Keys in a 10 MB script with the line numbers, the caret's line and the bracket partners shown
// (marks:1) and without them (marks:0), each from the key press to the repainted editor.
#include "corpus.h"
#include "ui/editor/bracketmarks.h"
#include "ui/editor/rowbreaks.h"
#include "uimain.h"
#include "uiwindow.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QTextBlock>

#include <benchmark/benchmark.h>

namespace {

struct Window : PreparedWindow
{
    // The explorer shows the script's folder: one of its own, where nothing else changes.
    QString quietCopy(const QString &file) const
    {
        const QString copy = home + QStringLiteral("corpus.pl");
        QFile::copy(file, copy);
        return copy;
    }

    TScriptEditor *doc;
    ScriptEditorWidget *ed;
    explicit Window(bool marks)
        : doc(openSettled(quietCopy(corpus(10 << 20))))
        , ed(doc->Editor)
    {
        ed->setLineNumbersShown(marks);
        ed->setCurrentLineShown(marks);
        ed->setBracketsShown(marks);
        // The end of a line in the middle of the script.
        QTextDocument *text = ed->document();
        const QTextBlock middle = text->findBlockByNumber(text->blockCount() / 2);
        QTextCursor c(text);
        c.setPosition(middle.position() + middle.length() - 1);
        ed->setTextCursor(c);
        ed->centerCursor();
        ed->setFocus();
        QCoreApplication::processEvents();
    }

    // A key and all it leads to on screen: deferred work, the editor and its line numbers.
    qint64 press(Qt::Key key, char text = 0)
    {
        QElapsedTimer t;
        t.start();
        if (text)
            QTest::keyClick(ed, text);
        else
            QTest::keyClick(ed, key);
        QCoreApplication::processEvents();
        ed->repaint();
        return t.nsecsElapsed();
    }
};

// Typing "x(" over and over: after each "(" its partner is looked for as far as the search goes.
void BM_TypingKey(benchmark::State &state)
{
    Window win(state.range(0) != 0);
    qint64 longest = 0;
    int n = 0;
    for (auto _ : state)
        longest = std::max(longest, win.press(Qt::Key_unknown, n++ % 2 ? '(' : 'x'));
    state.counters["longest_ms"] = double(longest) / 1e6;
}
BENCHMARK(BM_TypingKey)
        ->ArgName("marks")
        ->Arg(0)
        ->Arg(1)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(200);

// The caret going down a line: the caret's line and its number move.
void BM_CaretDownKey(benchmark::State &state)
{
    Window win(state.range(0) != 0);
    qint64 longest = 0;
    for (auto _ : state)
        longest = std::max(longest, win.press(Qt::Key_Down));
    state.counters["longest_ms"] = double(longest) / 1e6;
}
BENCHMARK(BM_CaretDownKey)
        ->ArgName("marks")
        ->Arg(0)
        ->Arg(1)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(200);

// Tab, then Shift+Tab, on the whole script selected: a level more and less for each line.
void BM_IndentWholeScript(benchmark::State &state)
{
    Window win(true);
    qint64 longest = 0;
    int n = 0;
    for (auto _ : state) {
        win.ed->selectAll();
        longest = std::max(longest, win.press(n++ % 2 ? Qt::Key_Backtab : Qt::Key_Tab));
    }
    state.counters["longest_ms"] = double(longest) / 1e6;
}
BENCHMARK(BM_IndentWholeScript)->Unit(benchmark::kMillisecond)->Iterations(4);

// The partner search alone, from a "}" at the end of the script, where the braces before it
// are balanced: it looks as far as it goes, the most a key can cost it.
void BM_BracketSearchToItsLimit(benchmark::State &state)
{
    Window win(true);
    QTextCursor c = win.ed->textCursor();
    c.movePosition(QTextCursor::End);
    c.insertText(QStringLiteral("}"));
    const int at = c.position() - 1;
    QTextDocument *doc = win.ed->document();
    std::vector<int> rowBreaks;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        if (RowBreaks::before(b))
            rowBreaks.push_back(b.position() - 1);
    }
    Brackets::Match m;
    for (auto _ : state)
        m = Brackets::partnerOf(BracketMarks::chunks(doc, rowBreaks), doc->characterCount() - 1, at,
                                BracketMarks::kReach);
    if (m.found != Brackets::Found::TooFar)
        state.SkipWithError("the partner is within reach");
}
BENCHMARK(BM_BracketSearchToItsLimit)->Unit(benchmark::kMillisecond);

} // namespace

QF_WIDGET_BENCHMARK_MAIN()
