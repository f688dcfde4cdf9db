// The code inspector panel: when it is refreshed, what the tree shows, and the jump to an entry.
#include "ui/editor/proptree.h"

#include "core/common/workers.h"
#include "ui/common/application.h"
#include "ui/common/icons.h"
#include "ui/common/prompts.h"
#include "ui/editor/documenttext.h"
#include "ui/editor/highlighter.h"
#include "ui/shell/mainwindow.h"

#include <QCoreApplication>
#include <QEvent>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTextDocument>
#include <QThreadPool>
#include <QTimer>
#include <QTreeWidget>

namespace {

constexpr int kEntryRole = Qt::UserRole;
const QString kInspectorSection = QStringLiteral("CodeInspector");
// Larger scripts are scanned on a worker thread: the scan would take more than a few frames.
constexpr qsizetype kBackgroundScanChars = 2 * 1024 * 1024;

// Control characters can belong to a name ("$" followed by a tab); show them as symbols
// so a row stays one line.
QString shownText(const QString &entry)
{
    QString s = entry.size() > CodeInspector::kMaxTextShown
                        ? entry.left(CodeInspector::kMaxTextShown) + QChar(0x2026)
                        : entry;
    for (QChar &c : s) {
        if (c.unicode() < 32)
            c = QChar(0x2400 + c.unicode());
    }
    return s;
}

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

CodeInspector::CodeInspector(QTreeWidget *tree, QObject *parent)
    : QObject(parent)
    , m_tree(tree)
    , m_texts(new DocumentText(this))
    , m_groupIcon(themeIcon("folder", QStyle::SP_DirIcon))
    , m_subIcon(themeIcon("code-function", QStyle::SP_FileIcon))
    , m_varIcon(themeIcon("code-variable", QStyle::SP_FileIcon))
{
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setUniformRowHeights(true); // keeps thousands of rows cheap to lay out
    m_tree->setIndentation(14);
}

void CodeInspector::show(const InspectorEntries &entries)
{
    if (m_showing && entries == m_shown) {
        m_tree->expandAll();
        return;
    }
    const int scrolled = m_tree->verticalScrollBar()->value();
    m_tree->setUpdatesEnabled(false);
    m_tree->clear();
    if (entries.variablesRoot)
        addRoot(QStringLiteral("Variables"), entries.variables, m_varIcon);
    if (entries.subroutinesRoot)
        addRoot(QStringLiteral("Subroutines (local)"), entries.subroutines, m_subIcon);
    m_tree->expandAll();
    m_tree->setUpdatesEnabled(true);
    m_tree->verticalScrollBar()->setValue(scrolled);
    m_shown = entries;
    m_showing = true;
}

void CodeInspector::addRoot(const QString &caption, const QStringList &entries, const QIcon &icon)
{
    auto *root = new QTreeWidgetItem(m_tree, {caption});
    root->setIcon(0, m_groupIcon);
    const int shown = std::min<int>(int(entries.size()), kMaxEntriesShown);
    QList<QTreeWidgetItem *> items;
    items.reserve(shown + 1);
    for (int i = 0; i < shown; ++i) {
        auto *item = new QTreeWidgetItem({shownText(entries[i])});
        item->setIcon(0, icon);
        item->setData(0, kEntryRole, entries[i]);
        items << item;
    }
    if (entries.size() > shown) {
        auto *more = new QTreeWidgetItem(
                {QStringLiteral("... %1 more not shown").arg(entries.size() - shown)});
        more->setFlags(Qt::ItemIsEnabled);
        QFont f = more->font(0);
        f.setItalic(true);
        more->setFont(0, f);
        more->setForeground(0, m_tree->palette().brush(QPalette::Disabled, QPalette::Text));
        items << more;
    }
    root->addChildren(items);
}

QString CodeInspector::entryText(const QTreeWidgetItem *item)
{
    if (!item || !item->parent())
        return QString();
    return item->data(0, kEntryRole).toString();
}

void TForm1::wireCodeInspector()
{
    auto *tree = pInspector->findChild<QTreeWidget *>(QStringLiteral("PropTree"));
    Inspector = new CodeInspector(tree, this);
    Inspector->texts()->setMirrorSource([this](QTextDocument *doc) -> const QString * {
        for (const auto &d : Documents) {
            if (d->Highlighter && d->Highlighter->document() == doc)
                return &d->Highlighter->mirrorText();
        }
        return nullptr;
    });
    connect(Timer2, &QTimer::timeout, this, [this] { guarded([this] { RefreshCodeInspector(); }); });
    connect(tree, &QTreeWidget::itemClicked, this, [this] { guarded([this] { PropTreeClick(); }); });
    new ShowWatcher(pInspector, [this] {
        // Deferred: the panel becomes visible only after its show event.
        QTimer::singleShot(0, this, [this] { guarded([this] { RefreshCodeInspector(); }); });
    });
    // Closing the last script goes through no view switch; the tree must not keep its names.
    // Editors are also removed while the window is being destroyed: then the queued call
    // dies with the inspector, and nothing of the window is touched before.
    connect(EditorCarry, &QStackedWidget::widgetRemoved, Inspector, [this, inspector = Inspector] {
        QTimer::singleShot(0, inspector, [this] {
            if (!CurrentDocument())
                guarded([this] { RefreshCodeInspector(); });
        });
    });
}

void TForm1::RefreshCodeInspector()
{
    const quint64 refresh = ++Inspector->refreshes;
    // A hidden panel waits: it catches up when it is shown again, and typing stays quick.
    if (pInspector->isHidden())
        return;
    TScriptEditor *doc = CurrentDocument();
    if (!doc) {
        Inspector->show(InspectorEntries{});
        return;
    }
    const bool vars = Settings.ReadBool(kInspectorSection, QStringLiteral("Vars"), true);
    const bool subs = Settings.ReadBool(kInspectorSection, QStringLiteral("Subroutines"), true);
    if (doc->Editor->isLoading()) {
        // A large script's text arrives later; list it then, if it is still the current one.
        if (Inspector->waitingFor != doc->Editor) {
            Inspector->waitingFor = doc->Editor;
            connect(
                    doc->Editor, &ScriptEditorWidget::textLoaded, Inspector,
                    [this] {
                        Inspector->waitingFor = nullptr;
                        guarded([this] { RefreshCodeInspector(); });
                    },
                    Qt::SingleShotConnection);
        }
        Inspector->show(InspectorScan::scan(QStringView(), vars, subs));
        return;
    }
    const QString &text = Inspector->texts()->of(doc->Editor->document());
    if (text.size() < kBackgroundScanChars) {
        Inspector->show(InspectorScan::scan(text, vars, subs));
        return;
    }
    // The copy shares the text; edits meanwhile make the document's copy its own.
    QPointer<CodeInspector> inspector(Inspector);
    workerPool()->start([inspector, text = QString(text), vars, subs, refresh] {
        InspectorEntries entries = InspectorScan::scan(text, vars, subs);
        QMetaObject::invokeMethod(
                qApp,
                [inspector, entries = std::move(entries), refresh] {
                    if (inspector && inspector->refreshes == refresh)
                        inspector->show(entries);
                },
                Qt::QueuedConnection);
    });
}

void TForm1::PropTreeClick()
{
    const QString entry = CodeInspector::entryText(Inspector->tree()->currentItem());
    TScriptEditor *doc = CurrentDocument();
    if (entry.isEmpty() || !doc)
        return;
    // From the very first character on, in any letter case; a name may span a line break.
    const qsizetype at = DocumentText::find(Inspector->texts()->of(doc->Editor->document()), entry,
                                            0, false, Qt::CaseInsensitive, false);
    if (at < 0) {
        Prompts::information(this, QStringLiteral("Oops! Procedure not found, shame on me..."));
        return;
    }
    QTextCursor found(doc->Editor->document());
    found.setPosition(int(at));
    found.setPosition(int(at + entry.size()), QTextCursor::KeepAnchor);
    doc->Editor->setFocus();
    doc->Editor->setTextCursor(found);
}
