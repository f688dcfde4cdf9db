// The code inspector panel: when it is refreshed, what the tree shows, and the jump to an entry.
#include "ui/editor/proptree.h"

#include "core/common/workers.h"
#include "ui/common/application.h"
#include "ui/common/icons.h"
#include "ui/common/prompts.h"
#include "ui/editor/documenttext.h"
#include "ui/editor/highlighter.h"

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
