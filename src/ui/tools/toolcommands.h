#pragma once

#include <QObject>

class CommandTable;
class DocumentSource;
class TAboutForm;
class TBugForm;
class TFilePropForm;
class TIniFile;
class TUNIXConvForm;
class QWidget;

// The side tools of the Extras, File and Help menus: each dialog created once and shown
// without a modal loop.
class ToolCommands : public QObject
{
    Q_OBJECT
public:
    ToolCommands(TIniFile &settings, const CommandTable &commands, DocumentSource &docs,
                 QWidget *parent);

    TUNIXConvForm *unixConversion() const { return m_unixConv; }
    TFilePropForm *fileProperties() const { return m_props; }
    TAboutForm *about() const { return m_about; }
    TBugForm *bugReport() const { return m_bug; }

private:
    TUNIXConvForm *m_unixConv;
    TFilePropForm *m_props;
    TAboutForm *m_about;
    TBugForm *m_bug;
};
