#include "ui/tasks/addtaskform.h"

#include "core/common/clock.h"
#include "core/tasks/taskstore.h"
#include "ui/common/application.h"
#include "ui/common/panels.h"
#include "ui/common/prompts.h"
#include "ui/common/zoom.h"

#include <QCloseEvent>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QSyntaxHighlighter>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

class WebAddressMarker : public QSyntaxHighlighter
{
public:
    using QSyntaxHighlighter::QSyntaxHighlighter;

protected:
    void highlightBlock(const QString &text) override
    {
        static const QRegularExpression
                address(QStringLiteral(R"((?:https?://|ftp://|mailto:|www\.)[^\s<>"]+)"),
                        QRegularExpression::CaseInsensitiveOption);
        QTextCharFormat f;
        f.setForeground(QColor(0x1a, 0x5f, 0xb4));
        f.setFontUnderline(true);
        for (auto it = address.globalMatch(text); it.hasNext();) {
            const auto m = it.next();
            setFormat(int(m.capturedStart()), int(m.capturedLength()), f);
        }
    }
};

} // namespace

void markWebAddresses(QTextDocument *document)
{
    new WebAddressMarker(document);
}

TAddTaskForm::TAddTaskForm(TaskStore &store, QWidget *parent)
    : QDialog(parent)
    , m_store(store)
{
    setObjectName(QStringLiteral("AddTaskForm"));
    setWindowTitle(QStringLiteral("Add task"));
    setModal(false);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);

    auto *v = new QVBoxLayout(this);
    v->setSizeConstraint(QLayout::SetFixedSize);
    v->setContentsMargins(14, 12, 14, 12);
    v->setSpacing(8);

    auto *when = new QHBoxLayout();
    when->addWidget(boldLabel(QStringLiteral("Add task for"), this));
    dtpWhen = new QDateEdit(this);
    dtpWhen->setObjectName(QStringLiteral("dtpWhen"));
    dtpWhen->setCalendarPopup(true);
    dtpWhen->setDisplayFormat(QLocale().dateFormat(QLocale::LongFormat));
    dtpWhen->setDate(Clock::now().date());
    when->addWidget(dtpWhen, 1);
    v->addLayout(when);

    auto *intro = new QLabel(
            QStringLiteral(
                    "Here you can add a task for a special date and user. Just select / type a "
                    "user name, specify a short description (required!) and all comments / "
                    "tasks etc. the receiver has to know."),
            this);
    intro->setWordWrap(true);
    intro->setForegroundRole(QPalette::PlaceholderText);
    v->addWidget(intro);

    auto *form = new QFormLayout();
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto line = [this, form](const char *name, const QString &label) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        form->addRow(label, e);
        return e;
    };
    edUser = line("edUser", QStringLiteral("From:"));
    edFor = line("edFor", QStringLiteral("For:"));
    edDiz = line("edDiz", QStringLiteral("Diz:"));
    TaskMemo = new QTextEdit(this);
    TaskMemo->setObjectName(QStringLiteral("TaskMemo"));
    TaskMemo->setAcceptRichText(false);
    TaskMemo->setTabChangesFocus(false);
    TaskMemo->setMinimumSize(380, 160);
    markWebAddresses(TaskMemo->document());
    form->addRow(QStringLiteral("Text:"), TaskMemo);
    v->addLayout(form, 1);

    auto *buttons = new QHBoxLayout();
    buttons->addStretch(1);
    Button1 = new QPushButton(QStringLiteral("&Okay"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("&Cancel"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    v->addLayout(buttons);

    connect(Button1, &QPushButton::clicked, this, [this] { guarded([this] { storeTask(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { closeDialog(); });
}

void TAddTaskForm::openForAdd()
{
    ZoomShow(this);
    (edUser->text().isEmpty() ? edUser : edFor)->setFocus();
}

void TAddTaskForm::openForEdit(const QDate &day, const QString &forWhom, const QString &diz,
                               const QStringList &lines)
{
    ZoomShow(this);
    TaskMemo->clear();
    TaskMemo->setPlainText(lines.join(u'\n'));
    edFor->setText(forWhom);
    edDiz->setText(diz);
    edUser->clear();
    dtpWhen->setDate(day);
    edUser->setFocus();
}

void TAddTaskForm::FormShow()
{
    edFor->clear();
    edDiz->clear();
    TaskMemo->clear();
}

void TAddTaskForm::storeTask()
{
    const TaskDraft draft{dtpWhen->date(), edUser->text(), edFor->text(), edDiz->text(),
                          TaskMemo->toPlainText()};
    const QString problem = Tasks::draftProblem(draft);
    if (!problem.isEmpty()) {
        Prompts::error(this, problem);
        return;
    }
    // A failed write throws: the error box shows it and the dialog stays open with its text.
    m_store.store(draft);
    emit taskStored();
    FormClose();
}

void TAddTaskForm::closeDialog()
{
    FormClose();
}

void TAddTaskForm::FormClose()
{
    ZoomHide(this);
}

void TAddTaskForm::reject()
{
    closeDialog();
}

void TAddTaskForm::showEvent(QShowEvent *event)
{
    // Restoring from the task bar is not a new opening: keep what is being typed.
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TAddTaskForm::closeEvent(QCloseEvent *event)
{
    event->ignore();
    FormClose();
}
