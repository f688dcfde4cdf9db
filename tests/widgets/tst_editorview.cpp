#include "../core/sampletext.h"
#include "core/common/textfile.h"
#include "core/editor/longlines.h"
#include "mainwindowfixture.h"
#include "testsupport.h"
#include "ui/editor/documenttext.h"
#include "ui/editor/highlighter.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

#include <cmath>

// What the editor shows of a script: colours for the lines on screen only, selections in the
// palette's colours, and lines of megabytes shown in rows while the text stays as it is.
namespace {

const char *kDefs = "[Comments]\n2#=Courier New|10|8421504|0|1|0|0\n"
                    "[Strings]\n3\"=Courier New|10|9235340|0|0|0|0\n"
                    "[Words]\n1if=Courier New|10|16777215|1|0|0|0\n"
                    "0$=Courier New|10|33023|1|0|0|0\n";

// A line of some 90,000 characters (times copies): Perl with blanks, and a stretch without any.
QString longLine(int copies = 1)
{
    QString line = sampleText(4000 * copies);
    line.replace(u'\n', u' ');
    line.insert(line.size() / 3,
                QString(6000, u'x') + QStringLiteral("\"q\"") + QString(3000, u'y'));
    return line;
}

// Row and column of a position in the lines of text.
QString rowColumn(const QString &text, int pos)
{
    const int lineStart = pos > 0 ? int(text.lastIndexOf(u'\n', pos - 1)) + 1 : 0;
    return QStringLiteral("Row: %1 Col: %2").arg(text.left(pos).count(u'\n')).arg(pos - lineStart);
}

// How far a colour is from the blends of a and b that antialiased text of one on the other
// gives.
double offBlend(QColor c, QColor a, QColor b)
{
    double best = 1e9;
    for (int k = 0; k <= 64; ++k) {
        const double t = k / 64.0;
        const double dr = c.red() - (a.red() * (1 - t) + b.red() * t);
        const double dg = c.green() - (a.green() * (1 - t) + b.green() * t);
        const double db = c.blue() - (a.blue() * (1 - t) + b.blue() * t);
        best = std::min(best, std::sqrt(dr * dr + dg * dg + db * db));
    }
    return best;
}

struct OpenScript
{
    FreshHome fresh;
    std::unique_ptr<MainWindowFixture> w;
    TScriptEditor *doc = nullptr;
    ScriptEditorWidget *ed = nullptr;
    explicit OpenScript(const QByteArray &bytes)
    {
        fresh.home.writeFile("etc/editorcolors.def", kDefs);
        fresh.home.writeFile("a.pl", bytes);
        w = std::make_unique<MainWindowFixture>(fresh.home);
        doc = w->openLoaded(path());
        doc->Highlighter->finish();
        ed = doc->Editor;
        ed->setFocus();
    }
    QString path() const { return fresh.home.path("a.pl"); }
    QString text() const { return DocumentText::plainText(ed->document()); }
    QString status() const
    {
        w->tick("Timer1");
        return w->get<QLabel>("sBarPanel0")->text();
    }
    void putCaret(int pos, int anchor = -1)
    {
        QTextCursor c(ed->document());
        c.setPosition(anchor < 0 ? pos : anchor);
        c.setPosition(pos, QTextCursor::KeepAnchor);
        ed->setTextCursor(c);
    }
    QByteArray saved() const
    {
        const QString copy = fresh.home.path("saved.pl");
        writeScript(*doc, copy);
        return readFileBytes(copy);
    }
};

} // namespace

class EditorViewTest : public QObject
{
    Q_OBJECT
private slots:
    // Colours take memory only for the lines on screen: a line far below has none until it is
    // scrolled to, and the lines scrolled away give theirs back.
    void coloursAreHeldForTheLinesOnScreenOnly()
    {
        OpenScript s(sampleText(3000).toUtf8());
        s.ed->viewport()->repaint();
        const QTextBlock top = s.ed->document()->firstBlock();
        const QTextBlock far = s.ed->document()->findBlockByNumber(2500);
        QVERIFY(!top.layout()->formats().isEmpty());
        QVERIFY(far.layout()->formats().isEmpty());

        s.ed->verticalScrollBar()->setValue(2500);
        s.ed->viewport()->repaint();
        QVERIFY(!far.layout()->formats().isEmpty());
        QVERIFY(top.layout()->formats().isEmpty());
    }

    // Giving the lines on screen their colours is no edit: a key typed far below afterwards is
    // reported as that one character, not as all the text from the screen down to it (which
    // the colours and the inspector would read again).
    void anEditAfterColouringIsReportedAsItIs()
    {
        OpenScript s(sampleText(3000).toUtf8());
        s.ed->viewport()->repaint();
        QList<QList<int>> reports;
        connect(s.ed->document(), &QTextDocument::contentsChange, this,
                [&reports](int pos, int removed, int added) {
                    reports.append({pos, removed, added});
                });
        const int middle = s.ed->document()->characterCount() / 2;
        QTextCursor c(s.ed->document());
        c.setPosition(middle);
        c.insertText(QStringLiteral("x"));
        QCOMPARE(reports, (QList<QList<int>>{{middle, 0, 1}}));
    }

    // Selected text shows the palette's highlighted-text colour on the highlight colour,
    // whatever colours its tokens have: in the formats its line is drawn with, and on screen.
    void selectedColouredTextShowsTheHighlightedTextColours()
    {
        OpenScript s("my $a = \"green string\"; if $b if $c # comment\n");
        const int end = int(s.ed->document()->characterCount()) - 4;
        s.putCaret(end, 3);
        s.ed->viewport()->repaint();
        const QColor highlight = s.ed->palette().color(QPalette::Highlight);
        const QColor text = s.ed->palette().color(QPalette::HighlightedText);

        bool anySelected = false;
        for (const QTextLayout::FormatRange &r :
             s.ed->document()->firstBlock().layout()->formats()) {
            if (r.start >= 3 && r.start + r.length <= end) {
                anySelected = true;
                QCOMPARE(r.format.foreground().color(), text);
            }
        }
        QVERIFY(anySelected);

        const QImage shot = s.ed->viewport()->grab().toImage();
        QTextCursor at(s.ed->document());
        at.setPosition(3);
        const QRect first = s.ed->cursorRect(at);
        at.setPosition(end);
        const int right = s.ed->cursorRect(at).left() - 2;
        QVERIFY(right - first.right() > 100);
        double worst = 0;
        for (int y = first.top() + 1; y < first.bottom(); ++y)
            for (int x = first.right() + 2; x < right; ++x)
                worst = std::max(worst, offBlend(shot.pixelColor(x, y), highlight, text));
        QVERIFY2(worst < 48, QByteArray::number(worst).constData());
    }

    // A long line is held in rows of at most a hundred characters, and everything that reads
    // the text (saving, colours, find, the inspector) gets it back as it was. A script this
    // large is laid into its document in the background.
    void aLongLineIsShownInRowsAndReadAsItIs_data()
    {
        QTest::addColumn<QByteArray>("lineEnd");
        QTest::addColumn<int>("copies");
        QTest::addRow("LF") << QByteArray("\n") << 1;
        QTest::addRow("CRLF") << QByteArray("\r\n") << 1;
        QTest::addRow("in the background") << QByteArray("\n") << 4;
    }

    void aLongLineIsShownInRowsAndReadAsItIs()
    {
        QFETCH(QByteArray, lineEnd);
        QFETCH(int, copies);
        const QString line = longLine(copies);
        const QByteArray bytes = "print 1;" + lineEnd + line.toUtf8() + lineEnd + "$after = 2;"
                                 + lineEnd;
        OpenScript s(bytes);
        int longest = 0;
        for (QTextBlock b = s.ed->document()->begin(); b.isValid(); b = b.next())
            longest = std::max(longest, b.length() - 1);
        QVERIFY2(longest <= LongLines::kRowChars, QByteArray::number(longest).constData());

        const QString text = QStringLiteral("print 1;\n") + line
                             + QStringLiteral("\n$after = 2;\n");
        QCOMPARE(s.text(), text);
        QCOMPARE(s.doc->Highlighter->mirrorText(), text);
        QCOMPARE(s.saved(), bytes);
        const PatternPainter painter(ColorDefinitions::fromText(QString::fromLatin1(kDefs)));
        QCOMPARE(perChar(s.doc->Highlighter->spans(), int(text.size())),
                 perChar(painter.paint(text), int(text.size())));
    }

    // Without blanks a row break stands in for a digit, which shows at the end of its row: the
    // rows look exactly as the same text written in lines of that length.
    void aRowBreaksCharacterShowsAtTheEndOfItsRow()
    {
        QString digits;
        for (int i = 0; i < 3 * LongLines::kLongLine; ++i)
            digits += QChar(u'0' + i % 10);
        const QString text = QStringLiteral("# digits\n") + digits + u'\n';
        QString cut = text;
        for (const int at : LongLines::rowBreaks(text))
            cut.insert(at + 1 + int(cut.size() - text.size()), u'\n');
        QVERIFY(LongLines::rowBreaks(cut).empty());
        const auto shot = [](const QString &t) {
            ScriptEditorWidget ed;
            ed.resize(1200, 120);
            ed.show();
            if (!QTest::qWaitForWindowExposed(&ed))
                return QImage();
            ed.loadText(t);
            return ed.viewport()->grab().toImage();
        };
        const QImage rows = shot(text);
        const QImage lines = shot(cut);
        QVERIFY(!rows.isNull());
        QCOMPARE(rows, lines);
    }

    void rowsAndColumnsAreThoseOfTheText()
    {
        const QString line = longLine();
        const QString text = QStringLiteral("print 1;\n") + line
                             + QStringLiteral("\n\n$after = 2;\n") + line
                             + QStringLiteral("\nend\n");
        OpenScript s(text.toUtf8());
        const std::vector<int> breaks = LongLines::rowBreaks(text);
        QVERIFY(breaks.size() > 100);
        const int second = int(text.indexOf(QStringLiteral("$after")));
        for (const int pos :
             {0, 9, breaks[3], breaks[3] + 1, breaks[40] - 7, breaks.back(), breaks.back() + 1,
              int(9 + line.size()), second + 3, int(text.size()) - 2}) {
            s.putCaret(pos);
            QCOMPARE(s.status(), rowColumn(text, pos));
        }
    }

    // Typing, a line break and undo in the middle of a long line; then a row emptied by
    // deleting all of it, and a line break typed there: it is a line break of its own.
    void typingInALongLineKeepsTheText()
    {
        const QString line = longLine();
        const QString original = line + QStringLiteral("\n");
        OpenScript s(original.toUtf8());
        const std::vector<int> breaks = LongLines::rowBreaks(original);
        const int middle = breaks[breaks.size() / 2] + 5;
        s.putCaret(middle);
        QTest::keyClicks(s.ed, "abc");
        QTest::keyClick(s.ed, Qt::Key_Return);
        QString expected = original;
        expected.insert(middle, QStringLiteral("abc\n"));
        QCOMPARE(s.text(), expected);
        QCOMPARE(s.status(), rowColumn(expected, middle + 4));
        QCOMPARE(QString::fromUtf8(s.saved()), expected);
        s.ed->undo();
        s.ed->undo();
        QCOMPARE(s.text(), original);
        QVERIFY(s.doc->saved());

        const int row = breaks[10] + 1;
        s.putCaret(breaks[11], row);
        QTest::keyClick(s.ed, Qt::Key_Delete);
        QTest::keyClick(s.ed, Qt::Key_Return);
        QTest::keyClicks(s.ed, "z");
        expected = original;
        expected.replace(row, breaks[11] - row, QStringLiteral("\nz"));
        QCOMPARE(s.text(), expected);
        QCOMPARE(QString::fromUtf8(s.saved()), expected);
        QCOMPARE(s.doc->Highlighter->mirrorText(), expected);
    }

    // Copy across row breaks gives the text as it is; pasting it back, or pasting a long line
    // into a short script, keeps it so.
    void copyAndPasteAcrossRowsKeepTheText()
    {
        const QString line = longLine();
        const QString original = line + QStringLiteral("\nend\n");
        OpenScript s(original.toUtf8());
        const int from = 5000;
        const int to = 9000;
        s.putCaret(to, from);
        s.ed->copy();
        QCOMPARE(QApplication::clipboard()->text(), original.mid(from, to - from));
        s.putCaret(int(original.size()) - 1);
        s.ed->paste();
        QString expected = original;
        expected.insert(expected.size() - 1, original.mid(from, to - from));
        QCOMPARE(s.text(), expected);
        QCOMPARE(QString::fromUtf8(s.saved()), expected);

        OpenScript small("short\n");
        QApplication::clipboard()->setText(line);
        small.putCaret(5);
        small.ed->paste();
        QCOMPARE(small.text(), QStringLiteral("short") + line + QStringLiteral("\n"));
        int longest = 0;
        for (QTextBlock b = small.ed->document()->begin(); b.isValid(); b = b.next())
            longest = std::max(longest, b.length() - 1);
        QVERIFY(longest <= LongLines::kRowChars + 5);
        small.ed->undo();
        QCOMPARE(small.text(), QStringLiteral("short\n"));
    }
};

QTEST_MAIN(EditorViewTest)
#include "tst_editorview.moc"
