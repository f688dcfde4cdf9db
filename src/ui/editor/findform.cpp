#include "ui/editor/findform.h"

#include "ui/common/icons.h"
#include "ui/common/prompts.h"
#include "ui/common/zoom.h"
#include "ui/editor/documenttext.h"
#include "ui/editor/findinfilespage.h"
#include "ui/editor/rowbreaks.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTextBlock>
#include <QVBoxLayout>

#include <algorithm>

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

struct OptionNames
{
    const char *group, *caseSensitive, *wholeWords, *regex;
};

// The " Options " group both search pages ask the same things in.
QGroupBox *optionsGroup(QWidget *page, const OptionNames &names, QCheckBox *&caseSensitive,
                        QCheckBox *&wholeWords, QCheckBox *&regex)
{
    QGroupBox *options = group(page, names.group, QStringLiteral(" Options "));
    auto *ov = new QVBoxLayout(options);
    caseSensitive = named(new QCheckBox(QStringLiteral("Case sensiti&ve"), options),
                          names.caseSensitive);
    wholeWords = named(new QCheckBox(QStringLiteral("W&hole words only"), options),
                       names.wholeWords);
    regex = named(new QCheckBox(QStringLiteral("Regular e&xpression"), options), names.regex);
    ov->addWidget(caseSensitive);
    ov->addWidget(wholeWords);
    ov->addWidget(regex);
    return options;
}

// What is typed is what is searched: "PRINT" must not complete to a remembered "print". The
// history is kept by the searches.
void typedAsIs(QComboBox *box)
{
    box->setEditable(true);
    box->completer()->setCaseSensitivity(Qt::CaseSensitive);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMinimumWidth(240);
    box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

// A selection longer than this is no text to look for.
constexpr qsizetype kLongestTaken = 1000;

constexpr int kFindPage = 0;
constexpr int kReplacePage = 2;

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
    PageControl1->addTab(named(new QWidget(PageControl1), "TabSheet3"), QStringLiteral("&Replace"));
    outer->addWidget(PageControl1);

    auto *pv = new QVBoxLayout(page);
    auto *textRow = new QHBoxLayout;
    auto *label = new QLabel(QStringLiteral("Text to find:"), page);
    FindTextCombo = named(new QComboBox(page), "FindTextCombo");
    typedAsIs(FindTextCombo);
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
    groups->addWidget(optionsGroup(page, {"GroupBox1", "CheckCase", "CheckWord", "CheckRegex"},
                                   CheckCase, CheckWord, CheckRegex),
                      1);

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
    buildReplacePage(PageControl1->widget(kReplacePage));
    setFixedSize(sizeHint());
}

void TFindForm::buildReplacePage(QWidget *page)
{
    auto *pv = new QVBoxLayout(page);
    auto *boxes = new QGridLayout;
    auto *findLabel = new QLabel(QStringLiteral("Text to find:"), page);
    ReplaceFindCombo = named(new QComboBox(page), "ReplaceFindCombo");
    typedAsIs(ReplaceFindCombo);
    ReplaceFindCombo->setModel(FindTextCombo->model()); // one history for both pages
    findLabel->setBuddy(ReplaceFindCombo);
    auto *withLabel = new QLabel(QStringLiteral("Replace &with:"), page);
    ReplaceTextCombo = named(new QComboBox(page), "ReplaceTextCombo");
    typedAsIs(ReplaceTextCombo);
    withLabel->setBuddy(ReplaceTextCombo);
    boxes->addWidget(findLabel, 0, 0);
    boxes->addWidget(ReplaceFindCombo, 0, 1);
    boxes->addWidget(withLabel, 1, 0);
    boxes->addWidget(ReplaceTextCombo, 1, 1);
    pv->addLayout(boxes);

    auto *groups = new QHBoxLayout;
    groups->addWidget(optionsGroup(page,
                                   {"GroupBox4", "chkReplaceCase", "chkReplaceWord", "chkRegex"},
                                   chkReplaceCase, chkReplaceWord, chkRegex),
                      1);
    chkRegex->setToolTip(QStringLiteral("Perl-compatible; $1 or \\1 in the replacement is what "
                                        "the first group took, $& the whole match"));

    auto *scope = group(page, "GroupBox5", QStringLiteral(" Scope "));
    auto *sv = new QVBoxLayout(scope);
    radEntireScope = named(new QRadioButton(QStringLiteral("&Entire scope"), scope),
                           "radEntireScope");
    radSelectedText = named(new QRadioButton(QStringLiteral("Selected &text"), scope),
                            "radSelectedText");
    radEntireScope->setChecked(true);
    sv->addWidget(radEntireScope);
    sv->addWidget(radSelectedText);
    sv->addStretch(1);
    groups->addWidget(scope, 1);
    pv->addLayout(groups);

    auto *buttons = new QHBoxLayout;
    btReplace = named(new QPushButton(QStringLiteral("Re&place"), page), "btReplace");
    btReplaceAll = named(new QPushButton(QStringLiteral("Replace &all"), page), "btReplaceAll");
    for (QPushButton *b : {btReplace, btReplaceAll})
        b->setAutoDefault(false);
    buttons->addStretch(1);
    buttons->addWidget(btReplace);
    buttons->addWidget(btReplaceAll);
    pv->addLayout(buttons);
    pv->addStretch(1);

    connect(btReplace, &QPushButton::clicked, this, &TFindForm::replace);
    connect(btReplaceAll, &QPushButton::clicked, this, &TFindForm::replaceAll);
    // Both pages ask for the same things: what was typed on one is there on the other.
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        const Fields to = fields(index);
        if (!to.text || index == m_shownPage)
            return;
        const Fields from = fields(m_shownPage);
        to.text->setEditText(from.text->currentText());
        to.caseSensitive->setChecked(from.caseSensitive->isChecked());
        to.wholeWords->setChecked(from.wholeWords->isChecked());
        to.regex->setChecked(from.regex->isChecked());
        m_shownPage = index;
    });
}

void TFindForm::setPage(Page page)
{
    PageControl1->setCurrentIndex(page == Page::Replace ? kReplacePage : kFindPage);
}

bool TFindForm::isReplacePage() const
{
    return PageControl1->currentIndex() == kReplacePage;
}

TFindForm::Fields TFindForm::fields(int pageIndex) const
{
    if (pageIndex == kFindPage)
        return {FindTextCombo, CheckCase, CheckWord, CheckRegex};
    if (pageIndex == kReplacePage)
        return {ReplaceFindCombo, chkReplaceCase, chkReplaceWord, chkRegex};
    return {nullptr, nullptr, nullptr, nullptr};
}

TFindForm::Query TFindForm::query(const Fields &f) const
{
    return {f.text->currentText(),
            {f.regex->isChecked(), f.caseSensitive->isChecked(), f.wholeWords->isChecked()}};
}

TFindForm::Query TFindForm::shownQuery() const
{
    return query(fields(isReplacePage() ? kReplacePage : kFindPage));
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
    takeSelection(m_current ? m_current() : nullptr);
    QComboBox *box = isReplacePage() ? ReplaceFindCombo : FindTextCombo;
    box->setFocus();
    box->lineEdit()->selectAll();
}

void TFindForm::takeSelection(QPlainTextEdit *editor)
{
    const QTextCursor c = editor ? editor->textCursor() : QTextCursor();
    if (!c.hasSelection()) {
        radEntireScope->setChecked(true);
        return;
    }
    const QString &text = m_texts->of(editor->document());
    const qsizetype start = c.selectionStart();
    const QStringView selected = QStringView(text).mid(start, c.selectionEnd() - start);
    // Lines selected are where to replace; a piece of one line is what to look for.
    const bool lines = selected.contains(u'\n');
    (lines ? radSelectedText : radEntireScope)->setChecked(true);
    if (lines || selected.size() > kLongestTaken)
        return;
    // A match this dialog selected keeps the pattern that found it.
    const Query q = shownQuery();
    if (!q.text.isEmpty()) {
        const Replacer::Match m = Replacer(q.text, q.options).matchAt(text, start);
        if (m.found() && m.length == selected.size())
            return;
    }
    const QString taken = q.options.regex ? QRegularExpression::escape(selected)
                                          : selected.toString();
    FindTextCombo->setEditText(taken);
    ReplaceFindCombo->setEditText(taken);
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
    if (isReplacePage()) { // the replace page has no direction nor origin: on from the caret
        const Query q = shownQuery();
        QPlainTextEdit *editor = m_current ? m_current() : nullptr;
        if (!q.text.isEmpty() && editor)
            searchFromCaret(editor, q, false);
        return;
    }
    const Query q = shownQuery();
    const QString &text = q.text;
    if (text.isEmpty())
        return;
    remember(text);
    QPlainTextEdit *editor = m_current ? m_current() : nullptr;
    if (!editor)
        return;
    const std::optional<Replacer> replacer = replacerFor(q, editor);
    if (!replacer)
        return;
    m_last = q;

    Ani->setEnabled(true);
    const bool backward = chkBack->isChecked();
    const int start = searchStart(editor, backward);
    // On from an empty match is past it, or the same one would be found again.
    const bool pastEmpty = !m_fresh && editor == m_editor && m_len == 0 && start == m_pos;
    // The document's own search reads the text line by line, several times slower than the
    // copy kept here: a search through 10 MB would hold the window for a fifth of a second.
    const Replacer::Match found = locate(m_texts->of(editor->document()), *replacer, q, start,
                                         backward, pastEmpty);
    m_editor = editor;
    m_len = int(found.found() ? found.length : text.size());
    Ani->setEnabled(false);
    if (!found.found()) {
        m_pos = -1;
        m_fresh = true; // the next search starts over from the origin
        m_startOver = true;
        Prompts::information(this, QStringLiteral("No (further) Entry found."));
        return;
    }
    editor->setFocus();
    select(editor, found.start, found.length);
    if (chkClose->isChecked())
        ZoomHide(this);
}

void TFindForm::remember(const QString &text)
{
    if (FindTextCombo->findText(text, Qt::MatchFixedString) < 0) // any letter case
        FindTextCombo->addItem(text);
}

std::optional<Replacer> TFindForm::replacerFor(const Query &q, QPlainTextEdit *editor)
{
    Replacer r(q.text, q.options);
    if (r.isValid())
        return r;
    Prompts::error(asker(editor), QStringLiteral("Oops! The regular expression cannot be used: "
                                                 "%1. Please correct it.")
                                          .arg(r.errorString()));
    return std::nullopt;
}

QWidget *TFindForm::asker(QPlainTextEdit *editor)
{
    return isVisible() || !editor ? static_cast<QWidget *>(this) : editor->window();
}

Replacer::Match TFindForm::locate(QStringView text, const Replacer &replacer, const Query &q,
                                  qsizetype start, bool backward, bool skipEmptyAtStart) const
{
    if (q.options.regex) {
        return backward ? replacer.findPrevious(text, start)
                        : replacer.findNext(text, start, skipEmptyAtStart);
    }
    const qsizetype at = DocumentText::find(text, q.text, start, backward,
                                            q.options.caseSensitive ? Qt::CaseSensitive
                                                                    : Qt::CaseInsensitive,
                                            q.options.wholeWords);
    return at < 0 ? Replacer::Match{} : Replacer::Match{at, q.text.size(), {}};
}

bool TFindForm::searchFromCaret(QPlainTextEdit *editor, const Query &q, bool backward)
{
    remember(q.text);
    const std::optional<Replacer> replacer = replacerFor(q, editor);
    if (!replacer)
        return false;
    m_last = q;
    const QString &text = m_texts->of(editor->document());
    const QTextCursor caret = editor->textCursor();
    qsizetype start = backward ? caret.selectionStart() : caret.selectionEnd();
    if (m_startOver && editor == m_editor)
        start = backward ? text.size() : 0;
    const bool pastEmpty = !backward && editor == m_editor && m_len == 0 && m_pos == start;
    Ani->setEnabled(true);
    const Replacer::Match found = locate(text, *replacer, q, start, backward, pastEmpty);
    Ani->setEnabled(false);
    m_editor = editor;
    if (!found.found()) {
        m_pos = -1;
        m_fresh = true;
        m_startOver = true;
        Prompts::information(asker(editor), QStringLiteral("No (further) Entry found."));
        return false;
    }
    select(editor, found.start, found.length);
    return true;
}

void TFindForm::select(QPlainTextEdit *editor, qsizetype at, qsizetype length)
{
    m_editor = editor;
    m_pos = int(at);
    m_len = int(length);
    m_fresh = false;
    m_startOver = false;
    QTextCursor found(editor->document());
    found.setPosition(m_pos);
    found.setPosition(m_pos + m_len, QTextCursor::KeepAnchor);
    editor->setTextCursor(found);
}

bool TFindForm::findAgain(bool backward)
{
    if (m_last.text.isEmpty())
        return false;
    if (QPlainTextEdit *editor = m_current ? m_current() : nullptr)
        searchFromCaret(editor, m_last, backward);
    return true;
}

void TFindForm::rememberReplacement(const QString &with)
{
    if (!with.isEmpty()
        && ReplaceTextCombo->findText(with, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
        ReplaceTextCombo->addItem(with);
}

void TFindForm::replace()
{
    const Query q = query(fields(kReplacePage));
    const QString with = ReplaceTextCombo->currentText();
    QPlainTextEdit *editor = m_current ? m_current() : nullptr;
    if (q.text.isEmpty() || !editor || editor->isReadOnly())
        return;
    rememberReplacement(with);
    const std::optional<Replacer> replacer = replacerFor(q, editor);
    if (!replacer)
        return;
    QTextDocument *doc = editor->document();
    const QTextCursor selection = editor->textCursor();
    const Replacer::Match m = replacer->matchAt(m_texts->of(doc), selection.selectionStart());
    if (m.found() && m.end() == selection.selectionEnd()) {
        const QString by = replacer->expand(m, with);
        QTextCursor c(doc);
        c.setPosition(int(m.start));
        c.setPosition(int(m.end()), QTextCursor::KeepAnchor);
        RowBreaks::insert(c, by); // one step to undo
        c.clearSelection();
        editor->setTextCursor(c);
        // Past an empty match replaced, the next one is looked for beyond it (as s///g does).
        m_editor = editor;
        m_pos = m.length == 0 ? c.position() : -1;
        m_len = 0;
    }
    searchFromCaret(editor, q, false);
}

void TFindForm::replaceAll()
{
    const Query q = query(fields(kReplacePage));
    const QString with = ReplaceTextCombo->currentText();
    QPlainTextEdit *editor = m_current ? m_current() : nullptr;
    if (q.text.isEmpty() || !editor || editor->isReadOnly())
        return;
    remember(q.text);
    rememberReplacement(with);
    const std::optional<Replacer> replacer = replacerFor(q, editor);
    if (!replacer)
        return;
    m_last = q;
    QTextDocument *doc = editor->document();
    const QString &text = m_texts->of(doc);
    const QTextCursor selection = editor->textCursor();
    const bool inSelection = radSelectedText->isChecked();
    const int from = inSelection ? selection.selectionStart() : 0;
    const int to = inSelection ? selection.selectionEnd() : int(text.size());
    Ani->setEnabled(true);
    std::vector<Replacer::Edit> edits;
    if (to > from || !inSelection)
        edits = replacer->replaceAll(text, from, to, with);
    const qsizetype count = qsizetype(edits.size());
    // A match replaced by itself needs no edit (and leaves the script unmodified).
    edits.erase(std::remove_if(edits.begin(), edits.end(),
                               [&text](const Replacer::Edit &e) {
                                   return QStringView(text).mid(e.start, e.length) == e.text;
                               }),
                edits.end());
    const qsizetype grown = applyEdits(doc, edits);
    Ani->setEnabled(false);
    m_pos = -1;
    m_fresh = true;
    if (inSelection && to > from) {
        QTextCursor range(doc);
        range.setPosition(from);
        range.setPosition(int(to + grown), QTextCursor::KeepAnchor);
        editor->setTextCursor(range);
    }
    emit statusMessage(count == 1 ? QStringLiteral("Replaced 1 occurrence")
                                  : QStringLiteral("Replaced %1 occurrences").arg(count));
}

qsizetype TFindForm::applyEdits(QTextDocument *doc, const std::vector<Replacer::Edit> &edits)
{
    // One step to undo. Back to front, so each edit's place is still where it was found;
    // the editor and the copies of the text hear of one change when the step ends.
    qsizetype grown = 0;
    QTextCursor c(doc);
    c.beginEditBlock();
    for (auto e = edits.rbegin(); e != edits.rend(); ++e) {
        c.setPosition(int(e->start));
        c.setPosition(int(e->start + e->length), QTextCursor::KeepAnchor);
        RowBreaks::insert(c, e->text);
        grown += e->text.size() - e->length;
    }
    c.endEditBlock();
    return grown;
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
