#include "ui/run/cgilog.h"

#include "core/run/accesslog.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabBar>
#include <QTimer>

namespace {

constexpr int kPollMs = 300;
// Lines kept in each view; older ones go.
constexpr int kKeptLines = 20000;

QPlainTextEdit *logView(const char *name, const QString &accessible, QWidget *parent)
{
    auto *view = new QPlainTextEdit(parent);
    view->setObjectName(QLatin1String(name));
    view->setAccessibleName(accessible);
    view->setReadOnly(true);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    view->setMaximumBlockCount(kKeptLines);
    view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    return view;
}

QString skippedNote(qint64 bytes)
{
    return QStringLiteral("[... %1 bytes not shown ...]\n").arg(bytes);
}

// Appends text at the end, following the end only when the reader was there.
void appendText(QPlainTextEdit *view, const QString &text)
{
    if (text.isEmpty())
        return;
    QScrollBar *bar = view->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    QTextCursor cursor(view->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    if (atEnd)
        bar->setValue(bar->maximum());
}

} // namespace

CgiLogPanel::CgiLogPanel(QWidget *parent)
    : QTabWidget(parent)
    , m_errors(logView("CgiErrors", QStringLiteral("CGI errors"), this))
    , m_requests(logView("CgiRequests", QStringLiteral("CGI requests"), this))
    , m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("CgiLog"));
    setAccessibleName(QStringLiteral("CGI log"));
    tabBar()->setAccessibleName(accessibleName()); // what a screen reader finds of the panel
    setDocumentMode(true);
    setTabPosition(QTabWidget::South);
    addTab(m_errors, QStringLiteral("CGI errors"));
    addTab(m_requests, QStringLiteral("Requests"));
    m_errors->setPlaceholderText(
            QStringLiteral("What CGI scripts write to standard error (die, warn) shows here."));
    m_requests->setPlaceholderText(
            QStringLiteral("Each request to the web server shows here with its status."));
    m_timer->setInterval(kPollMs);
    connect(m_timer, &QTimer::timeout, this, &CgiLogPanel::poll);
}

QSize CgiLogPanel::sizeHint() const
{
    return {QTabWidget::sizeHint().width(),
            m_errors->fontMetrics().lineSpacing() * 8 + tabBar()->sizeHint().height()};
}

void CgiLogPanel::follow(const QString &errorLog, const QString &accessLog)
{
    m_errorTail = LogTail(errorLog);
    m_accessTail = LogTail(accessLog);
    m_errorTail.skipToEnd();
    m_accessTail.skipToEnd();
    m_errorDecoder.resetState();
    m_partialRequest.clear();
    m_errors->clear();
    m_requests->clear();
    m_timer->start();
}

void CgiLogPanel::stop()
{
    m_timer->stop();
}

void CgiLogPanel::poll()
{
    readErrors();
    readRequests();
}

void CgiLogPanel::readErrors()
{
    const LogTail::Piece piece = m_errorTail.readAppended(kReadCap);
    if (piece.bytes.isEmpty() && piece.skipped == 0)
        return;
    QString text;
    if (piece.skipped > 0) {
        m_errorDecoder.resetState();
        text = skippedNote(piece.skipped);
    }
    text += m_errorDecoder.decode(piece.bytes);
    appendText(m_errors, text);
    // A script that failed is why one looks here.
    setCurrentWidget(m_errors);
}

void CgiLogPanel::readRequests()
{
    const LogTail::Piece piece = m_accessTail.readAppended(kReadCap);
    if (piece.bytes.isEmpty() && piece.skipped == 0)
        return;
    QString text;
    if (piece.skipped > 0) {
        m_partialRequest.clear();
        text = skippedNote(piece.skipped);
    }
    m_partialRequest += piece.bytes;
    const qsizetype end = m_partialRequest.lastIndexOf('\n') + 1;
    for (const QByteArray &raw : m_partialRequest.left(end).split('\n')) {
        if (raw.isEmpty())
            continue;
        const QString line = QString::fromUtf8(raw);
        const std::optional<AccessLog::Entry> entry = AccessLog::parse(line);
        text += (entry ? AccessLog::describe(*entry) : line) + u'\n';
    }
    m_partialRequest.remove(0, end);
    appendText(m_requests, text);
}
