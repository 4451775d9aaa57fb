#include "EIlxError.h"

EIlxError::EIlxError(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}

const char* EIlxError::what() const noexcept
{
    return utf8_.constData();
}
