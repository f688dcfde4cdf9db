#include "ui/editor/highlighting.h"

#include "core/editor/colordefs.h"
#include "core/settings/configkeys.h"
#include "core/settings/inifile.h"
#include "ui/common/application.h"
#include "ui/editor/documentsource.h"
#include "ui/editor/highlighter.h"
#include "ui/editor/scripteditor.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>

namespace {

QTextCharFormat formatOf(const ColorStyle &style)
{
    QTextCharFormat f;
    f.setFontFamilies({style.font});
    if (style.size > 0)
        f.setFontPointSize(style.size);
    // The automatic colour is the editor's own text colour: leave it to the editor.
    if (!style.isAutomaticColor())
        f.setForeground(QColor::fromRgb(QRgb(style.rgb())));
    f.setFontWeight(style.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(style.italic);
    f.setUnderlineStyle(QTextCharFormat::UnderlineStyle(style.underlineStyle()));
    f.setFontStrikeOut(style.strikeout);
    return f;
}

} // namespace

HighlightController::HighlightController(TIniFile &settings, QString definitionsFile,
                                         const DocumentSource &docs, QWidget *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_definitionsFile(std::move(definitionsFile))
    , m_docs(docs)
    , m_progressPanel(new QWidget(parent))
    , m_progressLabel(new QLabel(QStringLiteral("Please wait (100%)..."), m_progressPanel))
    , m_progressBar(new QProgressBar(m_progressPanel))
{
    m_progressPanel->setObjectName(QStringLiteral("pBarPanel"));
    auto *pb = new QHBoxLayout(m_progressPanel);
    pb->setContentsMargins(0, 0, 0, 0);
    pb->addWidget(m_progressLabel);
    m_progressBar->setObjectName(QStringLiteral("pBar"));
    m_progressBar->setTextVisible(false);
    m_progressBar->setFixedWidth(120);
    pb->addWidget(m_progressBar);
    m_progressPanel->hide();
}

void HighlightController::loadDefinitions()
{
    const ColorDefinitions defs = ColorDefinitions::load(m_definitionsFile);
    m_definitionLines = defs.lines();
    m_painter = std::make_shared<const PatternPainter>(defs, kEditorDefaultColor);
    m_formats.clear();
    m_formats.reserve(size_t(defs.size()));
    for (int i = 0; i < defs.size(); ++i)
        m_formats.push_back(formatOf(defs.style(i)));
    for (const auto &doc : m_docs.all()) {
        if (doc->Highlighter)
            doc->Highlighter->setPainter(m_painter, m_formats);
    }
}

void HighlightController::attach(TScriptEditor &doc)
{
    auto *h = new ScriptHighlighter(doc.Editor->document(), doc.Editor);
    h->setPainter(m_painter, m_formats);
    doc.Highlighter = h;
    // The editor may outlive its document by a moment (it is deleted later): find the document
    // again instead of keeping a pointer to it.
    ScriptEditorWidget *ed = doc.Editor;
    ed->setColours([h](int from, int to) { return h->rangesFor(from, to); });
    connect(h, &ScriptHighlighter::coloursChanged, ed, &ScriptEditorWidget::coloursChanged);
    // A large script's text arrives later in a document of its own: colour it then.
    connect(ed, &ScriptEditorWidget::textLoaded, h, [this, h, ed] {
        if (h->document() == ed->document())
            return;
        h->attach(ed->document(), ed->loadedText());
        if (TScriptEditor *d = documentOf(ed))
            highlight(*d, 0);
    });
    connect(h, &ScriptHighlighter::progress, this, [this](int p) {
        m_progressLabel->setText(QStringLiteral("Please wait (%1%)...").arg(p));
        m_progressBar->setValue(p);
        m_progressPanel->show();
    });
    connect(h, &ScriptHighlighter::runFinished, m_progressPanel, &QWidget::hide);
    connect(ed, &ScriptEditorWidget::keyTyped, this, [this, ed](QChar k) {
        if (TScriptEditor *d = documentOf(ed))
            guarded([&] { onKey(*d, k); });
    });
}

TScriptEditor *HighlightController::documentOf(const QObject *editor) const
{
    for (const auto &d : m_docs.all()) {
        if (d->Editor == editor)
            return d.get();
    }
    return nullptr;
}

void HighlightController::highlight(TScriptEditor &doc, int offset)
{
    if (!Config::read(m_settings, Config::SyntaxHighlighting))
        return;
    if (doc.Highlighter && !doc.Editor->isLoading())
        doc.Highlighter->run(offset);
}

void HighlightController::highlightCurrent(int offset)
{
    if (TScriptEditor *doc = m_docs.current())
        highlight(*doc, offset);
}

void HighlightController::onKey(TScriptEditor &doc, QChar key)
{
    if (key.unicode() > 32)
        return;
    const bool enter = key.unicode() == 13 && Config::read(m_settings, Config::HighlightOnNewLine);
    const bool blank = (key.unicode() == 9 || key.unicode() == 32)
                       && Config::read(m_settings, Config::HighlightOnKeyStroke);
    if (enter || blank)
        highlight(doc, std::max(0, doc.Editor->textCursor().position() - 255));
}
