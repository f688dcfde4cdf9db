// Colouring the scripts: definitions, runs and their triggers.
#include "ui/shell/mainwindow.h"

#include "core/editor/colordefs.h"
#include "ui/common/application.h"
#include "ui/editor/highlighter.h"

#include <QAction>
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

void TForm1::LoadColorDefinitions()
{
    const ColorDefinitions defs = ColorDefinitions::load(ProgramDir
                                                         + QStringLiteral("etc/editorcolors.def"));
    ColorDefLines = defs.lines();
    m_painter = std::make_shared<const PatternPainter>(defs, kEditorDefaultColor);
    m_colorFormats.clear();
    m_colorFormats.reserve(size_t(defs.size()));
    for (int i = 0; i < defs.size(); ++i)
        m_colorFormats.push_back(formatOf(defs.style(i)));
    // Open scripts keep their colours until their next run paints with the new definitions.
    for (const auto &doc : Documents) {
        if (doc->Highlighter)
            doc->Highlighter->setPainter(m_painter, m_colorFormats);
    }
}

void TForm1::attachHighlighter(TScriptEditor &doc)
{
    auto *h = new ScriptHighlighter(doc.Editor->document(), doc.Editor);
    h->setPainter(m_painter, m_colorFormats);
    doc.Highlighter = h;
    // A large script's text arrives later in a document of its own: colour it then.
    connect(doc.Editor, &ScriptEditorWidget::textLoaded, h, [this, h, ed = doc.Editor] {
        if (h->document() == ed->document())
            return;
        h->attach(ed->document(), ed->loadedText());
        for (const auto &d : Documents) {
            if (d->Editor == ed)
                highlightDocument(*d, 0);
        }
    });
    connect(h, &ScriptHighlighter::progress, this, [this](int p) {
        pBarLabel->setText(QStringLiteral("Please wait (%1%)...").arg(p));
        pBar->setValue(p);
        pBarPanel->show();
    });
    connect(h, &ScriptHighlighter::runFinished, pBarPanel, &QWidget::hide);
    connect(doc.Editor, &ScriptEditorWidget::keyTyped, this,
            [this](QChar k) { guarded([&] { onEditorKey(k); }); });
}

void TForm1::highlightDocument(TScriptEditor &doc, int offset)
{
    if (!Settings.ReadBool(QStringLiteral("Config"), QStringLiteral("SyntaxHighlighting"), true))
        return;
    if (doc.Highlighter && !doc.Editor->isLoading())
        doc.Highlighter->run(offset);
}

void TForm1::Highlight(int offset)
{
    if (TScriptEditor *doc = CurrentDocument())
        highlightDocument(*doc, offset);
}

void TForm1::onEditorKey(QChar key)
{
    TScriptEditor *doc = CurrentDocument();
    if (!doc)
        return;
    // The saved flag needs nothing here: it follows the text itself, and a key that changes
    // nothing must not clear it.
    updateStatus();
    // Runs before the character is inserted, so the list is that of the text without it.
    if ((key == u'$' || key == u'@')
        && Settings.ReadBool(QStringLiteral("CodeInspector"), QStringLiteral("UpdateOnTyping"),
                             true))
        RefreshCodeInspector();
    if (key.unicode() > 32)
        return;
    const QString config = QStringLiteral("Config");
    const bool enter = key.unicode() == 13
                       && Settings.ReadBool(config, QStringLiteral("HighlightOnNewLine"), true);
    const bool blank = (key.unicode() == 9 || key.unicode() == 32)
                       && Settings.ReadBool(config, QStringLiteral("HighlightOnKeyStroke"), false);
    if (enter || blank)
        highlightDocument(*doc, std::max(0, doc->Editor->textCursor().position() - 255));
}
