#include "ui/tasks/taskpage.h"

#include "core/common/clock.h"
#include "core/settings/inifile.h"
#include "ui/common/application.h"
#include "ui/common/icons.h"
#include "ui/common/panels.h"
#include "ui/common/prompts.h"
#include "ui/tasks/addtaskform.h"

#include <QAbstractTableModel>
#include <QCalendarWidget>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <utility>

// The rows of one day. A model rather than an item per row: a day with a million tasks must
// still load in about a second.
class TaskListModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setRows(QVector<TaskRow> rows)
    {
        beginResetModel();
        m_rows = std::move(rows);
        endResetModel();
    }
    const TaskRow &row(int r) const { return m_rows[r]; }
    void removeRowAt(int r)
    {
        beginRemoveRows({}, r, r);
        m_rows.remove(r);
        endRemoveRows();
    }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_rows.size());
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : 3;
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_rows.size())
            return {};
        const TaskRow &r = m_rows[index.row()];
        if (role == TTaskPage::CheckedRole)
            return r.checked;
        if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
            return {};
        switch (index.column()) {
        case 0:
            return r.forWhom;
        case 1:
            return r.diz;
        default:
            return QString();
        }
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override
    {
        static const char *const names[] = {"For", "Diz", "When"};
        if (o == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 3)
            return QLatin1String(names[section]);
        return QAbstractTableModel::headerData(section, o, role);
    }

private:
    QVector<TaskRow> m_rows;
};

namespace {

// Hot tracking: the whole row under the pointer is tinted, not just the cell.
class HotRowDelegate : public QStyledItemDelegate
{
public:
    explicit HotRowDelegate(QTableView *view)
        : QStyledItemDelegate(view)
        , m_view(view)
    {
        view->setMouseTracking(true);
        QObject::connect(view, &QTableView::entered, view, [this](const QModelIndex &i) {
            m_hot = i.row();
            m_view->viewport()->update();
        });
        view->viewport()->installEventFilter(this);
    }

    void paint(QPainter *p, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        if (index.row() == m_hot && !(option.state & QStyle::State_Selected)) {
            QColor c = option.palette.color(QPalette::Highlight);
            c.setAlpha(36);
            p->fillRect(option.rect, c);
        }
        QStyledItemDelegate::paint(p, option, index);
    }

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Leave) {
            m_hot = -1;
            m_view->viewport()->update();
        }
        return QStyledItemDelegate::eventFilter(o, e);
    }

private:
    QTableView *m_view;
    int m_hot = -1;
};

QLabel *valuePanel(const char *name, QWidget *parent)
{
    auto *l = new QLabel(QStringLiteral("<none>"), parent);
    l->setObjectName(QLatin1String(name));
    l->setTextFormat(Qt::PlainText);
    l->setFrameShape(QFrame::StyledPanel);
    l->setFrameShadow(QFrame::Sunken);
    l->setAutoFillBackground(true);
    l->setBackgroundRole(QPalette::Base);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long For or Diz must not widen the page.
    l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    l->setMinimumHeight(l->fontMetrics().height() + 8);
    return l;
}

} // namespace

TTaskPage::TTaskPage(TIniFile &taskFile, QWidget *sheet)
    : QWidget(sheet)
    , m_store(taskFile)
{
    setObjectName(QStringLiteral("TasksCarry"));
    auto *fill = new QVBoxLayout(sheet);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(this);

    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(8, 8, 8, 8);
    v->setSpacing(6);

    auto *top = new QHBoxLayout();
    top->setSpacing(8);
    TaskDate = new QCalendarWidget(this);
    TaskDate->setObjectName(QStringLiteral("TaskDate"));
    TaskDate->setGridVisible(false);
    TaskDate->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    TaskDate->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    TaskDate->setFixedSize(TaskDate->sizeHint().expandedTo(QSize(260, 190)));
    top->addWidget(TaskDate, 0, Qt::AlignTop);
    top->addWidget(buildDetails(), 1);
    v->addLayout(top);
    v->addWidget(buildButtonBar());
    buildList();
    v->addWidget(TaskList, 1);

    AddTaskForm = new TAddTaskForm(m_store, sheet->window());

    // Any way of choosing a day (click or keys) shows its tasks, so the list and the calendar
    // never disagree about which day the rows belong to.
    connect(TaskDate, &QCalendarWidget::selectionChanged, this,
            [this] { guarded([this] { TaskDateClick(); }); });
    connect(AddTaskForm, &TAddTaskForm::taskStored, this,
            [this] { LoadTasks(TaskDate->selectedDate()); });
}

QWidget *TTaskPage::buildDetails()
{
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel29"));
    auto *g = new QGridLayout(panel);
    g->setContentsMargins(0, 0, 0, 0);
    g->setHorizontalSpacing(6);
    g->setVerticalSpacing(4);
    lFor = valuePanel("lFor", panel);
    lDiz = valuePanel("lDiz", panel);
    g->addWidget(boldLabel(QStringLiteral("For:"), panel), 0, 0);
    g->addWidget(lFor, 0, 1);
    g->addWidget(boldLabel(QStringLiteral("Diz:"), panel), 1, 0);
    g->addWidget(lDiz, 1, 1);

    TaskMemo = new QTextEdit(panel);
    TaskMemo->setObjectName(QStringLiteral("TaskMemo"));
    TaskMemo->setReadOnly(true);
    TaskMemo->setAcceptRichText(false);
    QPalette p = TaskMemo->palette();
    p.setColor(QPalette::Base, p.color(QPalette::ToolTipBase));
    p.setColor(QPalette::Text, p.color(QPalette::ToolTipText));
    TaskMemo->setPalette(p);
    markWebAddresses(TaskMemo->document());
    g->addWidget(TaskMemo, 2, 0, 1, 2);
    g->setColumnStretch(1, 1);
    g->setRowStretch(2, 1);
    return panel;
}

QWidget *TTaskPage::buildButtonBar()
{
    auto *bar = new QWidget(this);
    auto *h = new QHBoxLayout(bar);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(2);
    auto button = [bar, h](const char *name, const QString &text, const char *icon,
                           const QString &tip) {
        auto *b = new QToolButton(bar);
        b->setObjectName(QLatin1String(name));
        b->setText(text);
        b->setToolTip(tip);
        b->setIcon(themeIcon(icon));
        b->setIconSize(QSize(16, 16));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setAutoRaise(true);
        b->setCursor(Qt::PointingHandCursor);
        h->addWidget(b);
        return b;
    };
    SpeedButton5 = button("SpeedButton5", QStringLiteral("Add task"), "list-add",
                          QStringLiteral("Add a task"));
    SpeedButton6 = button("SpeedButton6", QStringLiteral("Edit"), "document-edit",
                          QStringLiteral("Edit the selected task"));
    SpeedButton7 = button("SpeedButton7", QStringLiteral("Remove"), "list-remove",
                          QStringLiteral("Remove the selected task"));
    h->addSpacing(12);
    m_dayCaption = new QLabel(bar);
    m_dayCaption->setObjectName(QStringLiteral("lTaskDay"));
    m_dayCaption->setForegroundRole(QPalette::PlaceholderText);
    h->addWidget(m_dayCaption, 1);

    const std::pair<QToolButton *, void (TTaskPage::*)()> handlers[]
            = {{SpeedButton5, &TTaskPage::addTask},
               {SpeedButton6, &TTaskPage::editTask},
               {SpeedButton7, &TTaskPage::removeTask}};
    for (const auto &[b, handler] : handlers)
        connect(b, &QToolButton::clicked, this,
                [this, h = handler] { guarded([&] { (this->*h)(); }); });
    return bar;
}

void TTaskPage::buildList()
{
    TaskList = new QTableView(this);
    TaskList->setObjectName(QStringLiteral("TaskList"));
    m_model = new TaskListModel(TaskList);
    TaskList->setModel(m_model);
    TaskList->setShowGrid(true);
    TaskList->setSelectionBehavior(QAbstractItemView::SelectRows);
    TaskList->setSelectionMode(QAbstractItemView::SingleSelection);
    TaskList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TaskList->setWordWrap(false);
    TaskList->setItemDelegate(new HotRowDelegate(TaskList));
    TaskList->verticalHeader()->hide();
    TaskList->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    TaskList->verticalHeader()->setDefaultSectionSize(TaskList->fontMetrics().height() + 6);
    QHeaderView *h = TaskList->horizontalHeader();
    h->setHighlightSections(false);
    h->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    h->resizeSection(0, 100);
    h->resizeSection(1, 180);
    h->resizeSection(2, 190);
    h->setStretchLastSection(true);
    connect(TaskList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { guarded([this] { TaskListChange(); }); });
    // The edit button's shortcut for the mouse.
    connect(TaskList, &QTableView::doubleClicked, this, [this] { guarded([this] { editTask(); }); });
}

void TTaskPage::showToday()
{
    const QDate today = Clock::now().date();
    {
        const QSignalBlocker quiet(TaskDate);
        TaskDate->setSelectedDate(today);
    }
    LoadTasks(today);
}

void TTaskPage::LoadTasks(const QDate &date)
{
    m_loadedDay = date;
    m_model->setRows(m_store.load(date));
    updateDayCaption();
}

int TTaskPage::taskCount() const
{
    return m_model->rowCount();
}

void TTaskPage::updateDayCaption()
{
    const QString day = QLocale().toString(m_loadedDay, QStringLiteral("dddd, d MMMM yyyy"));
    const int n = taskCount();
    if (n == 0)
        m_dayCaption->setText(QStringLiteral("No tasks on %1").arg(day));
    else
        m_dayCaption->setText(
                QStringLiteral("%1 \u2014 %2 %3")
                        .arg(day)
                        .arg(QLocale().toString(n))
                        .arg(n == 1 ? QStringLiteral("task") : QStringLiteral("tasks")));
}

void TTaskPage::TaskDateClick()
{
    LoadTasks(TaskDate->selectedDate());
}

int TTaskPage::selectedRow() const
{
    const QModelIndexList rows = TaskList->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TTaskPage::TaskListChange()
{
    const int r = selectedRow();
    if (r < 0)
        return;
    TaskMemo->clear();
    const TaskRow &row = m_model->row(r);
    const QString value = m_store.value(m_loadedDay, row.diz);
    TaskMemo->setPlainText(Tasks::shownLines(value).join(u'\n'));
    lFor->setText(u' ' + row.forWhom);
    lDiz->setText(u' ' + row.diz);
}

void TTaskPage::addTask()
{
    AddTaskForm->openForAdd();
}

void TTaskPage::editTask()
{
    const int r = selectedRow();
    if (r < 0)
        return;
    const TaskRow &row = m_model->row(r);
    const QString value = m_store.value(m_loadedDay, row.diz);
    AddTaskForm->openForEdit(m_loadedDay, row.forWhom, row.diz, Tasks::editLines(value));
}

void TTaskPage::removeTask()
{
    const int r = selectedRow();
    if (r < 0)
        return;
    const QString diz = m_model->row(r).diz;
    if (Prompts::confirm(this, Tasks::removeQuestion(diz)) != QMessageBox::Yes)
        return;
    m_store.remove(m_loadedDay, diz);
    // The text of a task that is gone would only mislead; a neighbour that takes the selection
    // is shown instead.
    TaskMemo->clear();
    lFor->setText(QStringLiteral("<none>"));
    lDiz->setText(QStringLiteral("<none>"));
    m_model->removeRowAt(r);
    updateDayCaption();
}
