#pragma once

#include "TBrowseEdit.h"

#include <functional>

// A folder field with a browse button. The field cannot be typed into: a
// folder comes only from the browse dialog, so it always names one that
// existed when chosen.
class TDirectoryEdit final : public TBrowseEdit
{
    Q_OBJECT

public:
    explicit TDirectoryEdit(QWidget* parent = nullptr);

    // The folder the browse dialog opens in.
    QString InitialDir;
    QString DialogText = QStringLiteral("Select folder");

    // Asked before the dialog opens; may change InitialDir.
    std::function<void()> OnBeforeDialog;
    // Asked after a confirmed dialog with the chosen folder; may change it,
    // and clears `accept` to keep the field as it was.
    std::function<void(QString& folder, bool& accept)> OnAfterDialog;
    // The dialog itself (tests replace it): returns the chosen folder, or an
    // empty text when the user cancelled.
    std::function<QString(QWidget* parent, const QString& title, const QString& start)> Dialog;

    void Browse() override;
};
