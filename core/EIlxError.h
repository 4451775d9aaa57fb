#pragma once

#include <QString>

#include <exception>

// Where an error comes from, for the application's handler: one of the
// camera switches the video off, any other is only reported.
enum class TErrorSource
{
    General,
    Camera,
};

// The one exception of the program: it carries the message text the user sees.
// The application's handler shows it; it never crosses a C callback or a thread.
class EIlxError : public std::exception
{
public:
    explicit EIlxError(QString message, TErrorSource source = TErrorSource::General);

    const QString& message() const noexcept { return message_; }
    TErrorSource source() const noexcept { return source_; }
    const char* what() const noexcept override;

private:
    QString message_;
    QByteArray utf8_;
    TErrorSource source_;
};
