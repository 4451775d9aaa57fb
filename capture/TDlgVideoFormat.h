#pragma once

#include <QDialog>
#include <QList>
#include <QSize>

#include <cstdint>

class QComboBox;
class QListWidget;
class QPushButton;

// The capture driver's format dialog: the frame sizes the source offers and
// the bit depth. It only chooses; the driver applies the choice.
class TDlgVideoFormat : public QDialog
{
    Q_OBJECT

public:
    TDlgVideoFormat(const QList<QSize>& sizes, QSize current, std::uint16_t bitCount,
                    QWidget* parent = nullptr);

    QSize chosenSize() const;
    std::uint16_t chosenBitCount() const;
    // The driver would not take the choice: say so.
    void reportRefused();

    QListWidget* ListBoxSizes;
    QComboBox* ComboBoxBitCount;
    QPushButton* BitBtnOK;
    QPushButton* BitBtnCancel;

private:
    QList<QSize> sizes_;
};
