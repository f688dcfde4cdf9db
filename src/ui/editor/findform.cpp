#include "ui/editor/findform.h"

#include "ui/common/icons.h"
#include "ui/common/prompts.h"
#include "ui/common/zoom.h"
#include "ui/editor/documenttext.h"
#include "ui/editor/findinfilespage.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTextBlock>
#include <QVBoxLayout>

namespace {

QGroupBox *group(QWidget *parent, const char *name, const QString &title)
{
    auto *g = new QGroupBox(title, parent);
    g->setObjectName(QLatin1String(name));
    return g;
}

template<typename T>
T *named(T *w, const char *name)
{
    w->setObjectName(QLatin1String(name));
    return w;
}

} // namespace

TFindForm::TFindForm(EditorSource current, DocumentText *texts, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                              | Qt::WindowStaysOnTopHint)
    , m_current(std::move(current))
    , m_texts(texts ? texts : new DocumentText(this))
{
    setObjectName(QStringLiteral("FindForm"));
    setWindowTitle(QStringLiteral("Find text"));
    setModal(false);

    auto *outer = new QVBoxLayout(this);
    PageControl1 = named(new QTabWidget(this), "PageControl1");
    auto *page = named(new QWidget(PageControl1), "TabSheet1");
    PageControl1->addTab(page, QStringLiteral("Fin&d"));
    auto *filesPage = named(new QWidget(PageControl1), "TabSheet2");
    FindInFiles = new FindInFilesPage(filesPage);
    (new QVBoxLayout(filesPage))->addWidget(FindInFiles);
    PageControl1->addTab(filesPage, QStringLiteral("F&ind in files"));
    // Replacing is not offered; its page stays hidden and empty.
    PageControl1->addTab(named(new QWidget(PageControl1), "TabSheet3"), QStringLiteral("&Replace"));
    PageControl1->setTabVisible(2, false);
    outer->addWidget(PageControl1);

    auto *pv = new QVBoxLayout(page);
    auto *textRow = new QHBoxLayout;
    auto *label = new QLabel(QStringLiteral("Text to find:"), page);
    FindTextCombo = named(new QComboBox(page), "FindTextCombo");
    FindTextCombo->setEditable(true);
    // What was typed is what is searched: "PRINT" must not complete to a remembered "print".
    FindTextCombo->completer()->setCaseSensitivity(Qt::CaseSensitive);
    FindTextCombo->setInsertPolicy(QComboBox::NoInsert); // the history is kept by findNext
    FindTextCombo->setMinimumWidth(240);
    FindTextCombo->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    label->setBuddy(FindTextCombo);
    // A search takes a few milliseconds: the picture lights up while one runs.
    Ani = named(new QLabel(page), "Ani");
    Ani->setPixmap(themeIcon("edit-find", QStyle::SP_FileDialogContentsView).pixmap(22, 22));
    Ani->setEnabled(false);
    textRow->addWidget(label);
    textRow->addWidget(FindTextCombo, 1);
    textRow->addWidget(Ani);
    pv->addLayout(textRow);

    auto *groups = new QHBoxLayout;
    auto *options = group(page, "GroupBox1", QStringLiteral(" Options "));
    auto *ov = new QVBoxLayout(options);
    CheckCase = named(new QCheckBox(QStringLiteral("Case sensiti&ve"), options), "CheckCase");
    CheckWord = named(new QCheckBox(QStringLiteral("W&hole words only"), options), "CheckWord");
    ov->addWidget(CheckCase);
    ov->addWidget(CheckWord);
    groups->addWidget(options, 1);

    auto *direction = group(page, "GroupBox2", QStringLiteral(" Direction "));
    auto *dv = new QVBoxLayout(direction);
    RadioButton1 = named(new QRadioButton(QStringLiteral("For&ward"), direction), "RadioButton1");
    chkBack = named(new QRadioButton(QStringLiteral("&Backward"), direction), "chkBack");
    RadioButton1->setChecked(true);
    dv->addWidget(RadioButton1);
    dv->addWidget(chkBack);
    groups->addWidget(direction, 1);
    pv->addLayout(groups);

    auto *origin = group(page, "GroupBox3", QStringLiteral(" Origin "));
    auto *orv = new QHBoxLayout(origin);
    chkFromCursor = named(new QRadioButton(QStringLiteral("Search from &cursor"), origin),
                          "chkFromCursor");
    RadioButton4 = named(new QRadioButton(QStringLiteral("Search entire &scope"), origin),
                         "RadioButton4");
    RadioButton4->setChecked(true);
    orv->addWidget(chkFromCursor);
    orv->addWidget(RadioButton4);
    pv->addWidget(origin);
    // Another origin means starting over from it.
    connect(chkFromCursor, &QRadioButton::toggled, this, [this] { m_fresh = true; });

    auto *buttons = new QHBoxLayout;
    chkClose = named(new QCheckBox(QStringLiteral("Close"), this), "chkClose");
    chkClose->setToolTip(QStringLiteral("Close this window when the text is found"));
    Button1 = named(new QPushButton(QStringLiteral("&Okay"), this), "Button1");
    Button1->setDefault(true);
    Button1->setAutoDefault(true);
    Button2 = named(new QPushButton(QStringLiteral("&Close"), this), "Button2");
    Button2->setAutoDefault(false);
    buttons->addWidget(chkClose);
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    outer->addLayout(buttons);

    // "&Okay" and "Close" search the script; the files page has buttons of its own.
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int page) {
        Button1->setVisible(page != 1);
        chkClose->setVisible(page != 1);
    });
    connect(Button1, &QPushButton::clicked, this, &TFindForm::findNext);
    connect(Button2, &QPushButton::clicked, this, &TFindForm::closeDialog);
    setFixedSize(sizeHint());
}

void TFindForm::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    FormShow();
}

void TFindForm::FormShow()
{
    // Each showing starts from the chosen origin; the previous match no longer counts.
    m_fresh = true;
    PageControl1->setCurrentIndex(0);
    FindTextCombo->setFocus();
    FindTextCombo->lineEdit()->selectAll();
}

int TFindForm::searchStart(QPlainTextEdit *editor, bool backward) const
{
    const int length = editor->document()->characterCount() - 1;
    const QTextCursor caret = editor->textCursor();
    const bool fromCursor = chkFromCursor->isChecked();
    bool fresh = m_fresh || editor != m_editor || m_pos < 0;
    // From the cursor, a caret the user moved since the previous match is the new origin.
    if (!fresh && fromCursor
        && (caret.selectionStart() != m_pos || caret.selectionEnd() != m_pos + m_len))
        fresh = true;
    int start = 0;
    if (fresh)
        start = fromCursor ? caret.position() : (backward ? length : 0);
    else
        start = backward ? m_pos : m_pos + m_len; // on right after (before) the previous match
    return std::clamp(start, 0, length);
}

void TFindForm::findNext()
{
    const QString text = FindTextCombo->currentText();
    if (text.isEmpty())
        return;
    if (FindTextCombo->findText(text, Qt::MatchFixedString) < 0) // any letter case
        FindTextCombo->addItem(text);
    QPlainTextEdit *editor = m_current ? m_current() : nullptr;
    if (!editor)
        return;

    Ani->setEnabled(true);
    const bool backward = chkBack->isChecked();
    const int start = searchStart(editor, backward);
    // The document's own search reads the text line by line, several times slower than the
    // copy kept here: a search through 10 MB would hold the window for a fifth of a second.
    const qsizetype at = DocumentText::find(m_texts->of(editor->document()), text, start, backward,
                                            CheckCase->isChecked() ? Qt::CaseSensitive
                                                                   : Qt::CaseInsensitive,
                                            CheckWord->isChecked());
    m_editor = editor;
    m_len = int(text.size());
    Ani->setEnabled(false);
    if (at < 0) {
        m_pos = -1;
        m_fresh = true; // the next search starts over from the origin
        Prompts::information(this, QStringLiteral("No (further) Entry found."));
        return;
    }
    m_pos = int(at);
    m_fresh = false;
    QTextCursor found(editor->document());
    found.setPosition(m_pos);
    found.setPosition(m_pos + m_len, QTextCursor::KeepAnchor);
    editor->setFocus();
    editor->setTextCursor(found);
    if (chkClose->isChecked())
        ZoomHide(this);
}

void TFindForm::showFindInFiles(const QString &folder)
{
    FindInFiles->offerFolder(folder);
    ZoomShow(this);
    PageControl1->setCurrentIndex(1);
    FindInFiles->focusText();
}

void TFindForm::closeDialog()
{
    ZoomHide(this);
}

void TFindForm::reject()
{
    ZoomHide(this);
}

void TFindForm::closeEvent(QCloseEvent *e)
{
    e->ignore();
    ZoomHide(this);
}
