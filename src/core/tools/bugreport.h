#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// What the bug-report form holds.
struct BugReportForm
{
    enum Regularity { NotApplicable, Rarely, Sometimes, Often };
    QString name;
    QString mail;
    QString osVersion;
    QString system;
    QString description;
    QString notes;
    Regularity regularity = NotApplicable;
};

// One paragraph of the report with its character format.
struct ReportParagraph
{
    QString text;
    bool bold = false;
    int points = 9;
    bool operator==(const ReportParagraph &o) const
    {
        return text == o.text && bold == o.bold && points == o.points;
    }
};

// The report as designed, with its markers ("###DATE###", "###SENDER###", ...).
QList<ReportParagraph> bugReportTemplate();
// The template filled from the form: each marker and the rest of its line replaced by the
// value ("[N/A]" for an empty one), a value of several lines making several paragraphs.
// Always starts from the template, so the report shows the form as it is now.
QList<ReportParagraph> fillBugReport(const BugReportForm &form, const QDateTime &now);
// The report as a rich-text (RTF) file in the face "Tahoma".
QByteArray bugReportRtf(const QList<ReportParagraph> &report);

// Where the report goes, and the message that tells so.
QString bugReportSupportAddress();
QString bugReportSavedMessage(const QString &reportPath);
