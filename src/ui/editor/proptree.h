#pragma once

#include "core/editor/varscan.h"

#include <QIcon>
#include <QObject>
#include <QPointer>

class DocumentText;
class QTreeWidget;
class QTreeWidgetItem;

// The code inspector's tree: shows what the scan found. The main window decides when.
class CodeInspector : public QObject
{
    Q_OBJECT
public:
    // More entries than this under one root make the tree slow to fill and useless to read:
    // the rest is left out and a last line says how many.
    static constexpr int kMaxEntriesShown = 5000;
    // Longer names are shown shortened; a click still searches for the whole name.
    static constexpr int kMaxTextShown = 120;

    explicit CodeInspector(QTreeWidget *tree, QObject *parent = nullptr);

    // Rebuilds the tree. When the entries are those shown already, the tree keeps where the
    // user scrolled to and what is selected.
    void show(const InspectorEntries &entries);
    QTreeWidget *tree() const { return m_tree; }
    // The copy of the scripts' text that the refresh and the searches read.
    DocumentText *texts() const { return m_texts; }

    // The text a click on the item searches for; empty for roots and the "more" line.
    static QString entryText(const QTreeWidgetItem *item);

    // The editor whose text is still being loaded and will be listed when it arrives.
    QPointer<QObject> waitingFor;
    // Counts refreshes, so a scan that finishes after a newer refresh is not shown.
    quint64 refreshes = 0;

private:
    void addRoot(const QString &caption, const QStringList &entries, const QIcon &icon);

    QTreeWidget *m_tree;
    DocumentText *m_texts;
    InspectorEntries m_shown;
    bool m_showing = false;
    QIcon m_groupIcon;
    QIcon m_subIcon;
    QIcon m_varIcon;
};
