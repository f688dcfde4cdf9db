#include "ui/editor/colorpage.h"

#include "core/common/errors.h"
#include "core/editor/colordefs.h"
#include "core/settings/inifile.h"
#include "ui/common/application.h"
#include "ui/common/prompts.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QFontComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

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

QComboBox *sizeCombo(const char *name)
{
    auto *c = new QComboBox();
    c->setObjectName(QLatin1String(name));
    c->setEditable(true);
    c->addItems(kSizes);
    c->setCurrentText(QStringLiteral("8"));
    return c;
}

QToolButton *toggle(const char *name, const char *text)
{
    auto *b = new QToolButton();
    b->setObjectName(QLatin1String(name));
    b->setText(QLatin1String(text));
    b->setCheckable(true);
    return b;
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

void selectFont(QFontComboBox *combo, const QString &family)
{
    const int i = combo->findText(family, Qt::MatchFixedString);
    combo->setCurrentIndex(i); // -1 leaves the list without a selection
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
    btFontCol = new QToolButton();
    btFontCol->setObjectName(QStringLiteral("btFontCol"));
    btBackCol = new QToolButton();
    btBackCol->setObjectName(QStringLiteral("btBackCol"));
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
    FontSize = sizeCombo("FontSize");
    v->addWidget(FontCombo);
    auto *styles = new QHBoxLayout();
    styles->addWidget(FontSize);
    for (int i = 0; i < 4; ++i) {
        btStyle[i] = toggle(kStyleNames[i], kStyleText[i]);
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
        QFont f(FontCombo->currentFont().family());
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
    auto *newGrp = new QToolButton();
    newGrp->setObjectName(QStringLiteral("btNewDefGrp"));
    newGrp->setIcon(QIcon::fromTheme(QStringLiteral("folder-new")));
    newGrp->setToolTip(QStringLiteral("New group"));
    auto *delGrp = new QToolButton();
    delGrp->setObjectName(QStringLiteral("btDelDefGrp"));
    delGrp->setIcon(QIcon::fromTheme(QStringLiteral("edit-delete")));
    delGrp->setToolTip(QStringLiteral("Delete group"));
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
    right->addWidget(FontCombo2);
    auto *styles = new QHBoxLayout();
    SizeCombo2 = sizeCombo("SizeCombo2");
    styles->addWidget(SizeCombo2);
    btFontCol2 = new QToolButton();
    btFontCol2->setObjectName(QStringLiteral("btFontCol2"));
    setSwatch(btFontCol2, Qt::black);
    styles->addWidget(btFontCol2);
    for (int i = 0; i < 4; ++i) {
        btStyle2[i] = toggle(kStyleNames2[i], kStyleText[i]);
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
    connect(FontCombo2, &QFontComboBox::currentFontChanged, this, [this] {
        if (!loading())
            guarded([this] { storeDefinition(); });
    });
    connect(SizeCombo2, &QComboBox::currentTextChanged, this, [this] {
        if (!loading())
            guarded([this] { storeDefinition(); });
    });
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
    selectFont(FontCombo, QStringLiteral("Courier New"));
    selectFont(FontCombo2, QStringLiteral("Courier New"));
    --m_loading;
    SecSelChange();
    RTFPrevTimer->start();
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
    selectFont(FontCombo2, style.font);
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
    const QString value = FontCombo2->currentFont().family() + QLatin1Char('|')
                          + SizeCombo2->currentText() + QLatin1Char('|') + QString::number(colour)
                          + QLatin1Char('|') + flags.join(QLatin1Char('|'));
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
    if (FontCombo2->currentIndex() < 0)
        return;
    QFont f(FontCombo2->currentFont().family());
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
