#pragma once

#include "core/common/textfile.h"

#include <QPlainTextEdit>

#include <atomic>
#include <memory>

// The editor control of one script: plain text only, so what is saved is exactly what the
// user sees. The saved flag is the document's modification state, which follows the undo
// history: undoing back to the loaded or saved text counts as saved again.
class ScriptEditorWidget : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit ScriptEditorWidget(QWidget *parent = nullptr);
    ~ScriptEditorWidget() override;

    // Puts loaded text into the editor as one unmodified step without undo history. A large
    // text is laid into a document on a worker thread so the window never freezes; the editor
    // is read-only until textLoaded().
    void loadText(const QString &text);
    bool isLoading() const { return m_loading; }
    // While textLoaded() is emitted: the arrived text with line feeds, as
    // DocumentText::plainText() reads it, so receivers need not read 10 MB again.
    const QString &loadedText() const { return m_loadedText; }

signals:
    void textLoaded();
    // A character is about to be typed (before it reaches the text).
    void keyTyped(QChar key);

protected:
    bool event(QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    void adoptDocument(QTextDocument *doc, QString plainText);
    bool m_loading = false;
    QString m_loadedText;
    // Tells the worker laying out the text that nobody waits for it any more.
    std::shared_ptr<std::atomic_bool> m_abandoned;
};

class ScriptHighlighter;

// One open script.
struct TScriptEditor
{
    QString FileName;
    ScriptEditorWidget *Editor = nullptr;
    ScriptHighlighter *Highlighter = nullptr; // owned by the editor
    QString HTMLFile;
    bool HTMLGiven = false;
    bool HTMLUpdate = true;
    TextFileFormat Format; // encoding and line ends as read, used again when saving

    bool saved() const;
    void setSaved(bool saved);
};

// Writes the script's text to path in the encoding and line-end style it was read with.
// Throws AppError while the text is still loading and IoError when the file cannot be written.
void writeScript(const TScriptEditor &doc, const QString &path);
