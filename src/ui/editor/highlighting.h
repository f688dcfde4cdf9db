#pragma once

#include <QObject>
#include <QStringList>
#include <QTextCharFormat>

#include <memory>
#include <vector>

class DocumentSource;
class PatternPainter;
class QLabel;
class QProgressBar;
class QWidget;
class TIniFile;
struct TScriptEditor;

// Colours the scripts: loads the colour definitions, gives each editor its highlighter, runs
// it when a file arrives or a key asks for it, and shows the progress of long runs.
class HighlightController : public QObject
{
    Q_OBJECT
public:
    HighlightController(TIniFile &settings, QString definitionsFile, const DocumentSource &docs,
                        QWidget *parent);

    // "Please wait (n%)..." with its bar; hidden while nothing runs.
    QWidget *progressPanel() const { return m_progressPanel; }

    // Reads the definitions again; open scripts keep their colours until their next run.
    void loadDefinitions();
    const QStringList &definitionLines() const { return m_definitionLines; }
    void attach(TScriptEditor &doc);
    // Re-colours a script from offset, when colouring is on.
    void highlight(TScriptEditor &doc, int offset);
    void highlightCurrent(int offset);

private:
    void onKey(TScriptEditor &doc, QChar key);
    TScriptEditor *documentOf(const QObject *editor) const;

    TIniFile &m_settings;
    QString m_definitionsFile;
    const DocumentSource &m_docs;
    std::shared_ptr<const PatternPainter> m_painter;
    std::vector<QTextCharFormat> m_formats;
    QStringList m_definitionLines;
    QWidget *m_progressPanel;
    QLabel *m_progressLabel;
    QProgressBar *m_progressBar;
};
