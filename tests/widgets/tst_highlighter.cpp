#include "../core/sampletext.h"
#include "core/editor/colordefs.h"
#include "mainwindowfixture.h"
#include "platform/platform.h"
#include "testsupport.h"
#include "ui/editor/highlighter.h"
#include "ui/shell/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

namespace {

const char *kDefs
        = "[Comments]\n2#=Courier New|10|8421504|0|1|0|0\n"
          "[Strings]\n3\"=Courier New|10|65280|1|0|0|0\n"
          "[Words]\n1if=Courier New|10|16777215|1|0|0|0\n0$=Courier New|10|33023|1|0|0|0\n";

struct Fixture
{
    ScriptEditorWidget edit;
    ColorDefinitions defs = ColorDefinitions::fromText(QString::fromLatin1(kDefs));
    std::shared_ptr<const PatternPainter> painter = std::make_shared<const PatternPainter>(defs);
    ScriptHighlighter *h;
    explicit Fixture(const QString &text)
    {
        edit.resize(640, 360);
        edit.show();
        if (!QTest::qWaitForWindowExposed(&edit))
            qWarning("the editor is not on screen: nothing will be painted");
        edit.setPlainText(text);
        h = new ScriptHighlighter(edit.document(), &edit);
        std::vector<QTextCharFormat> formats;
        for (int i = 0; i < defs.size(); ++i) {
            QTextCharFormat f;
            f.setForeground(QColor::fromRgb(QRgb(defs.style(i).rgb())));
            formats.push_back(f);
        }
        h->setPainter(painter, formats);
        edit.setColours([this](int from, int to) { return h->rangesFor(from, to); });
        QObject::connect(h, &ScriptHighlighter::coloursChanged, &edit,
                         &ScriptEditorWidget::coloursChanged);
    }
    QString text() const { return h->mirrorText(); }
    // The colours a fresh whole-text run gives from offset on.
    std::vector<int> fresh(int from) const
    {
        const QString t = edit.toPlainText();
        auto all = perChar(painter->paint(t, 0), int(t.size()));
        return {all.begin() + from, all.end()};
    }
    std::vector<int> shown(int from) const
    {
        auto all = perChar(h->spans(), int(edit.toPlainText().size()));
        return {all.begin() + from, all.end()};
    }
    // Empty when the shown colours from offset on are those of a fresh run; otherwise where
    // they first differ, with the text around it.
    QByteArray difference(int from) const
    {
        const std::vector<int> a = shown(from), b = fresh(from);
        const auto m = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
        if (m.first == a.end() && m.second == b.end())
            return {};
        const int at = from + int(m.first - a.begin());
        const QString t = edit.toPlainText();
        return QStringLiteral("at %1 shown %2 fresh %3 near \"%4|%5\"")
                .arg(at)
                .arg(m.first == a.end() ? -9 : *m.first)
                .arg(m.second == b.end() ? -9 : *m.second)
                .arg(t.mid(std::max(0, at - 60), std::min(at, 60)), t.mid(at, 60))
                .toUtf8();
    }
    // The lines on screen, after a paint.
    std::vector<QTextBlock> linesOnScreen()
    {
        edit.viewport()->repaint();
        std::vector<QTextBlock> lines;
        QTextBlock b = edit.cursorForPosition(QPoint(0, 0)).block();
        const QTextBlock last = edit.cursorForPosition(QPoint(0, edit.viewport()->height() - 1))
                                        .block();
        for (; b.isValid() && b.blockNumber() <= last.blockNumber(); b = b.next())
            lines.push_back(b);
        return lines;
    }
    // Empty when every line on screen shows the store's spans in their formats' colours.
    QByteArray shownDifference()
    {
        const std::vector<int> painted = perChar(h->spans(), int(h->mirrorText().size()));
        for (const QTextBlock &b : linesOnScreen()) {
            std::vector<QColor> shown(size_t(b.length() - 1));
            for (const QTextLayout::FormatRange &r : b.layout()->formats())
                for (int i = r.start; i < std::min(r.start + r.length, b.length() - 1); ++i)
                    shown[size_t(i)] = r.format.foreground().color();
            for (int i = 0; i < b.length() - 1; ++i) {
                const int def = painted[size_t(b.position() + i)];
                const QColor want = def == ScriptHighlighter::kAqua ? QColor(0, 255, 255)
                                    : def < 0                       ? QColor()
                                              : QColor::fromRgb(QRgb(defs.style(def).rgb()));
                if (shown[size_t(i)] != want)
                    return QByteArray("shown differs at ") + QByteArray::number(b.position() + i);
            }
        }
        return {};
    }
};

} // namespace

class HighlighterTest : public QObject
{
    Q_OBJECT
private slots:
    void init() { prompts = ScriptedPrompts::install(); }

    void wholeRunMatchesThePainterAndShowsInTheLayout()
    {
        Fixture f(QStringLiteral("\nmy $a = \"s\"; # c\n"));
        f.h->run(0);
        f.h->finish(); // a loaded machine may push even a small run into a second slice
        QCOMPARE(f.shown(0), f.fresh(0));
        QVERIFY2(!f.h->spans().empty(), "a script whose first line is empty is coloured too");
        f.linesOnScreen();
        const QTextBlock b = f.edit.document()->findBlockByNumber(1);
        bool green = false;
        for (const QTextLayout::FormatRange &r : b.layout()->formats())
            green = green || r.format.foreground().color() == QColor(0, 255, 0);
        QVERIFY(green);
    }

    void colouringNeverTouchesUndoOrModified()
    {
        Fixture f(sampleText(50));
        f.edit.document()->setModified(false);
        QVERIFY(!f.edit.document()->isUndoAvailable());
        f.h->run(0);
        f.h->finish();
        f.edit.moveCursor(QTextCursor::End);
        f.edit.insertPlainText(QStringLiteral("$z"));
        f.h->run(0);
        f.h->finish();
        QVERIFY(f.edit.document()->isModified());
        f.edit.undo();
        QVERIFY(!f.edit.document()->isModified());
        QVERIFY(!f.edit.document()->isUndoAvailable());
        QCOMPARE(f.edit.toPlainText(), sampleText(50));
    }

    // The store hears of every edit made through the document: after random edits its text is
    // the document's, the layout shows its spans (the edited blocks too), and a run from a
    // point gives the colours of a fresh run from there on. Seeded, so a failure names the
    // sequence that shows it; the store's own rules are tested in test_spanstore.
    void editsThroughTheDocumentReachTheStore_data()
    {
        QTest::addColumn<quint32>("seed");
        const int seeds = qEnvironmentVariableIntValue("QF_HIGHLIGHT_SEEDS");
        for (quint32 seed = 1; seed <= quint32(seeds > 0 ? seeds : 6); ++seed)
            QTest::addRow("seed %u", seed) << seed;
    }

    void editsThroughTheDocumentReachTheStore()
    {
        QFETCH(quint32, seed);
        Fixture f(sampleText(400));
        f.h->run(0);
        f.h->finish();
        QRandomGenerator rng(seed);
        const QStringList pieces{"\"", "#", "\n", " if ", "$", "x", "\t", "\"q\"\n", "/"};
        for (int round = 0; round < 150; ++round) {
            QTextCursor c(f.edit.document());
            const int size = int(f.edit.toPlainText().size());
            const int at = int(rng.bounded(size + 1));
            c.setPosition(at);
            if (rng.bounded(3) == 0 && at < size)
                c.setPosition(std::min(size, at + int(rng.bounded(40))), QTextCursor::KeepAnchor);
            if (rng.bounded(2) == 0)
                c.removeSelectedText();
            else
                c.insertText(pieces[int(rng.bounded(pieces.size()))]);
            QString raw = f.edit.document()->toRawText();
            raw.replace(QChar::ParagraphSeparator, u'\n');
            raw.truncate(f.edit.document()->characterCount() - 1);
            QCOMPARE(f.text(), raw);
            // The view follows the edits, as it follows typing.
            f.edit.setTextCursor(c);
            f.edit.centerCursor();
            const QByteArray shown = f.shownDifference();
            QVERIFY2(shown.isEmpty(),
                     QByteArray("round " + QByteArray::number(round) + ": " + shown).constData());
            if (round % 3 == 0) {
                const int from = std::max(0, at - 255);
                f.h->run(from);
                f.h->finish();
                const QByteArray diff = f.difference(from) + f.shownDifference();
                QVERIFY2(diff.isEmpty(),
                         QByteArray("round " + QByteArray::number(round) + ": " + diff).constData());
            }
        }
    }

    // The document reports a paste at the very start as its whole first line removed and put
    // back behind the pasted lines. That line keeps its colours all the same, and so do the
    // lines when the paste is undone; a run from before the caret, as Enter starts, then gives
    // the colours of a fresh run.
    void pasteAtTheStartKeepsTheColoursOfTheLineAfterIt()
    {
        const QString original = QStringLiteral("my $a = \"s\"; # c\nprint $b if $c;\n");
        Fixture f(original);
        f.h->run(0);
        f.h->finish();
        const std::vector<int> before = f.shown(0);
        QString pasted;
        for (int i = 0; i < 12; ++i)
            pasted += QStringLiteral("$p%1 = \"one\"; # two\n").arg(i);
        QApplication::clipboard()->setText(pasted);
        f.edit.moveCursor(QTextCursor::Start);
        f.edit.paste();
        QCOMPARE(f.text(), pasted + original);
        QCOMPARE(f.shown(int(pasted.size())), before);
        QVERIFY(f.shownDifference().isEmpty());
        f.h->run(std::max(0, f.edit.textCursor().position() - 255));
        f.h->finish();
        QVERIFY2(f.difference(0).isEmpty(), f.difference(0).constData());

        f.edit.undo();
        QCOMPARE(f.text(), original);
        QCOMPARE(f.shown(0), before);
        QVERIFY(f.shownDifference().isEmpty());
    }

    // Undo brings deleted text back uncoloured, for the next run to colour. A run in slices
    // (F5 on a long script) that is started again by a second undo behind it must still get
    // there, and not stop where it meets its own checkpoints.
    void undoneTextIsColouredByARunThatAnotherUndoRestarts()
    {
        Fixture f(sampleText(2000));
        f.h->run(0);
        f.h->finish();
        QTextCursor c(f.edit.document());
        const auto cut = [&](int line, int lines) {
            c.setPosition(f.edit.document()->findBlockByNumber(line).position());
            c.setPosition(f.edit.document()->findBlockByNumber(line + lines).position(),
                          QTextCursor::KeepAnchor);
            f.edit.setTextCursor(c);
            f.edit.cut();
        };
        cut(10, 5); // four quotes: the pairing after them stays as it was
        cut(1800, 20);
        f.edit.undo(); // the lines far down are back, without colours
        QVERIFY(!f.difference(0).isEmpty());
        f.h->run(0, 0); // one slice, then the rest between events
        QVERIFY(f.h->busy());
        QSignalSpy done(f.h, &ScriptHighlighter::runFinished);
        f.edit.undo(); // the lines near the top are back, behind the run
        QVERIFY(done.wait(20000));
        QCOMPARE(f.text(), sampleText(2000));
        QVERIFY2(f.difference(0).isEmpty(), f.difference(0).constData());
        QVERIFY(f.shownDifference().isEmpty());
    }

    void longRunsGoOnInSlicesBetweenEvents()
    {
        Fixture f(sampleText(60000));
        QSignalSpy done(f.h, &ScriptHighlighter::runFinished);
        QSignalSpy progress(f.h, &ScriptHighlighter::progress);
        f.h->run(0, 1);
        QVERIFY(f.h->busy());
        // Typing while it runs: the run starts again from the edit and still ends right.
        QTextCursor c(f.edit.document());
        c.setPosition(10);
        c.insertText(QStringLiteral("\""));
        QVERIFY(done.wait(20000));
        QVERIFY(!progress.isEmpty());
        QCOMPARE(f.shown(0), f.fresh(0));
    }

    void textTypedAfterASlashShowsAquaUntilTheNextRun()
    {
        Fixture f(QStringLiteral("my $a = 1;\n"));
        f.h->run(0);
        f.h->finish();
        QTextCursor c(f.edit.document());
        c.setPosition(10);
        c.insertText(QStringLiteral("/"));
        c.insertText(QStringLiteral("ab"));
        f.linesOnScreen();
        QList<QTextLayout::FormatRange> ranges = f.edit.document()->begin().layout()->formats();
        const auto aqua = std::find_if(ranges.begin(), ranges.end(), [](const auto &r) {
            return r.format.foreground().color() == QColor(0, 255, 255);
        });
        QVERIFY(aqua != ranges.end());
        QCOMPARE(aqua->start, 11);
        QCOMPARE(aqua->length, 2);
        f.h->run(0);
        f.h->finish();
        QCOMPARE(f.shown(0), f.fresh(0));
        QVERIFY(f.shownDifference().isEmpty());
    }

    void mainWindowTriggersAndSwitches()
    {
        TestHome home;
        home.writeFile("etc/editorcolors.def", kDefs);
        home.writeFile("a.pl", sampleText(300).toUtf8());
        MainWindowFixture w(home);
        TIniFile ini(home.path("etc/quillforge.cfg"));
        w->OpenDocument(home.path("a.pl"));
        TScriptEditor *doc = w->CurrentDocument();
        ScriptHighlighter *h = doc->Highlighter;
        h->finish();
        QVERIFY2(!h->spans().empty(), "an opened script is coloured");
        QVERIFY(doc->saved());

        // Enter re-colours (from before the caret) after a change; the caret and the scroll stay.
        ScriptEditorWidget *ed = doc->Editor;
        ed->setFocus();
        QTextCursor c = ed->textCursor();
        c.setPosition(int(ed->toPlainText().indexOf(QStringLiteral("print"))));
        ed->setTextCursor(c);
        QTest::keyClicks(ed, "\"");
        QTest::keyClick(ed, Qt::Key_Return);
        h->finish();
        Fixture ref(ed->toPlainText());
        auto expected = perChar(ref.painter->paint(ed->toPlainText(), 0),
                                int(ed->toPlainText().size()));
        auto got = perChar(h->spans(), int(ed->toPlainText().size()));
        // The Enter itself was typed after the run: compare up to the caret's line.
        const int upTo = ed->textCursor().block().previous().position();
        QCOMPARE(std::vector<int>(got.begin(), got.begin() + upTo),
                 std::vector<int>(expected.begin(), expected.begin() + upTo));

        const int scroll = ed->verticalScrollBar()->value();
        const int caret = ed->textCursor().position();
        w.trigger("Actualizecodecolors1");
        h->finish();
        QCOMPARE(ed->textCursor().position(), caret);
        QCOMPARE(ed->verticalScrollBar()->value(), scroll);
        QCOMPARE(perChar(h->spans(), int(ed->toPlainText().size())),
                 perChar(ref.painter->paint(ed->toPlainText(), 0), int(ed->toPlainText().size())));

        // With colouring switched off, F5 leaves the colours as they are.
        ini.WriteBool("Config", "SyntaxHighlighting", false);
        QTextCursor e(ed->document());
        e.insertText(QStringLiteral("\"\n"));
        const PaintSpans before = h->spans();
        w.trigger("Actualizecodecolors1");
        QVERIFY(!h->busy());
        QVERIFY(h->spans() == before);
    }

private:
    ScriptedPrompts *prompts = nullptr;
};

QTEST_MAIN(HighlighterTest)
#include "tst_highlighter.moc"
