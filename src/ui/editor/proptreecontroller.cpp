#include "ui/editor/proptreecontroller.h"

#include "core/common/workers.h"
#include "core/settings/configkeys.h"
#include "core/settings/inifile.h"
#include "ui/common/application.h"
#include "ui/common/panels.h"
#include "ui/common/prompts.h"
#include "ui/common/zoom.h"
#include "ui/editor/documentsource.h"
#include "ui/editor/documenttext.h"
#include "ui/editor/highlighter.h"
#include "ui/editor/proptree.h"
#include "ui/editor/scripteditor.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThreadPool>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

namespace {

// Larger scripts are scanned on a worker thread: the scan would take more than a few frames.
constexpr qsizetype kBackgroundScanChars = 2 * 1024 * 1024;
// A period of 0 or a few milliseconds would rescan without pause and keep a core busy.
constexpr int kMinRefreshPeriodMs = 1000;

// Tells when a hidden panel comes back, so it can catch up with the text.
class ShowWatcher : public QObject
{
public:
    ShowWatcher(QWidget *panel, std::function<void()> shown)
        : QObject(panel)
        , m_shown(std::move(shown))
    {
        panel->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Show)
            m_shown();
        return false;
    }

private:
    std::function<void()> m_shown;
};

} // namespace

InspectorController::InspectorController(TIniFile &settings, const DocumentSource &docs,
                                         QWidget *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_docs(docs)
{
    auto *tree = new QTreeWidget();
    tree->setObjectName(QStringLiteral("PropTree"));
    tree->setHeaderHidden(true);
    QToolButton *closeButton = panelCloseButton(nullptr, "SpeedButton3",
                                                QStringLiteral("Close Code inspector"));
    m_panel = panelFrame(parent, "pInspector", QStringLiteral(" Code inspector"), closeButton, tree)
                      .frame;
    m_inspector = new CodeInspector(tree, this);
    m_refreshTimer = new QTimer(this);
    m_refreshTimer->setObjectName(QStringLiteral("Timer2"));
    m_inspector->texts()->setMirrorSource([this](QTextDocument *doc) -> const QString * {
        for (const auto &d : m_docs.all()) {
            if (d->Highlighter && d->Highlighter->document() == doc)
                return &d->Highlighter->mirrorText();
        }
        return nullptr;
    });
    connect(m_refreshTimer, &QTimer::timeout, this, [this] { guarded([this] { refresh(); }); });
    connect(tree, &QTreeWidget::itemClicked, this, [this] { guarded([this] { jumpToEntry(); }); });
    connect(closeButton, &QToolButton::clicked, this, [this] { guarded([this] { close(); }); });
    new ShowWatcher(m_panel, [this] {
        // Deferred: the panel becomes visible only after its show event.
        QTimer::singleShot(0, this, [this] { guarded([this] { refresh(); }); });
    });
}

void InspectorController::attach(TScriptEditor &doc)
{
    // Runs before the character is inserted, so the list is that of the text without it.
    connect(doc.Editor, &ScriptEditorWidget::keyTyped, this, [this](QChar key) {
        if ((key == u'$' || key == u'@') && Config::read(m_settings, Config::InspectOnTyping))
            guarded([this] { refresh(); });
    });
    // Closing the last script goes through no view switch; the tree must not keep its names.
    // Editors also go while the window is destroyed: the queued call then dies with this.
    connect(doc.Editor, &QObject::destroyed, this, [this] {
        QTimer::singleShot(0, this, [this] {
            if (!m_docs.current())
                guarded([this] { refresh(); });
        });
    });
}

void InspectorController::applyOptions()
{
    const Config::Inspector inspector = Config::Inspector::read(m_settings);
    if (inspector.periodically) {
        m_refreshTimer->setInterval(qMax(kMinRefreshPeriodMs, inspector.intervalMs));
        m_refreshTimer->start();
    } else {
        m_refreshTimer->stop();
    }
}

void InspectorController::close()
{
    ZoomHide(m_panel);
    Config::write(m_settings, Config::VisibleCodeInspector, false);
}

void InspectorController::refresh()
{
    const quint64 generation = ++m_inspector->refreshes;
    // A hidden panel waits: it catches up when it is shown again, and typing stays quick.
    if (m_panel->isHidden())
        return;
    TScriptEditor *doc = m_docs.current();
    if (!doc) {
        m_inspector->show(InspectorEntries{});
        return;
    }
    const bool vars = Config::read(m_settings, Config::InspectVars);
    const bool subs = Config::read(m_settings, Config::InspectSubroutines);
    if (doc->Editor->isLoading()) {
        // A large script's text arrives later; list it then, if it is still the current one.
        if (m_inspector->waitingFor != doc->Editor) {
            m_inspector->waitingFor = doc->Editor;
            connect(
                    doc->Editor, &ScriptEditorWidget::textLoaded, m_inspector,
                    [this] {
                        m_inspector->waitingFor = nullptr;
                        guarded([this] { refresh(); });
                    },
                    Qt::SingleShotConnection);
        }
        m_inspector->show(InspectorScan::scan(QStringView(), vars, subs));
        return;
    }
    const QString &text = m_inspector->texts()->of(doc->Editor->document());
    if (text.size() < kBackgroundScanChars) {
        m_inspector->show(InspectorScan::scan(text, vars, subs));
        return;
    }
    // The copy shares the text; edits meanwhile make the document's copy its own.
    QPointer<CodeInspector> inspector(m_inspector);
    workerPool()->start([inspector, text = QString(text), vars, subs, generation] {
        InspectorEntries entries = InspectorScan::scan(text, vars, subs);
        QMetaObject::invokeMethod(
                qApp,
                [inspector, entries = std::move(entries), generation] {
                    if (inspector && inspector->refreshes == generation)
                        inspector->show(entries);
                },
                Qt::QueuedConnection);
    });
}

void InspectorController::jumpToEntry()
{
    const QString entry = CodeInspector::entryText(m_inspector->tree()->currentItem());
    TScriptEditor *doc = m_docs.current();
    if (entry.isEmpty() || !doc)
        return;
    // From the very first character on, in any letter case; a name may span a line break.
    const qsizetype at = DocumentText::find(m_inspector->texts()->of(doc->Editor->document()),
                                            entry, 0, false, Qt::CaseInsensitive, false);
    if (at < 0) {
        Prompts::information(m_panel->window(),
                             QStringLiteral("Oops! Procedure not found, shame on me..."));
        return;
    }
    QTextCursor found(doc->Editor->document());
    found.setPosition(int(at));
    found.setPosition(int(at + entry.size()), QTextCursor::KeepAnchor);
    doc->Editor->setFocus();
    doc->Editor->setTextCursor(found);
}
