#include "ui/templates/templateform.h"

#include "core/common/errors.h"
#include "core/common/textfile.h"
#include "core/templates/templatefile.h"
#include "core/templates/templatelibrary.h"
#include "ui/common/application.h"
#include "ui/common/icons.h"
#include "ui/common/panels.h"
#include "ui/common/prompts.h"
#include "ui/common/zoom.h"
#include "ui/templates/templateicons.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

enum Page { GroupPage, IconPage, PropertiesPage, CodePage, FinishPage };

const QString kNext = QStringLiteral("&Next >>");
const QString kFinish = QStringLiteral("Finish");
// The values are read back cut to this length.
constexpr int kMaxValueChars = 2047;

template<typename T>
T *named(T *w, const char *name)
{
    w->setObjectName(QLatin1String(name));
    return w;
}

QLabel *text(const QString &s, QWidget *parent)
{
    auto *l = new QLabel(s, parent);
    l->setWordWrap(true);
    return l;
}

// A page: its bold heading above its contents.
QWidget *wizardPage(const char *name, const QString &heading, QVBoxLayout *&body)
{
    auto *w = new QWidget;
    w->setObjectName(QLatin1String(name));
    body = new QVBoxLayout(w);
    body->setContentsMargins(12, 8, 12, 8);
    body->addWidget(boldLabel(heading, w, 12));
    return w;
}

// The picture strip on the wizard's left.
QPixmap stripPicture()
{
    QPixmap pm(132, 360);
    QPainter p(&pm);
    QLinearGradient g(0, 0, 0, pm.height());
    g.setColorAt(0, QColor(0, 0, 215));
    g.setColorAt(1, QColor(58, 95, 205));
    p.fillRect(pm.rect(), g);
    p.drawPixmap(34, 28, appIcon().pixmap(64, 64));
    p.setPen(QColor(251, 205, 66));
    QFont f(QStringLiteral("Courier New"), 9);
    f.setStyleHint(QFont::Monospace);
    f.setBold(true);
    p.setFont(f);
    const char *lines[] = {"sub template {", "  my $code;", "  ...", "}"};
    int y = 140;
    for (const char *l : lines) {
        p.drawText(14, y, QLatin1String(l));
        y += 18;
    }
    p.setPen(Qt::white);
    QFont big = f;
    big.setFamily(QStringLiteral("Tahoma"));
    big.setPointSize(11);
    p.setFont(big);
    p.drawText(QRect(0, 250, pm.width(), 60), Qt::AlignCenter | Qt::TextWordWrap,
               QStringLiteral("Code\ntemplates"));
    return pm;
}

QIcon builtinIcon(const QString &libDir, const char *name)
{
    const auto pm = loadIconPixmap(libDir + QLatin1String(name) + QStringLiteral(".bmp"));
    return pm ? QIcon(*pm) : QIcon();
}

} // namespace

TTemplateForm::TTemplateForm(QString libDir, GroupSource groups, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_libDir(std::move(libDir))
    , m_groupSource(std::move(groups))
{
    setObjectName(QStringLiteral("TemplateForm"));
    setWindowTitle(QStringLiteral("Create code template"));
    setModal(false);
    m_focused.defaultName = "default_a";
    m_normal.defaultName = "default_d";

    auto *outer = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    auto *image = named(new QLabel(this), "Image3");
    image->setPixmap(stripPicture());
    image->setAlignment(Qt::AlignTop);
    top->addWidget(image);
    PC = named(new QStackedWidget(this), "PC");
    PC->addWidget(makeGroupPage());
    PC->addWidget(makeIconPage());
    PC->addWidget(makePropertiesPage());
    PC->addWidget(makeCodePage());
    PC->addWidget(makeFinishPage());
    top->addWidget(PC, 1);
    outer->addLayout(top, 1);

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    outer->addWidget(line);
    auto *buttons = new QHBoxLayout;
    Button3 = named(new QPushButton(QStringLiteral("&Cancel"), this), "Button3");
    btBack = named(new QPushButton(QStringLiteral("<< &Back"), this), "btBack");
    btNext = named(new QPushButton(kNext, this), "btNext");
    btBack->setEnabled(false);
    btNext->setDefault(true);
    buttons->addWidget(Button3);
    buttons->addStretch(1);
    buttons->addWidget(btBack);
    buttons->addWidget(btNext);
    outer->addLayout(buttons);

    connect(Button3, &QPushButton::clicked, this, [this] { ZoomHide(this); });
    connect(btBack, &QPushButton::clicked, this, [this] { guarded([this] { btBackClick(); }); });
    connect(btNext, &QPushButton::clicked, this, [this] { guarded([this] { btNextClick(); }); });
    resize(640, 440);
}

QWidget *TTemplateForm::makeGroupPage()
{
    QVBoxLayout *v = nullptr;
    QWidget *w = wizardPage("TabSheet1", QStringLiteral("Create code from template"), v);
    v->addWidget(text(QStringLiteral("You have chosen to create a template from a selected code "
                                     "in the editor. Templates are those tiny code samples "
                                     "available within the code editor (at the top button bar) "
                                     "that are placed at cursor's position."),
                      w));
    v->addWidget(text(QStringLiteral("Thus, you have the opportunity to add reusable code samples "
                                     "to your IDE. Please select a group where the template "
                                     "shall belong to."),
                      w));
    v->addSpacing(12);
    auto *label = boldLabel(QStringLiteral("Select or enter a group name:"), w);
    v->addWidget(label);
    Groups = named(new QComboBox(w), "Groups");
    Groups->setEditable(true);
    Groups->setInsertPolicy(QComboBox::NoInsert);
    Groups->setEditText(QStringLiteral("Standard"));
    Groups->setAccessibleName(label->text());
    label->setBuddy(Groups);
    v->addWidget(Groups);
    v->addStretch(1);
    return w;
}

QWidget *TTemplateForm::makeIconBox(const QString &title, IconChoice &choice, const char *prefix)
{
    const bool focused = &choice == &m_focused;
    auto *box = new QGroupBox(title);
    auto *grid = new QGridLayout(box);
    auto radio = [box](const QString &caption, const QString &name) {
        auto *r = new QRadioButton(caption, box);
        r->setObjectName(name);
        return r;
    };
    const QString p = QLatin1String(prefix);
    choice.useDefault = radio(QStringLiteral("&Default template icon"),
                              p + QStringLiteral("Default"));
    choice.useUser = radio(QStringLiteral("&User defined icon"), p + QStringLiteral("User"));
    choice.useAvailable = radio(QStringLiteral("&available icons"), p + QStringLiteral("Avail"));
    choice.useDefault->setChecked(true);

    auto *preview = new QLabel(box);
    preview->setPixmap(builtinIcon(m_libDir, choice.defaultName).pixmap(16, 16));
    preview->setToolTip(QLatin1String(choice.defaultName));

    auto *loadMenu = new QMenu(box);
    loadMenu->setObjectName(focused ? QStringLiteral("PopupMenu1") : QStringLiteral("PopupMenu2"));
    QAction *load = loadMenu->addAction(QStringLiteral("Load from file..."));
    load->setObjectName(focused ? QStringLiteral("Loadfromfile1") : QStringLiteral("Loadfromfile2"));
    choice.userButton = new QToolButton(box);
    choice.userButton->setObjectName(focused ? QStringLiteral("ToolButton1")
                                             : QStringLiteral("ToolButton3"));
    choice.userButton->setMenu(loadMenu);
    choice.userButton->setPopupMode(QToolButton::InstantPopup);
    choice.userButton->setToolButtonStyle(Qt::ToolButtonIconOnly);
    choice.userButton->setIconSize(QSize(16, 16));
    choice.userButton->setToolTip(QStringLiteral("Load from file..."));
    choice.userButton->setIcon(themeIcon("document-open", QStyle::SP_DialogOpenButton));
    choice.userButton->setAccessibleName(title.trimmed() + QStringLiteral(": load from file"));

    choice.availableMenu = new QMenu(box);
    choice.availableMenu->setObjectName(focused ? QStringLiteral("popFIcons")
                                                : QStringLiteral("popNIcons"));
    choice.availableButton = new QToolButton(box);
    choice.availableButton->setObjectName(focused ? QStringLiteral("FBtn") : QStringLiteral("NBtn"));
    choice.availableButton->setMenu(choice.availableMenu);
    choice.availableButton->setPopupMode(QToolButton::InstantPopup);
    choice.availableButton->setIconSize(QSize(16, 16));
    choice.availableButton->setToolTip(QStringLiteral("Choose one of the icons of the library"));
    choice.availableButton->setIcon(themeIcon("insert-image", QStyle::SP_FileDialogContentsView));
    choice.availableButton->setAccessibleName(title.trimmed() + QStringLiteral(": available icons"));

    grid->addWidget(choice.useDefault, 0, 0);
    grid->addWidget(preview, 0, 1);
    grid->addWidget(choice.useUser, 1, 0);
    grid->addWidget(choice.userButton, 1, 1);
    grid->addWidget(choice.useAvailable, 2, 0);
    grid->addWidget(choice.availableButton, 2, 1);
    grid->setColumnStretch(0, 1);

    for (QRadioButton *r : {choice.useDefault, choice.useUser, choice.useAvailable})
        connect(r, &QRadioButton::toggled, this, [this, &choice] { updateIconButtons(choice); });
    connect(load, &QAction::triggered, this,
            [this, &choice] { guarded([this, &choice] { loadUserIcon(choice); }); });
    connect(choice.availableMenu, &QMenu::triggered, this, [&choice](QAction *a) {
        choice.availableName = a->data().toString();
        choice.availableButton->setIcon(a->icon());
        choice.availableButton->setToolTip(choice.availableName);
    });
    updateIconButtons(choice);
    return box;
}

QWidget *TTemplateForm::makeIconPage()
{
    QVBoxLayout *v = nullptr;
    QWidget *w = wizardPage("TabSheet2", QStringLiteral("Select icon"), v);
    v->addWidget(text(QStringLiteral("In this section you can select an icon representing your "
                                     "template."),
                      w));
    auto *boxes = new QHBoxLayout;
    QWidget *f = makeIconBox(QStringLiteral(" Focused icon "), m_focused, "radF");
    QWidget *n = makeIconBox(QStringLiteral(" Normal icon "), m_normal, "radN");
    f->setParent(w);
    n->setParent(w);
    boxes->addWidget(f);
    boxes->addWidget(n);
    v->addLayout(boxes);
    v->addStretch(1);
    radFDefault = m_focused.useDefault;
    radFUser = m_focused.useUser;
    radFAvail = m_focused.useAvailable;
    radNDefault = m_normal.useDefault;
    radNUser = m_normal.useUser;
    radNAvail = m_normal.useAvailable;
    ToolButton1 = m_focused.userButton;
    ToolButton3 = m_normal.userButton;
    FBtn = m_focused.availableButton;
    NBtn = m_normal.availableButton;
    popFIcons = m_focused.availableMenu;
    popNIcons = m_normal.availableMenu;
    return w;
}

QWidget *TTemplateForm::makePropertiesPage()
{
    QVBoxLayout *v = nullptr;
    QWidget *w = wizardPage("TabSheet3", QStringLiteral("Define properties"), v);
    v->addWidget(text(QStringLiteral("Please enter all data that describes your code template. "
                                     "Properties \"Display name\" and \"Name\" are nessessary "
                                     "fields."),
                      w));
    auto *form = new QFormLayout;
    auto field = [w, form](const char *name, const QString &label, const QString &initial) {
        auto *e = named(new QLineEdit(initial, w), name);
        e->setMaxLength(kMaxValueChars);
        e->setAccessibleName(label);
        form->addRow(label, e);
        return e;
    };
    edDisplayName = field("edDisplayName", QStringLiteral("Display name:"),
                          QStringLiteral("New template"));
    edIName = field("edIName", QStringLiteral("Name:"), QStringLiteral("newtemplate"));
    edCopyright = field("edCopyright", QStringLiteral("Copyright:"),
                        QStringLiteral("(c) Ostravine Quillforge user"));
    edVersion = field("edVersion", QStringLiteral("Version:"), QStringLiteral("1.0"));
    edNotes = field("edNotes", QStringLiteral("Notes:"), QStringLiteral("[none]"));
    v->addLayout(form);
    v->addStretch(1);
    return w;
}

QWidget *TTemplateForm::makeCodePage()
{
    QVBoxLayout *v = nullptr;
    QWidget *w = wizardPage("TabSheet4", QStringLiteral("Code"), v);
    v->addWidget(text(QStringLiteral("This is the code you want to add as template. Please verify "
                                     "it before clicking \"Add\". Then the template will be "
                                     "created and the icons will be validated."),
                      w));
    Memo = named(new QPlainTextEdit(w), "Memo");
    Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo->setTabChangesFocus(false);
    Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setAccessibleName(QStringLiteral("Code"));
    QFont mono(QStringLiteral("Courier New"), 10);
    mono.setStyleHint(QFont::Monospace);
    Memo->setFont(mono);

    auto *tools = named(new QToolBar(w), "ToolBar1");
    tools->setIconSize(QSize(16, 16));
    auto *menu = named(new QMenu(w), "PopupMenu3");
    struct Tool
    {
        const char *button;
        const char *caption;
        const char *icon;
        std::function<void()> act;
    };
    const Tool list[] = {
            {"ToolButton2", "&Open from file", "document-open",
             [this] {
                 openCodeFile();
             }},
            {"ToolButton5", "Cu&t", "edit-cut",
             [this] {
                 Memo->cut();
             }},
            {"ToolButton6", "&Copy", "edit-copy",
             [this] {
                 Memo->copy();
             }},
            {"ToolButton7", "&Paste", "edit-paste",
             [this] {
                 Memo->paste();
             }},
            {"ToolButton8", "&Delete", "edit-delete",
             [this] {
                 Memo->textCursor().removeSelectedText();
             }},
    };
    for (const Tool &t : list) {
        const bool first = &t == &list[0];
        auto *a = new QAction(themeIcon(t.icon), QLatin1String(t.caption), w);
        auto act = t.act;
        connect(a, &QAction::triggered, this, [act] { guarded(act); });
        tools->addAction(a);
        if (auto *b = tools->widgetForAction(a))
            b->setObjectName(QLatin1String(t.button));
        menu->addAction(a);
        if (first) // the file apart from the clipboard
            tools->addSeparator();
    }
    Memo->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Memo, &QWidget::customContextMenuRequested, this,
            [this, menu](const QPoint &at) { menu->popup(Memo->mapToGlobal(at)); });
    v->addWidget(tools);
    v->addWidget(Memo, 1);
    return w;
}

QWidget *TTemplateForm::makeFinishPage()
{
    QVBoxLayout *v = nullptr;
    QWidget *w = wizardPage("TabSheet5", QStringLiteral("Finished: creating template"), v);
    v->addWidget(text(QStringLiteral("The template has been installed. To use it, simply open the "
                                     "group in the template repository above the editor and it "
                                     "should work. You are able to edit this template at any "
                                     "later time."),
                      w));
    v->addStretch(1);
    return w;
}

void TTemplateForm::updateIconButtons(IconChoice &choice)
{
    choice.userButton->setEnabled(choice.useUser->isChecked());
    choice.availableButton->setEnabled(choice.useAvailable->isChecked());
}

void TTemplateForm::loadUserIcon(IconChoice &choice)
{
    const QString file = Prompts::instance().openFile(this, QStringLiteral("Load from file"),
                                                      m_libDir,
                                                      QStringLiteral("Bitmaps 16x16 (*.bmp)"));
    if (file.isEmpty())
        return;
    const auto icon = loadIconPixmap(file);
    if (!icon)
        throw AppError(QStringLiteral("Oops! \"%1\" is not a bitmap that can be used as an icon. "
                                      "Please choose a Windows bitmap (.bmp).")
                               .arg(file));
    choice.userButton->setIcon(*icon);
    choice.userButton->setToolTip(file);
    choice.userFile = QFileInfo(file).absoluteFilePath();
}

void TTemplateForm::fillAvailableIcons()
{
    QStringList files = ListTemplateFiles(m_libDir, QStringLiteral("*.bmp"));
    std::sort(files.begin(), files.end(), [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    for (IconChoice *c : {&m_focused, &m_normal})
        c->availableMenu->clear();
    for (const QString &f : files) {
        const auto icon = loadIconPixmap(m_libDir + f);
        if (!icon)
            continue; // not a bitmap: nothing to choose
        const QString name = FileNameWithoutExt(f).toLower();
        for (IconChoice *c : {&m_focused, &m_normal}) {
            QAction *a = c->availableMenu->addAction(QIcon(*icon),
                                                     QString(name).replace(u'&',
                                                                           QStringLiteral("&&")));
            a->setData(name);
        }
    }
}

void TTemplateForm::FormShow()
{
    btNext->setText(kNext);
    btBack->setEnabled(false);
    showPage(GroupPage);
    const QString typed = Groups->currentText();
    Groups->clear();
    Groups->addItems(m_groupSource());
    Groups->setEditText(typed);
    fillAvailableIcons();
}

void TTemplateForm::showWizard()
{
    FormShow();
    ZoomShow(this);
}

void TTemplateForm::EditTemplate(const QString &group, const QString &path)
{
    TStruct_Template t;
    ReadTemplateInfo(path, t);
    Memo->setPlainText(readTemplateCodeForEditing(path).join(u'\n'));
    Groups->setEditText(group);
    edDisplayName->setText(t.Name);
    edIName->setText(FileNameWithoutExt(t.FileName).toLower());
    edCopyright->setText(t.Copyright);
    edVersion->setText(t.Version);
    edNotes->setText(t.Notes);
    showWizard();
    showPage(IconPage);
    btBack->setEnabled(true);
}

void TTemplateForm::setCode(const QString &code)
{
    Memo->setPlainText(code);
}

int TTemplateForm::page() const
{
    return PC->currentIndex();
}

void TTemplateForm::showPage(int p)
{
    PC->setCurrentIndex(p);
}

void TTemplateForm::btNextClick()
{
    const int p = page();
    if (p == GroupPage && !checkGroup())
        return;
    if (p == PropertiesPage && !checkName())
        return;
    if (p == FinishPage) {
        finish();
        return;
    }
    if (p == GroupPage)
        btBack->setEnabled(true);
    if (p == CodePage)
        btNext->setText(kFinish);
    showPage(p + 1);
}

void TTemplateForm::btBackClick()
{
    const int p = page() - 1;
    if (p < 0)
        return;
    showPage(p);
    if (p == GroupPage)
        btBack->setEnabled(false);
    if (p < FinishPage)
        btNext->setText(kNext);
}

bool TTemplateForm::checkGroup()
{
    const QString problem = templateNameProblem(Groups->currentText(), NameKind::Group);
    if (problem.isEmpty())
        return true;
    showPage(GroupPage);
    btBack->setEnabled(false);
    btNext->setText(kNext);
    Groups->setFocus();
    Prompts::error(this, problem);
    return false;
}

bool TTemplateForm::checkName()
{
    const QString problem = templateNameProblem(edIName->text(), NameKind::Template);
    if (problem.isEmpty())
        return true;
    showPage(PropertiesPage);
    btBack->setEnabled(true);
    btNext->setText(kNext);
    edIName->setFocus();
    Prompts::error(this, problem);
    return false;
}

QString TTemplateForm::iconLine(IconChoice &choice)
{
    if (choice.useUser->isChecked()) {
        if (choice.userFile.isEmpty() || !QFileInfo(choice.userFile).isFile())
            return {}; // nothing loaded: the palette shows the default icons
        const QString name = QFileInfo(choice.userFile).fileName();
        const QString target = m_libDir + name;
        if (QFileInfo(target).absoluteFilePath() != choice.userFile)
            writeFileAtomically(target, readFileBytes(choice.userFile));
        return FileNameWithoutExt(name);
    }
    if (choice.useAvailable->isChecked())
        return choice.availableName;
    return QLatin1String(choice.defaultName);
}

void TTemplateForm::finish()
{
    if (!checkGroup() || !checkName())
        return;
    TemplateFileValues values;
    values.Name = edDisplayName->text().trimmed();
    values.CopyRight = edCopyright->text().trimmed();
    values.Version = edVersion->text().trimmed();
    values.Notes = edNotes->text().trimmed();
    // The control keeps some characters in its own form: its raw text has the typed ones.
    QString code = Memo->document()->toRawText();
    code.replace(QChar::ParagraphSeparator, u'\n');
    code.replace(QChar::LineSeparator, u'\n');
    values.code = code.isEmpty() ? QStringList() : code.split(u'\n');
    const QString group = Groups->currentText();
    QString path;
    // A failure is shown here, on the last page, with everything that was typed still in place.
    const bool written = guarded([&] {
        QDir().mkpath(m_libDir);
        values.IconFocused = iconLine(m_focused);
        values.Icon = iconLine(m_normal);
        path = WriteTemplateFile(m_libDir, group, edIName->text(), values);
    });
    if (!written)
        return;
    emit templateWritten(group, path);
    ZoomHide(this);
}

void TTemplateForm::openCodeFile()
{
    const QString file = Prompts::instance().openFile(
            this, QStringLiteral("Open"), QDir::homePath(),
            QStringLiteral("Perl scripts (*.pl *.pm *.t *.pod *.psgi *.cgi);;"
                           "Text files (*.txt *.bat *.ini *.inf *.asc *.1st *.me *.sys);;"
                           "All files (*)"));
    if (file.isEmpty())
        return;
    Memo->setPlainText(readTextFile(file).text);
}

void TTemplateForm::closeEvent(QCloseEvent *e)
{
    e->ignore();
    ZoomHide(this);
}

void TTemplateForm::reject()
{
    ZoomHide(this);
}
