#include "ui/editor/findinfilespage.h"

#include "ui/common/prompts.h"
#include "ui/editor/filesearchjob.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDir>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

template<typename T>
T *named(T *w, const char *name)
{
    w->setObjectName(QLatin1String(name));
    return w;
}

QString progressText(const QString &state, const FileSearchProgress &p)
{
    return QStringLiteral("%1 %2 files searched, %3 matches")
            .arg(state, QLocale().toString(p.files), QLocale().toString(p.hits));
}

} // namespace

FindInFilesPage::FindInFilesPage(QWidget *parent)
    : QWidget(parent)
    , m_job(new FileSearchJob(this))
{
    setObjectName(QStringLiteral("FindInFilesPage"));
    auto *form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);

    textCombo = named(new QComboBox(this), "FilesTextCombo");
    textCombo->setEditable(true);
    textCombo->completer()->setCaseSensitivity(Qt::CaseSensitive);
    textCombo->setInsertPolicy(QComboBox::NoInsert); // the history is kept by find()
    form->addRow(QStringLiteral("&Text to find:"), textCombo);

    auto *folderRow = new QHBoxLayout;
    edFolder = named(new QLineEdit(this), "edFolder");
    btBrowseFolder = named(new QToolButton(this), "btBrowseFolder");
    btBrowseFolder->setText(QStringLiteral("\u2026"));
    btBrowseFolder->setToolTip(QStringLiteral("Choose the folder"));
    btBrowseFolder->setAccessibleName(btBrowseFolder->toolTip());
    folderRow->addWidget(edFolder, 1);
    folderRow->addWidget(btBrowseFolder);
    auto *folderLabel = new QLabel(QStringLiteral("In f&older:"), this);
    folderLabel->setBuddy(edFolder);
    form->addRow(folderLabel, folderRow);

    edMasks = named(new QLineEdit(QStringLiteral("*.pl;*.pm;*.t;*.cgi"), this), "edMasks");
    edMasks->setToolTip(QStringLiteral("File name patterns, separated by \";\""));
    form->addRow(QStringLiteral("File &masks:"), edMasks);

    auto *options = new QGridLayout;
    chkCase = named(new QCheckBox(QStringLiteral("Case sensiti&ve"), this), "chkFilesCase");
    chkWords = named(new QCheckBox(QStringLiteral("W&hole words only"), this), "chkFilesWord");
    chkRegExp = named(new QCheckBox(QStringLiteral("Regular e&xpression"), this), "chkRegExp");
    chkSubfolders = named(new QCheckBox(QStringLiteral("Include &subfolders"), this),
                          "chkSubfolders");
    chkSubfolders->setChecked(true);
    options->addWidget(chkCase, 0, 0);
    options->addWidget(chkWords, 1, 0);
    options->addWidget(chkRegExp, 0, 1);
    options->addWidget(chkSubfolders, 1, 1);

    btFind = named(new QPushButton(QStringLiteral("Fi&nd"), this), "btFindInFiles");
    btStop = named(new QPushButton(QStringLiteral("S&top"), this), "btStopFind");
    btStop->setEnabled(false);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(btFind);
    buttons->addWidget(btStop);
    auto *lower = new QHBoxLayout;
    lower->addLayout(options, 1);
    lower->addLayout(buttons);

    lbProgress = named(new QLabel(this), "lbFindProgress");
    // The counts change many times a second; the label must not resize the dialog.
    lbProgress->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lbProgress->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->addLayout(form);
    v->addLayout(lower);
    v->addWidget(lbProgress);
    v->addStretch(1);

    connect(btFind, &QPushButton::clicked, this, &FindInFilesPage::find);
    connect(btStop, &QPushButton::clicked, this, &FindInFilesPage::stop);
    connect(btBrowseFolder, &QToolButton::clicked, this, &FindInFilesPage::browse);
    connect(m_job, &FileSearchJob::found, this,
            [this](const QList<FileSearchHit> &, const FileSearchProgress &p) { showProgress(p); });
    connect(m_job, &FileSearchJob::finished, this, &FindInFilesPage::showEnd);
}

void FindInFilesPage::offerFolder(const QString &folder)
{
    const bool untouched = edFolder->text().isEmpty() || edFolder->text() == m_offered;
    m_offered = QDir::toNativeSeparators(folder);
    if (untouched)
        edFolder->setText(m_offered);
}

void FindInFilesPage::focusText()
{
    textCombo->setFocus();
    textCombo->lineEdit()->selectAll();
}

void FindInFilesPage::find()
{
    const QString text = textCombo->currentText();
    if (text.isEmpty())
        return;
    if (textCombo->findText(text, Qt::MatchFixedString) < 0) // any letter case
        textCombo->insertItem(0, text);
    FileSearchOptions o;
    o.folder = QDir::fromNativeSeparators(edFolder->text().trimmed());
    o.masks = edMasks->text();
    o.text = text;
    o.regularExpression = chkRegExp->isChecked();
    o.caseSensitive = chkCase->isChecked();
    o.wholeWords = chkWords->isChecked();
    o.subfolders = chkSubfolders->isChecked();
    const QString problem = m_job->start(o);
    if (!problem.isEmpty()) {
        Prompts::error(this, problem);
        return;
    }
    textCombo->setEditText(text);
    setRunning(true);
    lbProgress->setText(QStringLiteral("Searching\u2026"));
}

void FindInFilesPage::stop()
{
    m_job->stop();
}

void FindInFilesPage::browse()
{
    const QString chosen = Prompts::instance().folder(this, QStringLiteral("Folder to search"),
                                                      edFolder->text());
    if (!chosen.isEmpty())
        edFolder->setText(QDir::toNativeSeparators(chosen));
}

void FindInFilesPage::showProgress(const FileSearchProgress &progress)
{
    const QString folder = QDir::toNativeSeparators(progress.folder);
    const QString text = progressText(QStringLiteral("Searching\u2026"), progress);
    lbProgress->setText(
            text
            + lbProgress->fontMetrics()
                      .elidedText(QStringLiteral(" in ") + folder, Qt::ElideMiddle,
                                  lbProgress->width()
                                          - lbProgress->fontMetrics().horizontalAdvance(text)));
    lbProgress->setToolTip(folder);
}

void FindInFilesPage::showEnd(const FileSearchSummary &summary)
{
    setRunning(false);
    lbProgress->setText(
            progressText(summary.stopped ? QStringLiteral("Stopped:") : QStringLiteral("Done:"),
                         summary.progress));
    lbProgress->setToolTip({});
}

void FindInFilesPage::setRunning(bool running)
{
    btStop->setEnabled(running);
}

void FindInFilesPage::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        find();
        return;
    }
    QWidget::keyPressEvent(e);
}
