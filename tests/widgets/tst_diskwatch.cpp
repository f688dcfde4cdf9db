#include "mainwindowfixture.h"
#include "testsupport.h"
#include "ui/editor/diskwatch.h"
#include "ui/editor/gotoline.h"

#include <QFile>
#include <QLabel>
#include <QScrollBar>
#include <QtTest>

#include <sys/stat.h>

#include <cstdio>

namespace {

constexpr int kSettleMs = 40;
// Long enough for the watcher's events, the settle time and a read on a worker.
constexpr int kQuietMs = 600;

struct Window : FreshHome, MainWindowFixture
{
    Window()
        : MainWindowFixture(home)
    {
        docs().diskWatch().setSettleTime(kSettleMs);
    }
    QString write(const QString &name, const QByteArray &bytes) const
    {
        home.writeFile(name, bytes);
        return home.path(name);
    }
    // Another program writes a new file beside the script and renames it over the script.
    void replaceByRename(const QString &name, const QByteArray &bytes) const
    {
        const QString temp = home.path(name + ".tmp");
        home.writeFile(name + ".tmp", bytes);
        QCOMPARE(std::rename(QFile::encodeName(temp).constData(),
                             QFile::encodeName(home.path(name)).constData()),
                 0);
    }
    TScriptEditor *doc() const { return w->CurrentDocument(); }
    QString text() const { return doc()->Editor->toPlainText(); }
    std::pair<int, int> caret() const
    {
        const auto at = doc()->Editor->linePosition(doc()->Editor->textCursor().position());
        return {at.row, at.column};
    }
    void type(const QString &s) const
    {
        doc()->Editor->setFocus();
        QTest::keyClicks(doc()->Editor, s);
    }
    QString status() const { return get<QLabel>("sBarPanel4")->text(); }
};

QByteArray lines(int n, const QByteArray &tag)
{
    QByteArray text;
    for (int i = 1; i <= n; ++i)
        text += tag + ' ' + QByteArray::number(i) + " = 'some text to scroll along';\n";
    return text;
}

// Answers like ScriptedPrompts, and while the first question is open lets another program
// change the file, to see that no second question comes on top of it.
class SlowPrompts : public ScriptedPrompts
{
public:
    std::function<void()> whileAsking;
    int open = 0;
    int mostOpen = 0;

    QMessageBox::StandardButton message(QWidget *parent, Kind kind, const QString &title,
                                        const QString &text,
                                        QMessageBox::StandardButtons buttons) override
    {
        ++open;
        mostOpen = std::max(mostOpen, open);
        if (whileAsking)
            std::exchange(whileAsking, nullptr)();
        const auto answer = ScriptedPrompts::message(parent, kind, title, text, buttons);
        --open;
        return answer;
    }
};

} // namespace

class DiskWatchTest : public QObject
{
    Q_OBJECT
private slots:
    void anUneditedScriptReloadsKeepingCaretAndScroll()
    {
        Window w;
        const QString path = w.write("a.pl", lines(300, "my $a"));
        w.openLoaded(path);
        ScriptEditorWidget *ed = w.doc()->Editor;
        moveCaretToLine(ed, 120, 7);
        ed->verticalScrollBar()->setValue(100);
        const auto caret = w.caret();
        const int top = ed->verticalScrollBar()->value();
        QVERIFY(top > 0);

        // Read afresh as on opening: Windows-1252 and CRLF now.
        QByteArray other = lines(300, "my $b");
        other.replace("\n", "\r\n");
        other.append("# caf\xe9\r\n");
        w.write("a.pl", other);
        QTRY_VERIFY_WITH_TIMEOUT(w.text().startsWith("my $b 1"), 5000);
        QVERIFY(w.text().endsWith(QStringLiteral("# caf\u00e9\n")));
        QVERIFY(w.doc()->saved());
        QCOMPARE(w.doc()->Format.encoding, TextEncoding::Windows1252);
        QCOMPARE(w.doc()->Format.lineEnd, LineEnd::CrLf);
        QCOMPARE(w.caret(), caret);
        QCOMPARE(ed->verticalScrollBar()->value(), top);
        QVERIFY(w.prompts->asked.isEmpty());
        QVERIFY(w.status().contains(path));

        // Saved back the way it now is.
        w.type("x");
        QVERIFY(w.docs().saveCurrent());
        QVERIFY(w.home.readFile("a.pl").endsWith("# caf\xe9\r\n"));
        QVERIFY(w.prompts->asked.isEmpty());
    }

    void anEditedScriptAsksAndKeepingMineMakesTheSaveAsk()
    {
        Window w;
        const QString path = w.write("b.pl", "print 1;\n");
        w.openLoaded(path);
        w.type("mine ");
        w.write("b.pl", "print 'theirs';\n");
        QTRY_COMPARE_WITH_TIMEOUT(w.prompts->asked.size(), 1, 5000);
        QCOMPARE(w.prompts->asked[0].kind, Prompts::Kind::Warning);
        QVERIFY(w.prompts->asked[0].text.contains(path));
        // No: keep mine (the answer when nothing is queued).
        QTest::qWait(kQuietMs);
        QCOMPARE(w.text(), QStringLiteral("mine print 1;\n"));
        QVERIFY(!w.doc()->saved());
        QCOMPARE(w.prompts->asked.size(), 1);

        // The save asks before writing over their file; Cancel leaves it.
        QVERIFY(!w.docs().saveCurrent());
        QCOMPARE(w.prompts->asked.size(), 2);
        QVERIFY(w.prompts->asked[1].buttons.testFlag(QMessageBox::Cancel));
        QCOMPARE(w.home.readFile("b.pl"), QByteArray("print 'theirs';\n"));
        QVERIFY(!w.doc()->saved());

        w.prompts->buttonAnswers.push_back(QMessageBox::Yes);
        QVERIFY(w.docs().saveCurrent());
        QCOMPARE(w.home.readFile("b.pl"), QByteArray("mine print 1;\n"));
        // What was just written is known: the next save asks nothing, nor does the watcher.
        w.type("x");
        QVERIFY(w.docs().saveCurrent());
        QTest::qWait(kQuietMs);
        QCOMPARE(w.prompts->asked.size(), 3);
    }

    void anEditedScriptReloadsWhenTheUserSaysSo()
    {
        Window w;
        const QString path = w.write("c.pl", "print 1;\n");
        w.openLoaded(path);
        w.type("mine ");
        w.prompts->buttonAnswers.push_back(QMessageBox::Yes);
        w.write("c.pl", "print 'theirs';\n");
        QTRY_COMPARE_WITH_TIMEOUT(w.text(), QStringLiteral("print 'theirs';\n"), 5000);
        QVERIFY(w.doc()->saved());
        QCOMPARE(w.prompts->asked.size(), 1);
    }

    void aFileRenamedOverTheScriptIsNoticedAndStillWatched()
    {
        Window w;
        const QString path = w.write("d.pl", "v1\n");
        w.openLoaded(path);
        w.replaceByRename("d.pl", "v2\n");
        QTRY_COMPARE_WITH_TIMEOUT(w.text(), QStringLiteral("v2\n"), 5000);
        w.replaceByRename("d.pl", "v3\n");
        QTRY_COMPARE_WITH_TIMEOUT(w.text(), QStringLiteral("v3\n"), 5000);
        // Written in place, seen only by a watch on the new file itself.
        QFile f(path);
        QVERIFY(f.open(QIODevice::Append));
        f.write("v4\n");
        f.close();
        QTRY_COMPARE_WITH_TIMEOUT(w.text(), QStringLiteral("v3\nv4\n"), 5000);
        QVERIFY(w.prompts->asked.isEmpty());
    }

    void aVanishedScriptKeepsItsTextUnsavedUntilTheFileIsBack()
    {
        Window w;
        const QString path = w.write("e.pl", "print 'kept';\n");
        w.openLoaded(path);
        QVERIFY(QFile::remove(path));
        QTRY_VERIFY_WITH_TIMEOUT(!w.doc()->saved(), 5000);
        QCOMPARE(w.text(), QStringLiteral("print 'kept';\n"));
        QVERIFY(w.status().contains(path));
        QVERIFY(w.prompts->asked.isEmpty());

        // Back, and nothing typed since: it is read again without a question.
        w.write("e.pl", "print 'back';\n");
        QTRY_COMPARE_WITH_TIMEOUT(w.text(), QStringLiteral("print 'back';\n"), 5000);
        QVERIFY(w.doc()->saved());

        // Gone again, typed into, back: that is a question (kept when answered No).
        QVERIFY(QFile::remove(path));
        QTRY_VERIFY_WITH_TIMEOUT(!w.doc()->saved(), 5000);
        w.type("# ");
        w.write("e.pl", "print 'third';\n");
        QTRY_COMPARE_WITH_TIMEOUT(w.prompts->asked.size(), 1, 5000);
        QCOMPARE(w.text(), QStringLiteral("# print 'back';\n"));
    }

    void aScriptTurnedIntoAPipeIsGoneNotRead()
    {
        Window w;
        const QString path = w.write("a.pl", "print 1;\n");
        w.openLoaded(path);
        // Another program puts a named pipe where the file was: reading it would never end.
        QVERIFY(QFile::remove(path));
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        QTRY_VERIFY_WITH_TIMEOUT(w.status().contains(QStringLiteral("was deleted or moved")), 5000);
        QCOMPARE(w.text(), QStringLiteral("print 1;\n"));
        QVERIFY(!w.doc()->saved());
        QVERIFY(w.prompts->asked.isEmpty());
    }

    void theProgramsOwnSavesAskNothing()
    {
        Window w;
        const QString path = w.write("f.pl", "1;\n");
        w.openLoaded(path);
        for (int i = 0; i < 3; ++i) {
            w.type("x");
            QVERIFY(w.docs().saveCurrent());
            QTest::qWait(kQuietMs / 3);
        }
        QTest::qWait(kQuietMs);
        QVERIFY(w.prompts->asked.isEmpty());
        QCOMPARE(w.text(), QStringLiteral("xxx1;\n"));
        QVERIFY(w.doc()->saved());
        // Still watched after its own renames.
        w.write("f.pl", "2;\n");
        QTRY_COMPARE_WITH_TIMEOUT(w.text(), QStringLiteral("2;\n"), 5000);
    }

    void aBurstOfChangesMakesOneQuestionAndNeverTwoAtOnce()
    {
        Window w;
        auto *prompts = new SlowPrompts;
        Prompts::install(std::unique_ptr<Prompts>(prompts));
        const QString path = w.write("g.pl", "0\n");
        w.openLoaded(path);
        w.type("mine ");
        // While the question is open, another burst comes.
        prompts->whileAsking = [&] {
            for (int i = 0; i < 10; ++i)
                w.write("g.pl", "during " + QByteArray::number(i) + "\n");
            QTest::qWait(kQuietMs);
        };
        for (int i = 0; i < 20; ++i)
            w.write("g.pl", QByteArray::number(i) + "\n");
        QTRY_COMPARE_WITH_TIMEOUT(prompts->asked.size(), 1, 5000);
        // The burst during the question is asked about once, after it.
        QTRY_COMPARE_WITH_TIMEOUT(prompts->asked.size(), 2, 5000);
        QTest::qWait(kQuietMs);
        QCOMPARE(prompts->asked.size(), 2);
        QCOMPARE(prompts->mostOpen, 1);
        QCOMPARE(w.text(), QStringLiteral("mine 0\n"));
    }
};

QTEST_MAIN(DiskWatchTest)
#include "tst_diskwatch.moc"
