#pragma once

class QDialog;
class QDialogButtonBox;
class QPushButton;

// The OK and Cancel buttons a small dialog of the program ends with, named
// BitBtnOK and BitBtnCancel, wired to the dialog's accept() and reject()
// (an override of accept() is the one called).
struct TDialogButtons
{
    QDialogButtonBox* Box = nullptr; // owned by the dialog; the caller lays it out
    QPushButton* OK = nullptr;
    QPushButton* Cancel = nullptr;
};

TDialogButtons MakeDialogButtons(QDialog* dialog, bool okIsDefault = true);
