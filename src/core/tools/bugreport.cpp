#include "core/tools/bugreport.h"

#include <QLocale>
#include <QStringList>

namespace {

ReportParagraph bold(const char *text, int points = 9)
{
    return {QLatin1String(text), true, points};
}

ReportParagraph plain(const QString &text = QString(), int points = 9)
{
    return {text, false, points};
}

QString orNA(const QString &value)
{
    return value.trimmed().isEmpty() ? QStringLiteral("[N/A]") : value;
}

QString regularityWord(BugReportForm::Regularity r)
{
    switch (r) {
    case BugReportForm::Rarely:
        return QStringLiteral("rarely");
    case BugReportForm::Sometimes:
        return QStringLiteral("occassionally");
    case BugReportForm::Often:
        return QStringLiteral("often / always");
    case BugReportForm::NotApplicable:
        break;
    }
    return QStringLiteral("N/A");
}

void appendRtfText(QByteArray &out, const QString &text)
{
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u == '\t') {
            out += "\\tab ";
        } else if (u >= 0x20 && u < 0x80) {
            out += char(u);
        } else if (u >= 0x20) {
            // RTF counts \u in signed 16 bits; "?" stands in for readers without Unicode.
            out += "\\u" + QByteArray::number(qint16(u)) + '?';
        }
    }
}

} // namespace

QList<ReportParagraph> bugReportTemplate()
{
    const QString tabs = QStringLiteral("\t\t");
    QList<ReportParagraph> t{bold("Ostravine Quillforge Bug Report", 14),
                             bold("Ostravine - Quillforge, the CGI / Perl script editor"), plain(),
                             plain(), plain()};
    const std::pair<const char *, const char *> fields[] = {{"Date:", "###DATE###"},
                                                            {"Reported by:", "###SENDER###"},
                                                            {"eM@il address:", "###SENDERMAIL###"},
                                                            {"OS version:", "###OSVER###"},
                                                            {"System components:", "###SYSTEM###"},
                                                            {"Bug occurrs:", "###REGULARITY###"}};
    for (const auto &[label, marker] : fields) {
        t << bold(label) << plain(tabs + QLatin1String(marker)) << plain();
    }
    t << plain() << plain();
    t << bold("Bug description:") << plain() << plain(QStringLiteral("###BUGDIZ###")) << plain()
      << plain() << plain();
    t << bold("additional notes:") << plain() << plain(QStringLiteral("###NOTES###")) << plain()
      << plain();
    t << plain(QStringLiteral("Quillforge ver 1.0"), 7);
    return t;
}

QList<ReportParagraph> fillBugReport(const BugReportForm &form, const QDateTime &now)
{
    const QLocale l = QLocale::system();
    const QString date = l.toString(now.date(), QLocale::ShortFormat) + u' '
                         + l.toString(now.time(), QLocale::LongFormat);
    const std::pair<const char *, QString> values[] = {
            {"###DATE###", date},
            {"###SENDER###", orNA(form.name)},
            {"###SENDERMAIL###", orNA(form.mail)},
            {"###OSVER###", orNA(form.osVersion)},
            {"###SYSTEM###", orNA(form.system)},
            {"###BUGDIZ###", orNA(form.description)},
            {"###NOTES###", orNA(form.notes)},
            {"###REGULARITY###", regularityWord(form.regularity)},
    };
    QList<ReportParagraph> out;
    for (ReportParagraph p : bugReportTemplate()) {
        for (const auto &[marker, value] : values) {
            const qsizetype at = p.text.indexOf(QLatin1String(marker));
            if (at < 0)
                continue;
            p.text = p.text.left(at) + value;
            break; // a value that holds a marker itself stays as typed
        }
        // A value of several lines makes several paragraphs of the same format.
        const QStringList lines = p.text.split(u'\n');
        for (const QString &line : lines) {
            ReportParagraph q = p;
            q.text = line;
            out << q;
        }
    }
    return out;
}

QByteArray bugReportRtf(const QList<ReportParagraph> &report)
{
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1"
                     "{\\fonttbl{\\f0\\fswiss\\fcharset0 Tahoma;}}\n";
    for (const ReportParagraph &p : report) {
        out += "\\pard\\plain\\f0\\fs" + QByteArray::number(p.points * 2);
        out += p.bold ? "\\b " : " ";
        appendRtfText(out, p.text);
        out += "\\par\n";
    }
    out += "}\n";
    return out;
}

QString bugReportSupportAddress()
{
    return QStringLiteral("bugs@quillforge.ostravine.org");
}

QString bugReportSavedMessage(const QString &reportPath)
{
    return QStringLiteral("Quillforge Bugreport\n\nThank you for supporting this product becoming "
                          "better. I will now start your eMail client. Please add the report as "
                          "an attachment and send it to \"%1\". The report has been saved to "
                          "\"%2\".\n\nThanx and ready to launch your client.")
            .arg(bugReportSupportAddress(), reportPath);
}
