#include "ui/editor/journal.h"

#include "core/common/errors.h"
#include "core/common/workers.h"
#include "ui/common/prompts.h"
#include "ui/editor/documentsource.h"
#include "ui/editor/documenttext.h"
#include "ui/editor/highlighter.h"
#include "ui/editor/scripteditor.h"

#include <QFileInfo>
#include <QPointer>
#include <QTextCursor>
#include <QTimer>

namespace {

// Text is journalled this long after the last change: the copy for the worker takes a few
// milliseconds in a large script, which a pause hides and a keystroke would feel. Text typed
// without pause is still journalled at least this often.
constexpr int kJournalDelayMs = 1000;
constexpr int kJournalMaxDelayMs = 3000;

bool isNewScript(const TScriptEditor &doc)
{
    return !QFileInfo(doc.FileName).isAbsolute();
}

} // namespace

JournalController::JournalController(const QString &programDir, DocumentSource &documents,
                                     Opener open, QWidget *window)
    : QObject(window)
    , m_root(rootOf(programDir))
    , m_documents(documents)
    , m_open(std::move(open))
    , m_window(window)
    , m_timer(new QTimer(this))
    , m_texts(new DocumentText(this))
    , m_session(m_root)
    , m_writer(workerPool())
{
    m_timer->setObjectName(QStringLiteral("JournalTimer"));
    m_timer->setSingleShot(true);
    m_timer->setInterval(kJournalDelayMs);
    connect(m_timer, &QTimer::timeout, this, [this] { writeChanged(); });
    // The writer waits for its worker before this goes, so the call always finds this.
    m_writer.setFailureHandler([this](const QString &why) {
        QMetaObject::invokeMethod(this, [this, why] {
            emit statusMessage(
                    QStringLiteral("Unsaved text cannot be kept for crash recovery: %1").arg(why));
        });
    });
    // The highlighter keeps the text in step already; reading 10 MB anew would take a frame.
    m_texts->setMirrorSource([this](QTextDocument *doc) -> const QString * {
        for (const auto &d : m_documents.all()) {
            if (d->Highlighter && d->Highlighter->document() == doc)
                return &d->Highlighter->mirrorText();
        }
        return nullptr;
    });
}

JournalController::~JournalController() = default;

QString JournalController::rootOf(const QString &programDir)
{
    return programDir + QStringLiteral("etc/journal");
}

void JournalController::attach(TScriptEditor &doc)
{
    QObject *editor = doc.Editor;
    m_tracked.insert(editor, {++m_nextId, false, false});
    // A keystroke only marks the script: the copy and the write come later.
    connect(doc.Editor, &QPlainTextEdit::textChanged, this, [this, editor] { changed(editor); });
    connect(doc.Editor, &QPlainTextEdit::modificationChanged, this, [this, editor](bool modified) {
        // Saved, or undone back to what the file holds: nothing to keep.
        if (!modified)
            changed(editor);
    });
    connect(doc.Editor, &QObject::destroyed, this, [this, editor] { m_tracked.remove(editor); });
}

void JournalController::detach(TScriptEditor &doc)
{
    const auto it = m_tracked.constFind(doc.Editor);
    if (it == m_tracked.constEnd())
        return;
    if (it->written && m_session.isOpen())
        m_writer.remove(m_session.entryFile(it->id));
    m_tracked.erase(it);
}

void JournalController::changed(QObject *editor)
{
    const auto it = m_tracked.find(editor);
    if (it == m_tracked.end())
        return;
    it->dirty = true;
    if (!m_timer->isActive())
        m_waiting.start();
    const qint64 waited = m_waiting.elapsed();
    if (!m_timer->isActive() || waited + kJournalDelayMs <= kJournalMaxDelayMs)
        m_timer->start();
}

TScriptEditor *JournalController::documentOf(QObject *editor) const
{
    for (const auto &d : m_documents.all()) {
        if (d->Editor == editor)
            return d.get();
    }
    return nullptr;
}

void JournalController::writeChanged()
{
    if (!m_session.isOpen())
        return;
    for (auto it = m_tracked.begin(); it != m_tracked.end(); ++it) {
        if (!it->dirty)
            continue;
        TScriptEditor *doc = documentOf(it.key());
        if (!doc)
            continue;
        if (doc->Editor->isLoading()) { // its text is not all there yet
            m_timer->start();
            continue;
        }
        it->dirty = false;
        const QString file = m_session.entryFile(it->id);
        if (doc->saved() || (isNewScript(*doc) && doc->Editor->document()->isEmpty())) {
            if (it->written)
                m_writer.remove(file);
            it->written = false;
            continue;
        }
        // The highlighter's text, shared: the worker lets go of it once encoded, a few
        // milliseconds on, and a key typed before then makes the copy a copy here would make
        // now. Written a second after the last key, that is seldom.
        JournalEntry entry{doc->FileName, !isNewScript(*doc), m_texts->of(doc->Editor->document())};
        m_writer.write(file, std::move(entry));
        it->written = true;
    }
}

void JournalController::offerLeftovers()
{
    JournalLeftovers left(m_root);
    const std::vector<JournalLeftovers::Entry> entries = left.entries();
    for (const JournalLeftovers::Entry &e : entries) {
        const JournalEntry &entry = e.entry;
        const QString lines = QString::number(entry.text.count(u'\n') + 1);
        const auto answer = Prompts::instance().message(
                m_window, Prompts::Kind::Confirmation, QStringLiteral("Recover unsaved text"),
                QStringLiteral("Quillforge did not close properly last time. The unsaved text of "
                               "\"%1\" (%2 lines) was kept.\n\nRestore it? Yes opens the script "
                               "with this text, still unsaved; Discard throws it away.")
                        .arg(entry.script, lines),
                QMessageBox::Yes | QMessageBox::Discard);
        if (answer == QMessageBox::Yes) {
            TScriptEditor *doc = nullptr;
            try {
                doc = restore(entry);
            } catch (const AppError &error) {
                Prompts::error(m_window, error.message()); // kept for the next start
                continue;
            }
            // The text is in this program's journal before the old entry goes, so a kill
            // right now still finds it.
            const auto it = doc ? m_tracked.find(doc->Editor) : m_tracked.end();
            if (it == m_tracked.end() || !m_session.isOpen())
                continue;
            m_writer.write(m_session.entryFile(it->id), {doc->FileName, entry.isFile, entry.text});
            it->written = true;
            m_writer.wait();
            left.drop(e);
        } else if (answer == QMessageBox::Discard) {
            left.drop(e);
        }
    }
    left.finish();
}

TScriptEditor *JournalController::restore(const JournalEntry &entry)
{
    // A file that is gone comes back as a script by its name, not yet written. A new script
    // takes the place of the empty one the program starts with, rather than stand beside it.
    TScriptEditor *doc = entry.isFile ? m_open(entry.script) : blankNewScript();
    if (!doc)
        doc = m_open(QString());
    if (!doc)
        return nullptr;
    auto apply = [editor = QPointer<ScriptEditorWidget>(doc->Editor), text = entry.text] {
        if (!editor)
            return;
        // One undo step, so undo shows what the file holds.
        QTextCursor cursor(editor->document());
        cursor.select(QTextCursor::Document);
        cursor.insertText(text);
        editor->document()->setModified(true);
    };
    if (doc->Editor->isLoading())
        connect(doc->Editor, &ScriptEditorWidget::textLoaded, this, apply, Qt::SingleShotConnection);
    else
        apply();
    return doc;
}

TScriptEditor *JournalController::blankNewScript() const
{
    for (const auto &d : m_documents.all()) {
        const QTextDocument *text = d->Editor->document();
        // Untouched: nothing typed and nothing taken back (new scripts count as modified).
        if (isNewScript(*d) && text->isEmpty() && !text->isUndoAvailable()
            && !text->isRedoAvailable())
            return d.get();
    }
    return nullptr;
}

void JournalController::finish()
{
    m_timer->stop();
    m_writer.wait();
    m_session.close();
}
