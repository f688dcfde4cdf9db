#include "core/journal/journal.h"
#include "mainwindowfixture.h"
#include "testsupport.h"
#include "ui/editor/journal.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QtTest>

namespace {

// The entries of the journal, whoever wrote them, by the script they keep.
QMap<QString, JournalEntry> journalled(const TestHome &home)
{
    QMap<QString, JournalEntry> found;
    const QDir root(JournalController::rootOf(home.dir()));
    for (const QString &session : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QDir folder(root.filePath(session));
        for (const QString &name : folder.entryList({QStringLiteral("*.journal")})) {
            QFile f(folder.filePath(name));
            if (f.open(QIODevice::ReadOnly)) {
                if (auto e = decodeJournalEntry(f.readAll()))
                    found.insert(e->script, *e);
            }
        }
    }
    return found;
}

QStringList journalFolders(const TestHome &home)
{
    return QDir(JournalController::rootOf(home.dir())).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
}

QStringList recoveryQuestions(const ScriptedPrompts &prompts)
{
    QStringList found;
    for (const auto &a : prompts.asked) {
        if (a.text.contains(QStringLiteral("did not close properly")))
            found << a.text;
    }
    return found;
}

struct Start : MainWindowFixture
{
    explicit Start(const TestHome &home)
        : MainWindowFixture(home)
    {
        w->activateWindow();
    }
    void type(const QString &text) const
    {
        ScriptEditorWidget *ed = w->CurrentDocument()->Editor;
        ed->setFocus();
        QTest::keyClicks(ed, text);
    }
    // Writes what changed now instead of a moment later.
    void journal() const { tick("JournalTimer"); }
    // A clean exit, unsaved scripts given up.
    void quit(ScriptedPrompts &prompts) const
    {
        for (size_t i = 0; i < docs().all().size(); ++i)
            prompts.buttonAnswers.push_back(QMessageBox::No);
        QVERIFY(w->close());
        prompts.buttonAnswers.clear();
    }
};

} // namespace

class JournalTest : public QObject
{
    Q_OBJECT
private slots:
    void aCrashedStartsTextIsOfferedAndRestoredUnsaved()
    {
        FreshHome fresh;
        const TestHome &home = fresh.home;
        home.writeFile(QStringLiteral("a.pl"), "print 'old';\n");
        const QString file = home.path(QStringLiteral("a.pl"));
        {
            Start first(home);
            first.type(QStringLiteral("my $new;"));
            first.w->OpenDocument(file);
            first.type(QStringLiteral("# mine "));
            first.journal();
            QTRY_COMPARE(journalled(home).size(), 2);
            // A second program on the same folder, while the first still runs.
            Start second(home);
            QVERIFY(recoveryQuestions(*fresh.prompts).isEmpty());
            second.w.reset();
        } // the window goes without closing: what a kill leaves
        QCOMPARE(journalled(home).value(file).text, QStringLiteral("# mine print 'old';\n"));

        fresh.prompts->buttonAnswers = {QMessageBox::Yes, QMessageBox::Yes};
        Start again(home);
        const QStringList asked = recoveryQuestions(*fresh.prompts);
        QCOMPARE(asked.size(), 2);
        QVERIFY(asked.filter(file).size() == 1);
        QVERIFY(asked.filter(QStringLiteral("Noname #1")).size() == 1);

        // Restored as unsaved text, the file on disk as it was.
        QCOMPARE(home.readFile(QStringLiteral("a.pl")), QByteArray("print 'old';\n"));
        TScriptEditor *named = nullptr;
        TScriptEditor *unnamed = nullptr;
        for (const auto &d : again.docs().all()) {
            if (d->FileName == file)
                named = d.get();
            else if (d->Editor->toPlainText() == QStringLiteral("my $new;"))
                unnamed = d.get();
        }
        QVERIFY(named && unnamed);
        // The new script took the place of the empty one the program started with.
        QCOMPARE(again.docs().all().size(), size_t(2));
        QCOMPARE(named->Editor->toPlainText(), QStringLiteral("# mine print 'old';\n"));
        QVERIFY(!named->saved());
        QVERIFY(!unnamed->saved());
        named->Editor->undo();
        QCOMPARE(named->Editor->toPlainText(), QStringLiteral("print 'old';\n"));
        named->Editor->redo();

        // The old entries went once answered; the restored text is journalled anew.
        again.journal();
        QTRY_COMPARE(journalFolders(home).size(), 1);
        QTRY_COMPARE(journalled(home).size(), 2);
        again.quit(*fresh.prompts);
        QVERIFY(!QFileInfo::exists(JournalController::rootOf(home.dir())));

        // A clean exit leaves nothing to offer.
        fresh.prompts->asked.clear();
        Start last(home);
        QVERIFY(recoveryQuestions(*fresh.prompts).isEmpty());
    }

    void discardingSavingAndClosingDropEntries()
    {
        FreshHome fresh;
        const TestHome &home = fresh.home;
        home.writeFile(QStringLiteral("b.pl"), "1;\n");
        const QString file = home.path(QStringLiteral("b.pl"));
        {
            Start first(home);
            first.type(QStringLiteral("lost"));
            first.journal();
            QTRY_COMPARE(journalled(home).size(), 1);
        }
        // Discarded: gone, and not offered again.
        fresh.prompts->buttonAnswers = {QMessageBox::Discard};
        {
            Start second(home);
            QCOMPARE(recoveryQuestions(*fresh.prompts).size(), 1);
            QCOMPARE(second.titles(), QStringList{QStringLiteral("Noname #1")});
            QTRY_VERIFY(journalled(home).isEmpty());

            second.w->OpenDocument(file);
            second.type(QStringLiteral("2;"));
            second.journal();
            QTRY_VERIFY(journalled(home).contains(file));
            second.trigger("Save1");
            QTRY_VERIFY(journalled(home).isEmpty());
            QCOMPARE(home.readFile(QStringLiteral("b.pl")), QByteArray("2;1;\n"));

            // Typed, journalled, then closed without saving.
            second.trigger("New1");
            second.type(QStringLiteral("given up"));
            second.journal();
            QTRY_COMPARE(journalled(home).size(), 1);
            fresh.prompts->buttonAnswers = {QMessageBox::No};
            second.trigger("Close1");
            QTRY_VERIFY(journalled(home).isEmpty());
        }
        fresh.prompts->asked.clear();
        Start third(home);
        QVERIFY(recoveryQuestions(*fresh.prompts).isEmpty());
    }

    void typingWithoutPauseIsJournalledAllTheSame()
    {
        FreshHome fresh;
        Start s(fresh.home);
        // A key every 200 ms never leaves the quiet second the journal waits for.
        QElapsedTimer typing;
        typing.start();
        while (journalled(fresh.home).isEmpty() && typing.elapsed() < 10000) {
            s.type(QStringLiteral("x"));
            QTest::qWait(200);
        }
        QVERIFY2(!journalled(fresh.home).isEmpty(), "nothing journalled while typing went on");
        const QString kept = journalled(fresh.home).first().text;
        QVERIFY(kept.startsWith(QStringLiteral("x")));
        // After the last key, the journal catches up.
        s.type(QStringLiteral("END"));
        QTRY_VERIFY_WITH_TIMEOUT(journalled(fresh.home).first().text.endsWith(QStringLiteral("END")),
                                 5000);
        s.quit(*fresh.prompts);
    }

    void aJournalThatCannotBeWrittenSaysSo()
    {
        FreshHome fresh;
        Start s(fresh.home);
        s.type(QStringLiteral("kept"));
        s.journal();
        QTRY_COMPARE(journalled(fresh.home).size(), 1);
        // The entry's place taken by a folder: no later write can replace it.
        QDir session(JournalController::rootOf(fresh.home.dir()) + u'/'
                     + journalFolders(fresh.home).first());
        const QString entry = session.entryList({QStringLiteral("*.journal")}).first();
        QVERIFY(session.remove(entry) && session.mkdir(entry));
        s.type(QStringLiteral(" more"));
        s.journal();
        QTRY_VERIFY(s.get<QLabel>("sBarPanel4")
                            ->text()
                            .startsWith(QStringLiteral(
                                    "Unsaved text cannot be kept for crash recovery: ")));
        QVERIFY(fresh.prompts->asked.isEmpty());
        QVERIFY(session.rmdir(entry));
        s.quit(*fresh.prompts);
    }

    void anUnansweredOfferStaysForTheNextStart()
    {
        FreshHome fresh;
        {
            Start first(fresh.home);
            first.type(QStringLiteral("keep me"));
            first.journal();
            QTRY_COMPARE(journalled(fresh.home).size(), 1);
        }
        {
            Start closedBox(fresh.home);
        } // the question closed without an answer
        fresh.prompts->asked.clear();
        fresh.prompts->buttonAnswers = {QMessageBox::Yes};
        Start again(fresh.home);
        QCOMPARE(recoveryQuestions(*fresh.prompts).size(), 1);
        QCOMPARE(again.w->CurrentDocument()->Editor->toPlainText(), QStringLiteral("keep me"));
    }
};

QTEST_MAIN(JournalTest)
#include "tst_journal.moc"
