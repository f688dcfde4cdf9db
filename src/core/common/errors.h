#pragma once

#include <QString>

#include <exception>

// An error that ends the current user action; the application shows its message
// in an error box and goes on (see Application::notify).
class AppError : public std::exception
{
public:
    explicit AppError(QString message)
        : m_message(std::move(message))
        , m_utf8(m_message.toUtf8())
    {}
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// A file could not be read or written.
class IoError : public AppError
{
public:
    using AppError::AppError;
    static IoError unableToWrite(const QString &path)
    {
        return IoError(QStringLiteral("Unable to write to %1").arg(path));
    }
};

// A name or value that the settings format cannot hold.
class FormatError : public AppError
{
public:
    using AppError::AppError;
};
