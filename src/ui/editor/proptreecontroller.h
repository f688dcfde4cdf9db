#pragma once

#include <QObject>

class CodeInspector;
class DocumentSource;
class QTimer;
class QToolButton;
class QWidget;
class TIniFile;
struct TScriptEditor;

// The code inspector panel: its tree, the refresh timer and the jump to an entry.
class InspectorController : public QObject
{
    Q_OBJECT
public:
    InspectorController(TIniFile &settings, const DocumentSource &docs, QWidget *parent);

    QWidget *panel() const { return m_panel; }
    CodeInspector *inspector() const { return m_inspector; }

    // Lists the variables and subroutines of the current script (later, for a hidden panel).
    void refresh();
    // Reads the refresh period.
    void applyOptions();
    // A new editor: typing "$" or "@" refreshes when the settings ask for it.
    void attach(TScriptEditor &doc);

private:
    void jumpToEntry();
    void close();

    TIniFile &m_settings;
    const DocumentSource &m_docs;
    QWidget *m_panel;
    CodeInspector *m_inspector;
    QTimer *m_refreshTimer;
};
