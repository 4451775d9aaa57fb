#include "EIlxError.h"

EIlxError::EIlxError(QString message, TErrorSource source)
    : message_(std::move(message)), utf8_(message_.toUtf8()), source_(source)
{}

const char* EIlxError::what() const noexcept
{
    return utf8_.constData();
}
