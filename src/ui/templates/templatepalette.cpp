#include "ui/templates/templatepalette.h"

#include "core/common/errors.h"
#include "core/common/textfile.h"
#include "core/settings/configkeys.h"
#include "core/templates/placeholders.h"
#include "core/templates/templatefile.h"
#include "core/templates/templatelibrary.h"
#include "ui/common/application.h"
#include "ui/common/commands.h"
#include "ui/editor/documentsource.h"
#include "ui/editor/highlighting.h"
#include "ui/editor/scripteditor.h"
#include "ui/templates/mantempform.h"
#include "ui/templates/pagescroller.h"
#include "ui/templates/templateform.h"
#include "ui/templates/templateicons.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHash>
#include <QPointer>
#include <QTextCursor>
#include <QToolBar>
#include <QToolButton>

namespace {

// While a large group fills, the window gets its events after about a frame of work.
constexpr qint64 kFillSliceMs = 16;
constexpr int kMaxCaptionWidth = 240;
constexpr qsizetype kShortCaptionChars = 24;

} // namespace

TemplatePalette::TemplatePalette(TIniFile &settings, QString programDir,
                                 const CommandTable &commands, const DocumentSource &docs,
                                 HighlightController &highlighting, QWidget *window)
    : QObject(window)
    , m_settings(settings)
    , m_programDir(std::move(programDir))
    , m_docs(docs)
    , m_highlighting(highlighting)
    , m_window(window)
    , m_toolBar(new QToolBar(QStringLiteral("Code templates"), window))
    , m_groups(new QComboBox(m_toolBar))
    , m_scroller(new PageScroller(m_toolBar))
    , m_codeBar(new QWidget)
{
    m_toolBar->setObjectName(QStringLiteral("ToolBar2"));
    m_groups->setObjectName(QStringLiteral("CompGrps"));
    m_groups->setEditable(false);
    m_groups->setFixedWidth(145);
    m_groups->setCursor(Qt::PointingHandCursor);
    m_groups->setToolTip(QStringLiteral("Template group"));
    m_groups->setAccessibleName(QStringLiteral("Template group"));
    m_toolBar->addWidget(m_groups);
    m_scroller->setObjectName(QStringLiteral("PageScroller1"));
    m_codeBar->setObjectName(QStringLiteral("CodeBar"));
    auto *row = new QHBoxLayout(m_codeBar);
    row->setContentsMargins(2, 0, 2, 0);
    row->setSpacing(1);
    row->setSizeConstraint(QLayout::SetFixedSize);
    m_scroller->setWidget(m_codeBar);
    m_toolBar->addWidget(m_scroller);
    m_builtins = builtinPaletteImages(libDir());
    m_colds = m_hots = m_builtins;

    connect(m_groups, &QComboBox::currentIndexChanged, this,
            [this] { guarded([this] { CompGrpsChange(); }); });
    commands.onTriggered({"Createnewcodetemplate1", "Createnewtemplatefromselection1"}, this,
                         [this] { wizard()->showWizard(); });
    commands.onTriggered({"CreateTemplatefromselection1"}, this,
                         [this] { createTemplateFromSelection(); });
    commands.onTriggered({"Arrangetemplatepalette1"}, this, [this] { manager()->showManager(); });
}

TemplatePalette::~TemplatePalette()
{
    delete m_wizard;
    delete m_manager;
}

QString TemplatePalette::libDir() const
{
    return TemplateLibrary::libDir(m_programDir);
}

void TemplatePalette::LoadTemplateGroups()
{
    {
        const QSignalBlocker quiet(m_groups);
        m_groups->addItems(ListTemplateGroups(libDir()));
        int shown = m_groups->findText(QStringLiteral("Standard"));
        if (shown < 0 && m_groups->count() > 0)
            shown = 0;
        m_groups->setCurrentIndex(shown);
    }
    CompGrpsChange();
}

void TemplatePalette::CompGrpsChange()
{
    refresh();
}

void TemplatePalette::refresh()
{
    FillTemplatePalette(m_groups->currentText());
    LayoutTemplatePalette(true);
}

void TemplatePalette::applyOptions()
{
    refresh();
}

void TemplatePalette::clearButtons()
{
    for (QToolButton *b : std::as_const(m_buttons)) {
        b->hide();
        delete b;
    }
    m_buttons.clear();
    m_paths.clear();
    m_colds = m_hots = m_builtins;
}

int TemplatePalette::imageFor(const QStringList &colds, const QStringList &hots)
{
    // A bitmap that cannot be read counts as missing: the next file of the list stands in.
    auto first = [](const QStringList &files) -> std::optional<QPixmap> {
        for (const QString &f : files) {
            if (auto pm = f.isEmpty() ? std::nullopt : loadIconPixmap(f))
                return pm;
        }
        return std::nullopt;
    };
    const auto cold = first(colds);
    if (!cold)
        return 0;
    m_colds << *cold;
    m_hots << first(hots).value_or(*cold);
    return int(m_colds.size()) - 1;
}

void TemplatePalette::FillTemplatePalette(const QString &group)
{
    const quint64 generation = ++m_fillGeneration;
    clearButtons();
    const QString folder = groupFolder(libDir(), group);
    const QStringList files = ListTemplateFiles(folder, QStringLiteral("*.plt"));
    const bool captions = Config::read(m_settings, Config::TemplateCaptions);
    const IconFiles icons(libDir());
    const QString defaultCold = icons.path(QStringLiteral("default_d"));
    const QString defaultHot = icons.path(QStringLiteral("default_a"));
    // Templates share their icons: each pair of files is read once per fill.
    QHash<QString, int> imageOfPair;
    auto *row = static_cast<QHBoxLayout *>(m_codeBar->layout());
    QPointer<QWidget> bar(m_codeBar);
    QElapsedTimer slice;
    slice.start();
    for (const QString &file : files) {
        const QString path = folder + file;
        const auto info = TemplateInfo::read(path);
        const auto value = [&info](const char *key) {
            return info ? info->value(QLatin1String(key), QString()) : QString();
        };
        const QStringList colds{icons.path(value("Icon")), defaultCold};
        const QStringList hots{icons.path(value("IconFocused")), defaultHot};
        const QString pair = colds.front() + u'\n' + hots.front();
        auto image = imageOfPair.constFind(pair);
        if (image == imageOfPair.constEnd())
            image = imageOfPair.insert(pair, imageFor(colds, hots));

        auto *b = new QToolButton(m_codeBar);
        const QString name = value("Name");
        // A long name shows its beginning; the hint has all of it. Short ones are not measured.
        const QString caption = name.size() <= kShortCaptionChars
                                        ? name
                                        : b->fontMetrics().elidedText(name, Qt::ElideRight,
                                                                      kMaxCaptionWidth);
        b->setText(QString(caption).replace(u'&', QStringLiteral("&&")));
        b->setToolTip(name);
        b->setAccessibleName(name);
        b->setCursor(Qt::PointingHandCursor);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setToolButtonStyle(captions ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonIconOnly);
        QIcon icon(m_colds[*image]);
        icon.addPixmap(m_hots[*image], QIcon::Active);
        b->setIcon(icon);
        b->setIconSize(QSize(16, 16));
        const int tag = int(m_paths.size());
        b->setProperty("tag", tag);
        connect(b, &QToolButton::clicked, this,
                [this, tag] { guarded([this, tag] { TemplateButtonClick(tag); }); });
        row->addWidget(b);
        // Shown now rather than when the layout gets to it, so that the row's size counts it.
        b->show();
        m_buttons << b;
        m_paths << path;

        if (slice.elapsed() >= kFillSliceMs) {
            QCoreApplication::processEvents();
            if (!bar || generation != m_fillGeneration)
                return; // a newer fill took over meanwhile
            slice.restart();
        }
    }
    m_scroller->contentChanged();
}

void TemplatePalette::LayoutTemplatePalette(bool resizeToContent)
{
    // The toolbar area gives the palette what its content asks for, and no more than the
    // window has: the arrows of the scroller then reach the rest.
    if (resizeToContent)
        m_scroller->contentChanged();
    m_toolBar->updateGeometry();
}

void TemplatePalette::TemplateButtonClick(int index)
{
    TScriptEditor *doc = m_docs.current();
    if (!doc || index < 0 || index >= m_paths.size())
        return;
    const int origin = doc->Editor->textCursor().selectionStart();
    InsertTemplate(m_paths[index]);
    m_highlighting.highlight(*doc, origin);
}

void TemplatePalette::InsertTemplate(const QString &path)
{
    TScriptEditor *doc = m_docs.current();
    if (!doc || !QFileInfo(path).isFile())
        return;
    if (doc->Editor->isLoading())
        throw AppError(QStringLiteral("Oops! \"%1\" is still being loaded. Please insert the "
                                      "template again in a moment.")
                               .arg(doc->FileName));
    const PlaceholderValues values = PlaceholderValues::current();
    QString text;
    for (const QString &line : readTemplateCode(path)) {
        text += ExpandPlaceholder(line, values);
        text += u'\n';
    }
    // The scratch copy is for whoever looks: the editor gets the text whether it was written
    // or not.
    try {
        TextFileFormat crlf;
        crlf.lineEnd = LineEnd::CrLf;
        writeFileAtomically(m_programDir + QStringLiteral("etc/template.tmp"),
                            encodeText(text, crlf));
    } catch (const IoError &) {
    }
    QTextCursor c = doc->Editor->textCursor();
    c.beginEditBlock();
    c.insertText(text);
    c.endEditBlock();
    doc->Editor->setTextCursor(c);
}

QStringList TemplatePalette::groups() const
{
    QStringList out;
    for (int i = 0; i < m_groups->count(); ++i)
        out << m_groups->itemText(i);
    return out;
}

void TemplatePalette::addGroup(const QString &group)
{
    const QString name = groupDisplayName(group);
    if (name.isEmpty() || m_groups->findText(name, Qt::MatchFixedString) >= 0)
        return;
    m_groups->addItem(name); // the first item of an empty box is shown at once
}

void TemplatePalette::removeGroup(const QString &group)
{
    const int i = m_groups->findText(groupDisplayName(group), Qt::MatchFixedString);
    if (i < 0)
        return;
    const bool shown = i == m_groups->currentIndex();
    const QSignalBlocker quiet(m_groups);
    m_groups->removeItem(i);
    if (shown) {
        int next = m_groups->findText(QStringLiteral("Standard"));
        m_groups->setCurrentIndex(next >= 0 ? next : (m_groups->count() ? 0 : -1));
        refresh();
    }
}

TTemplateForm *TemplatePalette::wizard()
{
    if (!m_wizard) {
        m_wizard = new TTemplateForm(
                libDir(), [this] { return groups(); }, m_window);
        connect(m_wizard, &TTemplateForm::templateWritten, this, [this](const QString &group) {
            addGroup(group);
            refresh();
            if (m_manager && m_manager->isVisible())
                m_manager->lvGroupsChange();
        });
    }
    return m_wizard;
}

TManTempForm *TemplatePalette::manager()
{
    if (!m_manager) {
        m_manager = new TManTempForm(
                libDir(), [this] { return groups(); },
                [this](const QString &group, const QString &path) {
                    wizard()->EditTemplate(group, path);
                },
                m_window);
        connect(m_manager, &TManTempForm::groupCreated, this, &TemplatePalette::addGroup);
        connect(m_manager, &TManTempForm::groupRemoved, this, &TemplatePalette::removeGroup);
        connect(m_manager, &TManTempForm::closed, this, &TemplatePalette::refresh);
    }
    return m_manager;
}

void TemplatePalette::createTemplateFromSelection()
{
    QString code;
    if (TScriptEditor *doc = m_docs.current())
        code = doc->Editor->textCursor().selectedText();
    code.replace(QChar::ParagraphSeparator, u'\n');
    code.replace(QChar::LineSeparator, u'\n');
    wizard()->setCode(code);
    wizard()->showWizard();
}
