#include "TDlgNetworkCamera.h"

#include "DialogButtons.h"
#include "ShowMessageBox.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TDlgNetworkCamera::TDlgNetworkCamera(const TNetworkCamera& camera, QWidget* parent)
    : QDialog(parent), original_(AddressWithoutCredentials(camera.Address))
{
    setObjectName(QStringLiteral("TDlgNetworkCamera"));
    setWindowTitle(camera.Name.isEmpty() ? QStringLiteral("Add a network camera")
                                         : QStringLiteral("Change a network camera"));
    EditName = new QLineEdit(camera.Name, this);
    EditName->setObjectName(QStringLiteral("EditName"));
    EditName->setMaxLength(kMaxCameraName);
    EditName->setStatusTip(QStringLiteral("The name shown for the camera"));
    EditAddress = new QLineEdit(AddressWithoutCredentials(camera.Address), this);
    EditAddress->setObjectName(QStringLiteral("EditAddress"));
    EditAddress->setPlaceholderText(QStringLiteral("rtsp://192.168.1.20:554/stream1"));
    EditAddress->setStatusTip(QStringLiteral(
        "rtsp://, rtsps://, http:// or https:// (MJPEG), or file:// for a recording"));
    EditAddress->setMinimumWidth(320);
    EditUser = new QLineEdit(AddressUser(camera.Address), this);
    EditUser->setObjectName(QStringLiteral("EditUser"));
    EditPassword = new QLineEdit(AddressPassword(camera.Address), this);
    EditPassword->setObjectName(QStringLiteral("EditPassword"));
    EditPassword->setEchoMode(QLineEdit::Password);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Name:"), EditName);
    form->addRow(QStringLiteral("&Address:"), EditAddress);
    form->addRow(QStringLiteral("&User:"), EditUser);
    form->addRow(QStringLiteral("Pass&word:"), EditPassword);
    const TDialogButtons buttons = MakeDialogButtons(this);
    BitBtnOK = buttons.OK;
    BitBtnCancel = buttons.Cancel;
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons.Box);
}

TNetworkCamera TDlgNetworkCamera::Camera() const
{
    // A user name and password typed into the address count as typed apart.
    const QString typed = EditAddress->text().trimmed();
    const QString user = EditUser->text().isEmpty() ? AddressUser(typed) : EditUser->text();
    const QString password =
        EditPassword->text().isEmpty() ? AddressPassword(typed) : EditPassword->text();
    return {EditName->text().trimmed(), AddressWithCredentials(typed, user, password)};
}

void TDlgNetworkCamera::accept()
{
    // The address is checked as it is entered; the dialog stays for a fix.
    if (EditName->text().trimmed().isEmpty()) {
        ShowMessageBox(this, QStringLiteral("The camera needs a name"), MkWarning, MbOk);
        return;
    }
    // A recording that is missing now may come back (a disk not mounted):
    // the camera may still be renamed while its address stays.
    const QString address = EditAddress->text().trimmed();
    const bool keptMissing = !original_.isEmpty() && RecordingMissing(address) &&
                             AddressWithoutCredentials(address) == original_;
    const QString problem = CameraAddressProblem(address);
    if (!problem.isEmpty() && !keptMissing) {
        ShowMessageBox(this, problem, MkWarning, MbOk);
        return;
    }
    QDialog::accept();
}
