#pragma once

#include "TBrowseEdit.h"

#include <functional>

// A file field with a browse button; the browse dialog only accepts a file
// that exists, in a folder that exists.
class TFilenameEdit final : public TBrowseEdit
{
    Q_OBJECT

public:
    explicit TFilenameEdit(QWidget* parent = nullptr);

    QString InitialDir;
    QString DialogTitle = QStringLiteral("Select...");
    QString Filter = QStringLiteral("Sound file (*.wav)");

    // The dialog itself (tests replace it): the chosen file, or empty.
    std::function<QString(QWidget* parent, const QString& title, const QString& start,
                          const QString& filter)>
        Dialog;

    void Browse() override;
};
