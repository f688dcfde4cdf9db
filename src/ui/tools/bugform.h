#pragma once

#include "core/tools/bugreport.h"

#include <QDialog>

class QComboBox;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTextEdit;

// The bug-report wizard: a form, then the report made from it, saved as a rich-text file and
// handed to the mail client. Created once; the form keeps its contents between uses.
class TBugForm : public QDialog
{
    Q_OBJECT
public:
    explicit TBugForm(QWidget *parent = nullptr);

    // Shows the form page, without a modal loop.
    void open() override;
    BugReportForm form() const;
    // Where "&Okay" saves the report.
    void setReportPath(const QString &path) { m_reportPath = path; }

protected:
    void closeEvent(QCloseEvent *e) override;
    void reject() override;

private:
    void btOkayClick();
    void btBackClick();
    void fill();

    QString m_reportPath;
    QList<ReportParagraph> m_report; // as shown on the report page
    QStackedWidget *Pages;
    QComboBox *edNameB;
    QComboBox *edMailB;
    QComboBox *edBugDiz;
    QRadioButton *radNA;
    QRadioButton *radRarely;
    QRadioButton *radSometimes;
    QRadioButton *radOften;
    QComboBox *edWinVer;
    QTextEdit *memoSystem;
    QTextEdit *memoBugDiz;
    QTextEdit *memoNotesB;
    QTextEdit *BugRF;
    QPushButton *btBack;
    QPushButton *btOkay;
};
