#pragma once

#include <QDialog>

class DocumentSource;
class QCheckBox;
class QLabel;
class QLineEdit;
class QTabWidget;
struct TScriptEditor;

// Facts of the current script's file and of the script itself; sets the file's attributes,
// the script's associated HTML page and writes a backup beside the file. Created once.
class TFilePropForm : public QDialog
{
    Q_OBJECT
public:
    explicit TFilePropForm(DocumentSource &docs, QWidget *parent = nullptr);

    // Fills the pages from the current script and shows them, without a modal loop. With no
    // script open the dialog stays as it was.
    void open() override;

protected:
    void closeEvent(QCloseEvent *e) override;
    void reject() override;
    void accept() override;

private:
    // The script the dialog was filled from, while it is still open.
    TScriptEditor *shownScript() const;
    void fillGeneral(const QString &path);
    void Button3Click();

    DocumentSource &m_docs;
    TScriptEditor *m_script = nullptr;
    QTabWidget *m_pages;
    QLabel *icoFile;
    QLabel *lFileName;
    QLabel *lKind;
    QLabel *lLocation;
    QLabel *lSize;
    QLabel *lDOSName;
    QLabel *lCreated;
    QLabel *lEdited;
    QLabel *lAccessed;
    QCheckBox *chkReadOnly;
    QCheckBox *chkArchive;
    QCheckBox *chkHidden;
    QCheckBox *chkSystem;
    QLabel *lLines;
    QLabel *lSaved;
    QLineEdit *edHTMLFile;
    QCheckBox *chkHTMLUpdate;
    QLabel *lBackup;
};
