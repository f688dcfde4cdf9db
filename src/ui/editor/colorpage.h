#pragma once

#include <QStringList>
#include <QWidget>

class QComboBox;
class QFontComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTimer;
class QToolButton;
class TIniFile;

// The " Default color " and " Code " groups of the editor preferences: edits the colour
// definitions file entry by entry, every change written at once.
class TColorPage : public QWidget
{
    Q_OBJECT
public:
    explicit TColorPage(TIniFile *colorDefs, QWidget *parent = nullptr);

    // Each showing: groups from the file, first one loaded, preview timer running.
    void FormShow();
    void stopPreview();

    void SecSelChange();
    void ItemListClick();
    void storeDefinition();
    void ScopeComboChange();
    void btNewDefClick();
    void btDelDefClick();
    void btNewDefGrpClick();
    void btDelDefGrpClick();

    const QStringList &workingList() const { return m_working; }

private:
    QWidget *createDefaultGroup();
    QWidget *createCodeGroup();
    void updatePreview();
    void setSwatch(QToolButton *swatch, const QColor &colour);
    QColor swatchColour(QToolButton *swatch) const;
    bool loading() const { return m_loading > 0; }
    // A face picked or typed in FontCombo2: kept, shown and stored.
    void takeFace(const QString &typed);
    // Tells the user, once, what in the definitions file cannot be used as written.
    void reportProblems();

    TIniFile *m_file;
    QStringList m_working;
    QString m_face2; // the face of FontCombo2, as the file names it
    QStringList m_reportedProblems;
    int m_loading = 0;

    QComboBox *SecSel = nullptr;
    QListWidget *ItemList = nullptr;
    QComboBox *ScopeCombo = nullptr;
    QFontComboBox *FontCombo2 = nullptr;
    QComboBox *SizeCombo2 = nullptr;
    QToolButton *btFontCol2 = nullptr;
    QToolButton *btStyle2[4] = {};
    QLabel *RTFPrev2 = nullptr;

    QToolButton *btFontCol = nullptr;
    QToolButton *btBackCol = nullptr;
    QFontComboBox *FontCombo = nullptr;
    QComboBox *FontSize = nullptr;
    QToolButton *btStyle[4] = {};
    QLabel *RTFPrev = nullptr;
    QTimer *RTFPrevTimer = nullptr;
};
