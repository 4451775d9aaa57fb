#pragma once

#include "NetworkCameras.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

// Adding or changing one network camera: its name, its address, and apart
// from the address the user name and password, so the password is typed
// into a field that does not show it and never appears in the address.
class TDlgNetworkCamera final : public QDialog
{
    Q_OBJECT

public:
    explicit TDlgNetworkCamera(const TNetworkCamera& camera, QWidget* parent = nullptr);

    // The camera as entered; meaningful once the dialog was accepted.
    TNetworkCamera Camera() const;

    QLineEdit* EditName = nullptr;
    QLineEdit* EditAddress = nullptr;
    QLineEdit* EditUser = nullptr;
    QLineEdit* EditPassword = nullptr;
    QPushButton* BitBtnOK = nullptr;
    QPushButton* BitBtnCancel = nullptr;

    void accept() override;

private:
    QString original_; // the address as it came, to tell an unchanged one
};
