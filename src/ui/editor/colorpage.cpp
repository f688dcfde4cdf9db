#include "ui/editor/colorpage.h"

#include "core/common/errors.h"
#include "core/editor/colordefs.h"
#include "core/settings/inifile.h"
#include "ui/common/application.h"
#include "ui/common/icons.h"
#include "ui/common/prompts.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QFontComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <functional>

namespace {

const QStringList kSizes = {QStringLiteral("4"),  QStringLiteral("5"),  QStringLiteral("6"),
                            QStringLiteral("7"),  QStringLiteral("8"),  QStringLiteral("9"),
                            QStringLiteral("10"), QStringLiteral("11"), QStringLiteral("12"),
                            QStringLiteral("14"), QStringLiteral("16"), QStringLiteral("18"),
                            QStringLiteral("24"), QStringLiteral("28"), QStringLiteral("36"),
                            QStringLiteral("48"), QStringLiteral("72"), QStringLiteral("96"),
                            QStringLiteral("112")};
const char *const kStyleText[4] = {"B", "I", "U", "S"};
const char *const kStyleNames2[4] = {"btBold2", "btItalic2", "btUnderline2", "btStrikeout2"};
const char *const kStyleNames[4] = {"btBold", "btItalic", "btUnderline", "btStrikeout"};

QString styleMeaning(int i)
{
    const char *const meanings[4] = {"Bold", "Italic", "Underline", "Strikeout"};
    return QLatin1String(meanings[i]);
}

QComboBox *sizeCombo(const char *name)
{
    auto *c = new QComboBox();
    c->setObjectName(QLatin1String(name));
    c->setEditable(true);
    c->addItems(kSizes);
    c->setCurrentText(QStringLiteral("8"));
    return c;
}

QToolButton *toggle(const char *name, const char *text, const QString &meaning)
{
    auto *b = new QToolButton();
    b->setObjectName(QLatin1String(name));
    b->setText(QLatin1String(text));
    b->setToolTip(meaning);
    b->setAccessibleName(meaning);
    b->setCheckable(true);
    return b;
}

// A button that shows only a picture (a colour, an icon): its name says what it is for.
QToolButton *pictureButton(const char *name, const QString &meaning)
{
    auto *b = new QToolButton();
    b->setObjectName(QLatin1String(name));
    b->setToolTip(meaning);
    b->setAccessibleName(meaning);
    return b;
}

// Enter in an editable list takes what was typed there; it must not press the dialog's
// default button and close the options.
class EnterTakesText : public QObject
{
public:
    EnterTakesText(QComboBox *box, std::function<void()> take)
        : QObject(box)
        , m_take(std::move(take))
    {
        box->installEventFilter(this);
    }

    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent *>(e)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        if (m_take)
            m_take();
        return true;
    }

private:
    std::function<void()> m_take;
};

QString problemsMessage(const QString &file, const QStringList &problems)
{
    constexpr int kListed = 12;
    QString list = problems.mid(0, kListed).join(u'\n');
    if (problems.size() > kListed)
        list += QStringLiteral("\n\u2026 and %1 more").arg(problems.size() - kListed);
    return QStringLiteral("Oops! Some colour definitions in \"%1\" cannot be used as they are "
                          "written:\n\n%2\n\nThey are shown and painted with the default values "
                          "(Courier New, 8 points, red, bold) for what is wrong. Storing a "
                          "definition on this page writes it anew.")
            .arg(file, list);
}

// The file keeps colours as 0x00BBGGRR.
int toFileColour(const QColor &c)
{
    return (c.blue() << 16) | (c.green() << 8) | c.red();
}

QColor fromStyle(const ColorStyle &style)
{
    return style.isAutomaticColor() ? QColor(Qt::black) : QColor::fromRgb(QRgb(style.rgb()));
}

// A family that is not installed under its own name (fontconfig paints "Courier New" with
// Liberation Mono) is shown by the name asked for, never as an empty box.
void showFace(QComboBox *combo, const QString &family)
{
    const int i = combo->findText(family, Qt::MatchFixedString);
    if (i >= 0) {
        combo->setCurrentIndex(i);
    } else {
        combo->setCurrentIndex(-1);
        combo->setEditText(family);
    }
}

QString faceOrDefault(const QString &face)
{
    const QString f = face.trimmed();
    return f.isEmpty() ? ColorStyle::missingValueDefault().font : f;
}

} // namespace

TColorPage::TColorPage(TIniFile *colorDefs, QWidget *parent)
    : QWidget(parent)
    , m_file(colorDefs)
{
    setObjectName(QStringLiteral("ColorPage"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(createDefaultGroup());
    row->addWidget(createCodeGroup(), 1);
    RTFPrevTimer = new QTimer(this);
    RTFPrevTimer->setObjectName(QStringLiteral("RTFPrevTimer"));
    RTFPrevTimer->setInterval(250);
    connect(RTFPrevTimer, &QTimer::timeout, this, &TColorPage::updatePreview);
}

QWidget *TColorPage::createDefaultGroup()
{
    auto *box = new QGroupBox(QStringLiteral(" Default color "));
    auto *v = new QVBoxLayout(box);
    btFontCol = pictureButton("btFontCol", QStringLiteral("Sample font colour"));
    btBackCol = pictureButton("btBackCol", QStringLiteral("Sample background colour"));
    setSwatch(btFontCol, Qt::yellow);
    setSwatch(btBackCol, QColor(0, 0, 128));
    auto *swatches = new QHBoxLayout();
    swatches->addWidget(new QLabel(QStringLiteral("Font:")));
    swatches->addWidget(btFontCol);
    swatches->addWidget(new QLabel(QStringLiteral("Back:")));
    swatches->addWidget(btBackCol);
    swatches->addStretch(1);
    v->addLayout(swatches);
    FontCombo = new QFontComboBox();
    FontCombo->setObjectName(QStringLiteral("FontCombo"));
    FontCombo->setMaximumWidth(150);
    FontCombo->setInsertPolicy(QComboBox::NoInsert);
    FontSize = sizeCombo("FontSize");
    v->addWidget(FontCombo);
    auto *styles = new QHBoxLayout();
    styles->addWidget(FontSize);
    for (int i = 0; i < 4; ++i) {
        btStyle[i] = toggle(kStyleNames[i], kStyleText[i], styleMeaning(i));
        styles->addWidget(btStyle[i]);
    }
    btStyle[0]->setChecked(true);
    v->addLayout(styles);
    RTFPrev = new QLabel(QStringLiteral("Sample text"));
    RTFPrev->setObjectName(QStringLiteral("RTFPrev"));
    RTFPrev->setAlignment(Qt::AlignCenter);
    RTFPrev->setAutoFillBackground(true);
    RTFPrev->setMinimumHeight(40);
    v->addWidget(RTFPrev);
    v->addStretch(1);

    // Sample only: these settings never reach a file or an editor.
    auto restyle = [this] {
        QFont f(faceOrDefault(FontCombo->currentText()));
        f.setPointSize(qMax(1, FontSize->currentText().toInt()));
        f.setBold(btStyle[0]->isChecked());
        f.setItalic(btStyle[1]->isChecked());
        f.setUnderline(btStyle[2]->isChecked());
        f.setStrikeOut(btStyle[3]->isChecked());
        RTFPrev->setFont(f);
        QPalette p = RTFPrev->palette();
        p.setColor(QPalette::Window, swatchColour(btBackCol));
        p.setColor(QPalette::WindowText, swatchColour(btFontCol));
        RTFPrev->setPalette(p);
    };
    for (QToolButton *swatch : {btFontCol, btBackCol}) {
        connect(swatch, &QToolButton::clicked, this, [this, swatch, restyle] {
            QColor c = swatchColour(swatch);
            if (Prompts::instance().color(this, c)) {
                setSwatch(swatch, c);
                restyle();
            }
        });
    }
    connect(FontCombo, &QFontComboBox::currentFontChanged, this, restyle);
    connect(FontSize, &QComboBox::currentTextChanged, this, restyle);
    new EnterTakesText(FontCombo, restyle);
    new EnterTakesText(FontSize, nullptr);
    for (QToolButton *b : btStyle)
        connect(b, &QToolButton::toggled, this, restyle);
    restyle();
    return box;
}

QWidget *TColorPage::createCodeGroup()
{
    auto *box = new QGroupBox(QStringLiteral(" Code "));
    auto *g = new QGridLayout(box);
    SecSel = new QComboBox();
    SecSel->setObjectName(QStringLiteral("SecSel"));
    auto *newGrp = pictureButton("btNewDefGrp", QStringLiteral("New group"));
    newGrp->setIcon(themeIcon("folder-new"));
    auto *delGrp = pictureButton("btDelDefGrp", QStringLiteral("Delete group"));
    delGrp->setIcon(themeIcon("edit-delete"));
    auto *top = new QHBoxLayout();
    top->addWidget(SecSel, 1);
    top->addWidget(newGrp);
    top->addWidget(delGrp);
    g->addLayout(top, 0, 0, 1, 2);
    ItemList = new QListWidget();
    ItemList->setObjectName(QStringLiteral("ItemList"));
    g->addWidget(ItemList, 1, 0, 3, 1);
    auto *newDef = new QPushButton(QStringLiteral("&New definition..."));
    newDef->setObjectName(QStringLiteral("btNewDef"));
    auto *delDef = new QPushButton(QStringLiteral("&Remove"));
    delDef->setObjectName(QStringLiteral("btDelDef"));
    g->addWidget(newDef, 4, 0);
    g->addWidget(delDef, 5, 0);

    auto *right = new QVBoxLayout();
    right->addWidget(new QLabel(QStringLiteral("Scope options:")));
    ScopeCombo = new QComboBox();
    ScopeCombo->setObjectName(QStringLiteral("ScopeCombo"));
    ScopeCombo->addItems({QStringLiteral("\"as is\": will be marked contextless"),
                          QStringLiteral("whole word: surrounded by blancs"),
                          QStringLiteral("until end of line from pattern on"),
                          QStringLiteral("embedded by this character (e.g. string values)")});
    ScopeCombo->setMaximumWidth(190);
    right->addWidget(ScopeCombo);
    right->addWidget(new QLabel(QStringLiteral("Font options:")));
    FontCombo2 = new QFontComboBox();
    FontCombo2->setObjectName(QStringLiteral("FontCombo2"));
    FontCombo2->setMaximumWidth(190);
    FontCombo2->setInsertPolicy(QComboBox::NoInsert);
    right->addWidget(FontCombo2);
    auto *styles = new QHBoxLayout();
    SizeCombo2 = sizeCombo("SizeCombo2");
    styles->addWidget(SizeCombo2);
    btFontCol2 = pictureButton("btFontCol2", QStringLiteral("Font colour"));
    setSwatch(btFontCol2, Qt::black);
    styles->addWidget(btFontCol2);
    for (int i = 0; i < 4; ++i) {
        btStyle2[i] = toggle(kStyleNames2[i], kStyleText[i], styleMeaning(i));
        styles->addWidget(btStyle2[i]);
    }
    right->addLayout(styles);
    RTFPrev2 = new QLabel(QStringLiteral("Sample"));
    RTFPrev2->setObjectName(QStringLiteral("RTFPrev2"));
    RTFPrev2->setAutoFillBackground(true);
    RTFPrev2->setAlignment(Qt::AlignCenter);
    RTFPrev2->setMinimumHeight(28);
    right->addWidget(RTFPrev2);
    right->addStretch(1);
    g->addLayout(right, 1, 1, 5, 1);

    auto safe = [this](void (TColorPage::*fn)()) {
        return [this, fn] {
            guarded([this, fn] { (this->*fn)(); });
        };
    };
    connect(SecSel, qOverload<int>(&QComboBox::activated), this, safe(&TColorPage::SecSelChange));
    connect(ItemList, &QListWidget::itemClicked, this, safe(&TColorPage::ItemListClick));
    connect(ScopeCombo, qOverload<int>(&QComboBox::activated), this,
            safe(&TColorPage::ScopeComboChange));
    // The face is taken when it is picked from the list or typed and confirmed, not with
    // every letter typed.
    connect(FontCombo2, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        guarded([this, index] { takeFace(FontCombo2->itemText(index)); });
    });
    connect(FontCombo2->lineEdit(), &QLineEdit::editingFinished, this,
            [this] { guarded([this] { takeFace(FontCombo2->currentText()); }); });
    new EnterTakesText(FontCombo2,
                       [this] { guarded([this] { takeFace(FontCombo2->currentText()); }); });
    connect(SizeCombo2, &QComboBox::currentTextChanged, this, [this] {
        if (!loading())
            guarded([this] { storeDefinition(); });
    });
    new EnterTakesText(SizeCombo2, nullptr);
    for (QToolButton *b : btStyle2)
        connect(b, &QToolButton::clicked, this, safe(&TColorPage::storeDefinition));
    connect(btFontCol2, &QToolButton::clicked, this, [this] {
        QColor c = swatchColour(btFontCol2);
        if (Prompts::instance().color(this, c)) {
            setSwatch(btFontCol2, c);
            btFontCol2->setProperty("fileColour", QVariant());
            guarded([this] { storeDefinition(); });
        }
    });
    connect(newDef, &QPushButton::clicked, this, safe(&TColorPage::btNewDefClick));
    connect(delDef, &QPushButton::clicked, this, safe(&TColorPage::btDelDefClick));
    connect(newGrp, &QToolButton::clicked, this, safe(&TColorPage::btNewDefGrpClick));
    connect(delGrp, &QToolButton::clicked, this, safe(&TColorPage::btDelDefGrpClick));
    return box;
}

void TColorPage::setSwatch(QToolButton *swatch, const QColor &colour)
{
    swatch->setProperty("colour", colour);
    QPixmap pm(16, 16);
    pm.fill(colour);
    swatch->setIcon(QIcon(pm));
}

QColor TColorPage::swatchColour(QToolButton *swatch) const
{
    return swatch->property("colour").value<QColor>();
}

void TColorPage::FormShow()
{
    ++m_loading;
    QStringList sections;
    m_file->ReadSections(sections);
    SecSel->clear();
    SecSel->addItems(sections);
    SecSel->setCurrentIndex(sections.isEmpty() ? -1 : 0);
    showFace(FontCombo, QStringLiteral("Courier New"));
    m_face2 = QStringLiteral("Courier New");
    showFace(FontCombo2, m_face2);
    --m_loading;
    SecSelChange();
    RTFPrevTimer->start();
    reportProblems();
}

void TColorPage::reportProblems()
{
    const QStringList problems = ColorDefinitions::load(m_file->fileName()).problems();
    // Told once: the same mistakes are not told again each time the page is shown.
    if (problems == m_reportedProblems)
        return;
    m_reportedProblems = problems;
    if (problems.isEmpty())
        return;
    // After the dialog has appeared, so that the message stands in front of it.
    QTimer::singleShot(0, this, [this, problems] {
        Prompts::warn(this, problemsMessage(m_file->fileName(), problems));
    });
}

void TColorPage::takeFace(const QString &typed)
{
    if (loading())
        return;
    QString face = typed.trimmed();
    const int listed = FontCombo2->findText(face, Qt::MatchFixedString);
    if (listed >= 0)
        face = FontCombo2->itemText(listed);
    ++m_loading;
    showFace(FontCombo2, face.isEmpty() ? m_face2 : face);
    --m_loading;
    if (face.isEmpty() || face == m_face2)
        return;
    m_face2 = face;
    storeDefinition();
}

void TColorPage::stopPreview()
{
    RTFPrevTimer->stop();
}

void TColorPage::SecSelChange()
{
    ItemList->clear();
    m_working.clear();
    if (SecSel->currentIndex() < 0)
        return;
    m_file->ReadSectionValues(SecSel->currentText(), m_working);
    for (const QString &line : m_working)
        ItemList->addItem(line.section(QLatin1Char('='), 0, 0).mid(1));
}

void TColorPage::ItemListClick()
{
    const int row = ItemList->currentRow();
    if (row < 0 || row >= m_working.size())
        return;
    const QString key = m_working[row].section(QLatin1Char('='), 0, 0);
    const QString value = m_file->ReadString(SecSel->currentText(), key,
                                             ColorStyle::missingValueDefault().toValue());
    // A hand-edited field that is not a number shows the default rather than failing.
    const ColorStyle style = ColorStyle::fromValue(value);
    ++m_loading;
    ScopeCombo->setCurrentIndex(key.left(1).toInt());
    m_face2 = faceOrDefault(style.font);
    showFace(FontCombo2, m_face2);
    SizeCombo2->setCurrentText(QString::number(style.size));
    btStyle2[0]->setChecked(style.bold);
    btStyle2[1]->setChecked(style.italic);
    btStyle2[2]->setChecked(style.underline != 0);
    btStyle2[3]->setChecked(style.strikeout);
    setSwatch(btFontCol2, fromStyle(style));
    btFontCol2->setProperty("fileColour", style.color);
    --m_loading;
}

void TColorPage::storeDefinition()
{
    const int row = ItemList->currentRow();
    if (SecSel->currentIndex() < 0 || row < 0 || row >= m_working.size())
        return;
    const QString key = m_working[row].section(QLatin1Char('='), 0, 0);
    // Until another colour is chosen the stored one stays, so the automatic colour survives.
    const QVariant kept = btFontCol2->property("fileColour");
    const int colour = kept.isValid() ? kept.toInt() : toFileColour(swatchColour(btFontCol2));
    const QStringList flags = {btStyle2[0]->isChecked() ? QStringLiteral("1") : QStringLiteral("0"),
                               btStyle2[1]->isChecked() ? QStringLiteral("1") : QStringLiteral("0"),
                               btStyle2[2]->isChecked() ? QStringLiteral("1") : QStringLiteral("0"),
                               btStyle2[3]->isChecked() ? QStringLiteral("1") : QStringLiteral("0")};
    const QString value = faceOrDefault(m_face2) + QLatin1Char('|') + SizeCombo2->currentText()
                          + QLatin1Char('|') + QString::number(colour) + QLatin1Char('|')
                          + flags.join(QLatin1Char('|'));
    m_file->WriteString(SecSel->currentText(), key, value);
    m_working[row] = key + QLatin1Char('=') + value;
}

void TColorPage::ScopeComboChange()
{
    const int row = ItemList->currentRow();
    if (row < 0 || row >= m_working.size())
        return;
    const QString digit = QString::number(ScopeCombo->currentIndex());
    const QString key = m_working[row].section(QLatin1Char('='), 0, 0);
    if (key.left(1) != digit) {
        m_file->DeleteKey(SecSel->currentText(), key);
        m_working[row].replace(0, 1, digit);
    }
    storeDefinition();
}

void TColorPage::btNewDefClick()
{
    if (SecSel->currentIndex() < 0)
        return;
    QString name;
    if (!Prompts::instance().input(this, QStringLiteral("New definition"),
                                   QStringLiteral("Please tell me the name of the new definition:"),
                                   name))
        return;
    const QString problem = TIniFile::keyProblem(QStringLiteral("0") + name);
    if (!problem.isEmpty() || name.isEmpty()) {
        Prompts::error(this, problem.isEmpty() ? TIniFile::keyProblem(name) : problem);
        return;
    }
    ItemList->addItem(name);
    m_working.append(QStringLiteral("0") + name + QStringLiteral("=Courier New|8|0|1|0|0|0"));
}

void TColorPage::btDelDefClick()
{
    const int row = ItemList->currentRow();
    if (row < 0 || row >= m_working.size())
        return;
    const QString key = m_working[row].section(QLatin1Char('='), 0, 0);
    if (Prompts::confirm(this,
                         QStringLiteral("Really remove the definition for \"%1\" ?").arg(key.mid(1)))
        != QMessageBox::Yes)
        return;
    m_file->DeleteKey(SecSel->currentText(), key);
    m_working.removeAt(row);
    delete ItemList->takeItem(row);
}

void TColorPage::btNewDefGrpClick()
{
    QString name;
    if (!Prompts::instance().input(this, QStringLiteral("New group"),
                                   QStringLiteral("Please tell me the name of the new group:"),
                                   name))
        return;
    try {
        TIniFile::checkSection(name);
        TIniFile::checkKey(name); // "=" or a leading ";" would not read back either
    } catch (const FormatError &e) {
        Prompts::error(this, e.message());
        return;
    }
    SecSel->addItem(name);
    SecSel->setCurrentIndex(SecSel->count() - 1);
    SecSelChange();
}

void TColorPage::btDelDefGrpClick()
{
    if (SecSel->currentIndex() < 0)
        return;
    const QString group = SecSel->currentText();
    if (Prompts::confirm(this,
                         QStringLiteral("Really remove the whole definition group \"%1\" now?")
                                 .arg(group))
        != QMessageBox::Yes)
        return;
    m_file->EraseSection(group);
    SecSel->removeItem(SecSel->currentIndex());
    ItemList->clear();
    m_working.clear();
}

void TColorPage::updatePreview()
{
    if (m_face2.isEmpty())
        return;
    QFont f(m_face2);
    f.setBold(btStyle2[0]->isChecked());
    f.setItalic(btStyle2[1]->isChecked());
    f.setUnderline(btStyle2[2]->isChecked());
    f.setStrikeOut(btStyle2[3]->isChecked());
    RTFPrev2->setFont(f);
    QPalette p = RTFPrev2->palette();
    p.setColor(QPalette::Window, RTFPrev->palette().color(QPalette::Window));
    p.setColor(QPalette::WindowText, swatchColour(btFontCol2));
    RTFPrev2->setPalette(p);
}
