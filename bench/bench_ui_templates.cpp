// The template palette: filling it with a large group, and inserting a long template into a
// large script with its colouring.
#include "core/templates/templatefile.h"
#include "corpus.h"
#include "ui/templates/templatepalette.h"
#include "uimain.h"
#include "uiwindow.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolButton>

#include <benchmark/benchmark.h>

namespace {

// A group of count templates. With ownIcons each has an icon pair of its own (copies of the
// shipped bitmaps), the most the palette has to read; otherwise they share the shipped ones.
void makeGroup(const QString &lib, const QString &group, int count, bool ownIcons)
{
    const char *icons[] = {"header", "sub",     "loop",    "while", "file", "hash",
                           "regex",  "heredoc", "package", "pod",   "cgi",  "form"};
    for (int i = 0; i < count; ++i) {
        QString icon = QLatin1String(icons[i % 12]);
        if (ownIcons) {
            const QString own = QStringLiteral("bench%1").arg(i);
            for (const char *state : {"_a.bmp", "_d.bmp"})
                QFile::copy(lib + icon + QLatin1String(state), lib + own + QLatin1String(state));
            icon = own;
        }
        TemplateFileValues v;
        v.Name = QStringLiteral("Template %1").arg(i);
        v.CopyRight = QStringLiteral("(c) bench");
        v.Version = QStringLiteral("1.0");
        v.Notes = QStringLiteral("one of many");
        v.IconFocused = icon + QStringLiteral("_a");
        v.Icon = icon + QStringLiteral("_d");
        v.code = QStringList{QStringLiteral("sub t%1 {").arg(i), QStringLiteral("    return;"),
                             QStringLiteral("}")};
        WriteTemplateFile(lib, group, QStringLiteral("t%1").arg(i), v);
    }
}

void BM_FillPaletteWithAGroup(benchmark::State &state)
{
    PreparedWindow win;
    const QString lib = win.home + QStringLiteral("lib/");
    makeGroup(lib, QStringLiteral("Big"), int(state.range(0)), state.range(1) != 0);
    TemplatePalette &palette = win.w->templates();
    for (auto _ : state) {
        palette.FillTemplatePalette(QStringLiteral("Big"));
        palette.LayoutTemplatePalette(true);
        QCoreApplication::processEvents(); // the toolbar lays out the new buttons
    }
    if (palette.buttons().size() != state.range(0))
        state.SkipWithError("the palette did not show every template");
}
BENCHMARK(BM_FillPaletteWithAGroup)
        ->ArgNames({"templates", "own_icons"})
        ->Args({200, 0})
        ->Args({200, 1})
        ->Unit(benchmark::kMillisecond)
        ->Iterations(10);

// A click on a button that holds 1,000 lines of real Perl, in the middle of a 1 MB script,
// until the inserted code is coloured and shown. The insertion is undone untimed.
void BM_InsertLongTemplateIntoLargeScript(benchmark::State &state)
{
    PreparedWindow win;
    const QString script = corpus(state.range(0));
    TScriptEditor *doc = win.openSettled(script);
    QFile f(script);
    f.open(QIODevice::ReadOnly);
    QStringList code;
    while (code.size() < 1000 && !f.atEnd())
        code << QString::fromUtf8(f.readLine()).chopped(1);
    TemplateFileValues v;
    v.Name = QStringLiteral("Long");
    v.code = code;
    const QString lib = win.home + QStringLiteral("lib/");
    WriteTemplateFile(lib, QStringLiteral("Long"), QStringLiteral("long"), v);
    TemplatePalette &palette = win.w->templates();
    palette.FillTemplatePalette(QStringLiteral("Long"));

    ScriptEditorWidget *ed = doc->Editor;
    QTextCursor c = ed->textCursor();
    c.setPosition(ed->document()->findBlockByNumber(ed->document()->blockCount() / 2).position());
    ed->setTextCursor(c);
    for (auto _ : state) {
        palette.buttons().front()->click();
        doc->Highlighter->finish();
        ed->viewport()->repaint();
        state.PauseTiming();
        ed->undo();
        doc->Highlighter->finish();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_InsertLongTemplateIntoLargeScript)
        ->Arg(1 << 20)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(10);

} // namespace

QF_WIDGET_BENCHMARK_MAIN()
