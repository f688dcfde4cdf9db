#include "ui/run/openurl.h"

#include "core/run/browserrules.h"
#include "core/settings/inifile.h"
#include "platform/platform.h"
#include "ui/common/application.h"
#include "ui/common/icons.h"
#include "ui/common/prompts.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

TOpenURL::TOpenURL(TIniFile &settings, QWidget *parent)
    : QDialog(parent)
    , m_settings(settings)
{
    setObjectName(QStringLiteral("OpenURL"));
    setWindowTitle(QStringLiteral("URL"));
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);

    auto *v = new QVBoxLayout(this);
    auto *title = new QLabel(QStringLiteral("Specify URL"), this);
    title->setObjectName(QStringLiteral("Label1"));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    v->addWidget(title);
    auto *intro = new QLabel(QStringLiteral(
                                     "Please enter an URL for the HTML form you want to load:"),
                             this);
    intro->setObjectName(QStringLiteral("Label2"));
    v->addWidget(intro);

    auto *row = new QHBoxLayout();
    auto *label = new QLabel(QStringLiteral("URL:"), this);
    label->setObjectName(QStringLiteral("Label3"));
    row->addWidget(label);
    URLEdit = new QComboBox(this);
    URLEdit->setObjectName(QStringLiteral("URLEdit"));
    URLEdit->setEditable(true);
    URLEdit->setInsertPolicy(QComboBox::NoInsert);
    URLEdit->setCompleter(nullptr);
    URLEdit->setMinimumContentsLength(40);
    URLEdit->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    URLEdit->setEditText(Platform::localHttpAddress() + u'/');
    label->setBuddy(URLEdit);
    row->addWidget(URLEdit, 1);
    auto *browse = new QToolButton(this);
    browse->setObjectName(QStringLiteral("SpeedButton1"));
    browse->setIcon(themeIcon("document-open"));
    browse->setToolTip(QStringLiteral("Choose a local file"));
    row->addWidget(browse);
    v->addLayout(row);

    auto *buttons = new QHBoxLayout();
    buttons->addStretch(1);
    auto *ok = new QPushButton(QStringLiteral("&Okay"), this);
    m_okay = ok;
    ok->setObjectName(QStringLiteral("btOkay"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("btCancel"));
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    v->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, [this] { guarded([this] { accept(); }); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(URLEdit->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { guarded([this] { accept(); }); });
    connect(browse, &QToolButton::clicked, this, &TOpenURL::browseForFile);
    // Nothing to accept without an address.
    connect(URLEdit, &QComboBox::editTextChanged, ok,
            [ok](const QString &t) { ok->setEnabled(!t.trimmed().isEmpty()); });
}

void TOpenURL::showEvent(QShowEvent *e)
{
    FormShow();
    // Centred on the desktop, as a dialog of its own.
    if (QWidget *p = parentWidget())
        move(p->screen()->availableGeometry().center() - rect().center());
    QDialog::showEvent(e);
}

void TOpenURL::FormShow()
{
    // Refilling a combo box clears its text; the text typed last time stays.
    const QString text = URLEdit->currentText();
    URLEdit->clear();
    URLEdit->addItems(BrowserRules::readRecentUrls(m_settings));
    URLEdit->setEditText(text);
    m_okay->setFocus();
}

void TOpenURL::accept()
{
    const QString text = URLEdit->currentText();
    if (text.trimmed().isEmpty())
        return;
    QStringList list;
    for (int i = 0; i < URLEdit->count(); ++i)
        list << URLEdit->itemText(i);
    if (BrowserRules::addAddress(list, text))
        URLEdit->addItem(text);
    URLEdit->setEditText(text);
    m_chosen = text;
    BrowserRules::writeRecentUrls(m_settings, list);
    QDialog::accept();
}

void TOpenURL::browseForFile()
{
    const QString start = QFileInfo(URLEdit->currentText()).absolutePath();
    const QString file = Prompts::instance().openFile(
            this, QStringLiteral("Open"), start,
            QStringLiteral("Hypertext document (*.html *.htm *.xml);;All files (*)"));
    if (!file.isEmpty())
        URLEdit->setEditText(file);
}
