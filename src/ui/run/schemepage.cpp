#include "ui/run/schemepage.h"

#include "core/settings/inifile.h"
#include "ui/common/application.h"
#include "ui/common/prompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

template<typename T>
T *named(T *w, const char *name)
{
    w->setObjectName(QLatin1String(name));
    return w;
}

// A control with a caption, named as the rest of the program refers to it.
template<typename T>
T *captioned(QWidget *parent, const char *name, const char *text)
{
    return named(new T(QString::fromUtf8(text), parent), name);
}

QFont bolder(QFont f)
{
    f.setBold(true);
    return f;
}

} // namespace

TSchemePage::TSchemePage(TIniFile *settings, TIniFile *runSettings, QWidget *parent)
    : QWidget(parent)
    , m_settings(settings)
    , m_runSettings(runSettings)
{
    setObjectName(QStringLiteral("tabCompiler"));
    setWindowTitle(QStringLiteral("Run / syntax check / debug"));
    auto *v = new QVBoxLayout(this);

    auto *title = captioned<QLabel>(this, "Label27", "Run / syntax check / debug settings");
    title->setFont(bolder(title->font()));
    v->addWidget(title);
    auto *intro = captioned<QLabel>(
            this, "Label28",
            "These settings will be used when running a script. You should use the \"Temporary\" "
            "setting to play around with and use / add other custom ones for reusability "
            "purposes.");
    intro->setWordWrap(true);
    v->addWidget(intro);

    auto *selectRow = new QHBoxLayout;
    auto *actual = captioned<QLabel>(this, "Label29", "Actual setting:");
    edRunOptions = named(new QComboBox(this), "edRunOptions");
    edRunOptions->setEditable(false);
    edRunOptions->setMinimumContentsLength(18);
    actual->setBuddy(edRunOptions);
    SpeedButton4 = captioned<QPushButton>(this, "SpeedButton4", "&Add these settings as...");
    SpeedButton9 = captioned<QPushButton>(this, "SpeedButton9", "&Delete this scheme");
    selectRow->addWidget(actual);
    selectRow->addWidget(edRunOptions, 1);
    selectRow->addWidget(SpeedButton4);
    selectRow->addWidget(SpeedButton9);
    v->addLayout(selectRow);

    chkCheckParams = captioned<QRadioButton>(this, "chkCheckParams", "Use these settings");
    chkCheckParams->setFont(bolder(chkCheckParams->font()));
    chkCheckParams->setChecked(true);
    v->addWidget(chkCheckParams);
    grpCheckParams = named(new QGroupBox(this), "grpCheckParams");
    auto *g = new QGridLayout(grpCheckParams);
    const std::pair<QCheckBox **, std::pair<const char *, const char *>> boxes[] = {
            {&chkWL, {"chkWL", "-w (warnings on single used vars)"}},
            {&chkTU, {"chkTU", "-T (taint mode on / off)"}},
            {&chkUU, {"chkUU", "-U (allow \"unsafe\" operations)"}},
            {&chkVL, {"chkVL", "-v (print version and patchlevel)"}},
            {&chkSU, {"chkSU", "-S (use PATH environment variable)"}},
            {&chkHL, {"chkHL", "-h (print options summary)"}},
    };
    int i = 0;
    for (const auto &[box, text] : boxes) {
        *box = captioned<QCheckBox>(grpCheckParams, text.first, text.second);
        g->addWidget(*box, i % 3, i / 3);
        ++i;
    }
    chkWL->setChecked(true);
    chkTU->setChecked(true);
    v->addWidget(grpCheckParams);

    chkCustomParams = captioned<QRadioButton>(this, "chkCustomParams", "Use custom parameters");
    chkCustomParams->setFont(bolder(chkCustomParams->font()));
    v->addWidget(chkCustomParams);
    grpCustomParams = named(new QGroupBox(this), "grpCustomParams");
    auto *ch = new QHBoxLayout(grpCustomParams);
    auto *customLabel = captioned<QLabel>(grpCustomParams, "Label30", "Custom Perl params:");
    edCustomParams = captioned<QLineEdit>(grpCustomParams, "edCustomParams", "-wT");
    customLabel->setBuddy(edCustomParams);
    ch->addWidget(customLabel);
    ch->addWidget(edCustomParams, 1);
    v->addWidget(grpCustomParams);

    auto *fileOptions = captioned<QPushButton>(this, "Button7", "File options...");
    fileOptions->setStyleSheet(QStringLiteral("color: red;"));
    v->addWidget(fileOptions, 0, Qt::AlignLeft);
    v->addStretch(1);
    applyEnabling();

    connect(edRunOptions, qOverload<int>(&QComboBox::activated), this,
            [this] { guarded([this] { edRunOptionsChange(); }); });
    connect(SpeedButton4, &QPushButton::clicked, this, [this] { guarded([this] { addScheme(); }); });
    connect(SpeedButton9, &QPushButton::clicked, this,
            [this] { guarded([this] { deleteScheme(); }); });
    connect(chkCheckParams, &QRadioButton::toggled, this, [this] { applyEnabling(); });
    connect(fileOptions, &QPushButton::clicked, this, &TSchemePage::fileOptionsRequested);
}

void TSchemePage::LoadSchemeList()
{
    showSelection(RunSchemes::load(*m_runSettings, *m_settings));
}

void TSchemePage::showSelection(const SchemeSelection &selection)
{
    {
        const QSignalBlocker block(edRunOptions);
        edRunOptions->clear();
        edRunOptions->addItems(selection.names);
        edRunOptions->setCurrentIndex(selection.index);
    }
    edRunOptionsChange();
}

QString TSchemePage::selectedScheme() const
{
    return edRunOptions->currentIndex() >= 0 ? edRunOptions->currentText() : QString();
}

void TSchemePage::edRunOptionsChange()
{
    const QString name = selectedScheme();
    // The selection counts at once, whether or not the options dialog is accepted.
    RunSchemes::setCurrent(*m_settings, name);
    const RunScheme s = RunSchemes::read(*m_runSettings, name);
    chkWL->setChecked(s.w);
    chkTU->setChecked(s.T);
    chkUU->setChecked(s.U);
    chkVL->setChecked(s.v);
    chkSU->setChecked(s.S);
    chkHL->setChecked(s.h);
    edCustomParams->setText(s.custom);
    (s.useCustom ? chkCustomParams : chkCheckParams)->setChecked(true);
    applyEnabling();
}

void TSchemePage::applyEnabling()
{
    const bool custom = chkCustomParams->isChecked();
    for (QCheckBox *b : {chkWL, chkTU, chkUU, chkVL, chkSU, chkHL})
        b->setEnabled(!custom);
    grpCheckParams->setEnabled(!custom);
    grpCustomParams->setEnabled(custom);
    edCustomParams->setEnabled(custom);
    QPalette p = edCustomParams->palette();
    const QPalette app = palette();
    p.setColor(QPalette::Base, custom ? app.color(QPalette::Active, QPalette::Base)
                                      : app.color(QPalette::Active, QPalette::Button));
    // A disabled field takes its colours from the disabled group.
    p.setColor(QPalette::Disabled, QPalette::Base, app.color(QPalette::Active, QPalette::Button));
    edCustomParams->setPalette(p);
}

RunScheme TSchemePage::pageValues() const
{
    RunScheme s;
    s.w = chkWL->isChecked();
    s.T = chkTU->isChecked();
    s.U = chkUU->isChecked();
    s.v = chkVL->isChecked();
    s.S = chkSU->isChecked();
    s.h = chkHL->isChecked();
    s.custom = edCustomParams->text();
    s.useCustom = chkCustomParams->isChecked();
    return s;
}

bool TSchemePage::customMode() const
{
    return chkCustomParams->isChecked();
}

void TSchemePage::SaveScheme(const QString &name)
{
    showSelection(RunSchemes::save(*m_runSettings, *m_settings, name, pageValues()));
}

void TSchemePage::addScheme()
{
    QString name;
    if (!Prompts::instance().input(this, QStringLiteral("Enter name"),
                                   QStringLiteral("Please enter a name for the new scheme."), name))
        return;
    SaveScheme(name);
}

void TSchemePage::deleteScheme()
{
    if (edRunOptions->currentIndex() < 0)
        return;
    const QString name = edRunOptions->currentText();
    if (!RunSchemes::canDelete(name)) {
        Prompts::error(this, RunSchemes::cannotDeleteMessage());
        return;
    }
    if (Prompts::confirm(this, RunSchemes::deleteQuestion(name)) != QMessageBox::Yes)
        return;
    showSelection(RunSchemes::remove(*m_runSettings, *m_settings, name));
}
