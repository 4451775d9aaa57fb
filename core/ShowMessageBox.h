#pragma once

#include <QPointer>
#include <QString>

class QMessageBox;
class QWidget;

// Kinds and button sets of ShowMessageBox, with the platform's result codes.
enum MessageKind
{
    MkWarning = 0,
    MkError = 1,
    MkInformation = 2,
    MkQuestion = 3
};
enum MessageButtons
{
    MbYesNo = 0,
    MbYesNoCancel = 1,
    MbOk = 2,
    MbOkCancel = 3,
    MbRetryCancel = 4,
};
enum MessageResult
{
    MrOk = 1,
    MrCancel = 2,
    MrRetry = 4,
    MrYes = 6,
    MrNo = 7
};

// Shows a modal message box captioned with the application title and returns
// the code of the button pressed. Any other kind shows no icon; any other
// button set shows OK alone.
// `handle`, when given, points at the box while it is up, so that what the box
// reports can close it once it is over (it answers OK then).
int ShowMessageBox(QWidget* owner, const QString& text, int kind, int buttons,
                   QPointer<QMessageBox>* handle = nullptr);
