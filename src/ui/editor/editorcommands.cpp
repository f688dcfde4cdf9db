#include "ui/editor/editorcommands.h"

#include "ui/common/application.h"
#include "ui/common/commands.h"
#include "ui/common/icons.h"
#include "ui/common/zoom.h"
#include "ui/editor/documentsource.h"
#include "ui/editor/findform.h"
#include "ui/editor/scripteditor.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QToolButton>
#include <QVBoxLayout>

EditorCommands::EditorCommands(const CommandTable &commands, DocumentSource &docs,
                               DocumentText *texts, QWidget *parent)
    : QObject(parent)
    , m_docs(docs)
    , m_sideButtons(new QWidget(parent))
{
    auto onEditor = [&](std::initializer_list<const char *> names, void (QPlainTextEdit::*fn)()) {
        commands.onTriggered(names, this, [this, fn] {
            if (TScriptEditor *d = m_docs.current())
                (d->Editor->*fn)();
        });
    };
    onEditor({"btCut", "Cut1", "Cut2"}, &QPlainTextEdit::cut);
    onEditor({"btCopy", "Copy1", "Copy2"}, &QPlainTextEdit::copy);
    onEditor({"btPaste", "Paste1", "Paste2"}, &QPlainTextEdit::paste);
    onEditor({"btUndo", "Undo1", "Undo2"}, &QPlainTextEdit::undo);
    onEditor({"btRedo", "Redo1", "Redo2"}, &QPlainTextEdit::redo);
    onEditor({"Selectall1", "Selectall2"}, &QPlainTextEdit::selectAll);
    commands.onTriggered({"btDelete", "Delete1", "Delete2"}, this, [this] {
        // The cursor does not ask the control: a script still loading is read-only.
        TScriptEditor *d = m_docs.current();
        if (d && !d->Editor->isReadOnly())
            d->Editor->textCursor().removeSelectedText();
    });

    m_findForm = new TFindForm(
            [this]() -> QPlainTextEdit * {
                TScriptEditor *doc = m_docs.current();
                return doc ? doc->Editor : nullptr;
            },
            texts, parent);
    commands.onTriggered({"btFind", "Find1", "Find2"}, this, [this] { showFind(); });
    commands.onTriggered({"Findinfiles1"}, this, [this] {
        // Where the current script is, else the home folder.
        const TScriptEditor *doc = m_docs.current();
        const QFileInfo script(doc ? doc->FileName : QString());
        m_findForm->showFindInFiles(script.isAbsolute() ? script.absolutePath() : QDir::homePath());
    });
    commands.onTriggered({"Findandreplace1"}, this, [this] { showFind(TFindForm::Page::Replace); });
    commands.onTriggered({"Findnext1"}, this, [this] { findAgain(false); });
    commands.onTriggered({"Findprevious1"}, this, [this] { findAgain(true); });
    connect(m_findForm, &TFindForm::statusMessage, this, &EditorCommands::statusMessage);

    m_sideButtons->setObjectName(QStringLiteral("Panel1"));
    auto *column = new QVBoxLayout(m_sideButtons);
    column->setContentsMargins(1, 1, 1, 1);
    auto gotoButton = [this, column](const char *name, const char *hint, const char *icon,
                                     QTextCursor::MoveOperation where) {
        auto *b = new QToolButton(m_sideButtons);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(QLatin1String(hint));
        b->setAccessibleName(QLatin1String(hint));
        b->setIcon(themeIcon(icon));
        b->setAutoRaise(true);
        b->setIconSize(QSize(14, 14));
        column->addWidget(b);
        connect(b, &QToolButton::clicked, this, [this, where] {
            if (TScriptEditor *d = m_docs.current()) {
                d->Editor->setFocus();
                d->Editor->moveCursor(where);
            }
        });
    };
    gotoButton("SpeedButton8", "Goto top of code", "go-top", QTextCursor::Start);
    gotoButton("SpeedButton9", "Goto bottom of code", "go-bottom", QTextCursor::End);
    column->addStretch(1);
}

void EditorCommands::showFind(TFindForm::Page page)
{
    if (m_docs.all().empty())
        return;
    m_findForm->setPage(page);
    ZoomShow(m_findForm);
}

void EditorCommands::findAgain(bool backward)
{
    if (m_docs.all().empty())
        return;
    if (!m_findForm->findAgain(backward))
        showFind();
}
