#pragma once

#include <QString>

#include <exception>

// The one exception of the program: it carries the message text the user sees.
// The application's handler shows it; it never crosses a C callback or a thread.
class EIlxError : public std::exception
{
public:
    explicit EIlxError(QString message);

    const QString& message() const noexcept { return message_; }
    const char* what() const noexcept override;

private:
    QString message_;
    QByteArray utf8_;
};
