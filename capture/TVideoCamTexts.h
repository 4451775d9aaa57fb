#pragma once

#include "CaptureDriver.h"

#include <QString>

// The capture component's messages. It carries each in French and in English;
// the owner chooses with TVideoCam::SetEnglishMessages.
enum class TVideoCamText
{
    NotSelectedActivate,
    NotSelectedDeactivate,
    UnableToActivate,
    UnableToConnect,
    DriverRefused,
    NoFormatDialog,
    NoDisplayDialog,
    NoSourceDialog,
    SelectDriverCaption,
    SelectDriverCancel,
};

QString VideoCamText(TVideoCamText text, bool english);

// The refusal of SetVideoFormat, with the values as the caller passed them.
QString VideoFormatNotValidText(int width, int height, unsigned bitCount, bool english);

// Why the camera `name` could not be opened, in words for the user; empty
// when it was.
QString OpenFailureText(const OpenResult& result, const QString& name, bool english);
