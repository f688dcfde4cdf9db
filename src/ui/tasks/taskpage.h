#pragma once

#include "core/tasks/taskstore.h"

#include <QDate>
#include <QWidget>

class QCalendarWidget;
class QLabel;
class QTableView;
class QTextEdit;
class QToolButton;
class TAddTaskForm;
class TIniFile;
class TaskListModel;

// The task page: a calendar picks the day, the list shows that day's tasks, and the selected
// task's text is shown beside the calendar. Fills the main window's TaskSheet.
class TTaskPage : public QWidget
{
    Q_OBJECT
public:
    // Row data of TaskList beyond what it displays.
    static constexpr int CheckedRole = Qt::UserRole + 1;

    TTaskPage(TIniFile &taskFile, QWidget *sheet);

    // Start-up: the calendar shows today and the list its tasks.
    void showToday();
    void LoadTasks(const QDate &date);
    QDate loadedDay() const { return m_loadedDay; }
    int taskCount() const;

    void TaskDateClick();
    void TaskListChange();
    void addTask();
    void editTask();
    void removeTask();

    QCalendarWidget *TaskDate = nullptr;
    QTableView *TaskList = nullptr;
    QLabel *lFor = nullptr;
    QLabel *lDiz = nullptr;
    QTextEdit *TaskMemo = nullptr;
    QToolButton *SpeedButton5 = nullptr;
    QToolButton *SpeedButton6 = nullptr;
    QToolButton *SpeedButton7 = nullptr;
    TAddTaskForm *AddTaskForm = nullptr;

private:
    QWidget *buildDetails();
    QWidget *buildButtonBar();
    void buildList();
    int selectedRow() const;
    void updateDayCaption();

    TaskStore m_store;
    TaskListModel *m_model = nullptr;
    QLabel *m_dayCaption = nullptr;
    QDate m_loadedDay;
};
