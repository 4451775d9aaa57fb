#pragma once

#include "IgnoreMask.h"

#include <QDialog>
#include <QImage>

#include <functional>

class QPushButton;
class TIgnoreAreasEditor;

// "Areas to ignore": the areas the comparison leaves out, painted over the
// camera's picture as it is now. OK keeps them, Cancel leaves them as they were.
class TDlgIgnoreAreas final : public QDialog
{
    Q_OBJECT

public:
    TDlgIgnoreAreas(const ::IgnoreMask& areas, std::function<QImage()> picture,
                    QWidget* parent = nullptr);

    ::IgnoreMask Areas() const;

    TIgnoreAreasEditor* Editor = nullptr;
    QPushButton* BitBtnClearAreas = nullptr;
    QPushButton* BitBtnOK = nullptr;
    QPushButton* BitBtnCancel = nullptr;
};
