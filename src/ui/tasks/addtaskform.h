#pragma once

#include <QDialog>
#include <QStringList>

class QDateEdit;
class QLineEdit;
class QPushButton;
class QTextDocument;
class QTextEdit;
class TaskStore;

// The add-task dialog. Created once and only shown and hidden, so From and the date keep what
// the user last entered; it stays above the main window without blocking it.
class TAddTaskForm : public QDialog
{
    Q_OBJECT
public:
    TAddTaskForm(TaskStore &store, QWidget *parent);

    // Shows the dialog for a new task.
    void openForAdd();
    // Shows the dialog with a stored task, whose header line (and so its From) is not copied.
    void openForEdit(const QDate &day, const QString &forWhom, const QString &diz,
                     const QStringList &lines);

    void FormShow();
    void storeTask();
    void closeDialog();
    void FormClose();

    void reject() override;

    QLineEdit *edUser = nullptr;
    QLineEdit *edFor = nullptr;
    QLineEdit *edDiz = nullptr;
    QDateEdit *dtpWhen = nullptr;
    QTextEdit *TaskMemo = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;

signals:
    // A task was written; the page shows its calendar's day again.
    void taskStored();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    TaskStore &m_store;
};

// Underlines web and mail addresses in a text box, as the task texts show them.
void markWebAddresses(QTextDocument *document);
