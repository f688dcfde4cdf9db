#pragma once

#include "core/run/logtail.h"

#include <QStringDecoder>
#include <QTabWidget>

class QPlainTextEdit;
class QTimer;

// Under the browser while the local web server runs: what CGI scripts wrote to standard error
// and each request with its status and headers, as the server appends them. Only the new part
// of each log is read, on a timer, so a growing log never holds up the window.
class CgiLogPanel : public QTabWidget
{
    Q_OBJECT
public:
    explicit CgiLogPanel(QWidget *parent = nullptr);

    // Shows what is appended to the logs from now on; what they held before is not shown.
    void follow(const QString &errorLog, const QString &accessLog);
    // Stops reading; what was shown stays.
    void stop();

    // A few lines high: it explains the page above it, it does not replace it.
    QSize sizeHint() const override;

    QPlainTextEdit *errors() const { return m_errors; }
    QPlainTextEdit *requests() const { return m_requests; }

    // What one look at a log takes in at most; more is cut to its newest part.
    static constexpr qint64 kReadCap = 256 * 1024;

private:
    void poll();
    void readErrors();
    void readRequests();

    QPlainTextEdit *m_errors;
    QPlainTextEdit *m_requests;
    QTimer *m_timer;
    LogTail m_errorTail;
    LogTail m_accessTail;
    QStringDecoder m_errorDecoder{QStringDecoder::Utf8};
    QByteArray m_partialRequest; // a request line not yet ended
};
