// The options window's "Cameras" page: the user's network cameras, listed by
// name only. The list is live like every other setting: the driver list
// follows an edit at once, OK and Apply save it.
#include "TFormOptions.h"

#include "OptionsWidgets.h"
#include "ShowMessageBox.h"
#include "TDlgNetworkCamera.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using namespace OptionsWidgets;

QWidget* TFormOptions::BuildCamerasPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheetCameras"));
    setHelp(page, -42100);
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(10, 10, 10, 8);
    column->addWidget(
        new QLabel(QStringLiteral("Network cameras (RTSP, HTTP MJPEG, recordings):"), page));
    auto* row = new QHBoxLayout;
    ListBoxCameras = new QListWidget(page);
    ListBoxCameras->setObjectName(QStringLiteral("ListBoxCameras"));
    setHint(ListBoxCameras, QStringLiteral("Network cameras offered in the driver list"));
    setHelp(ListBoxCameras, 42110);
    row->addWidget(ListBoxCameras, 1);
    auto* buttons = new QVBoxLayout;
    const auto button = [&](const char* name, const QString& caption, const QString& hint) {
        auto* b = new QPushButton(caption, page);
        b->setObjectName(QString::fromLatin1(name));
        setHint(b, hint);
        setHelp(b, 42110);
        buttons->addWidget(b);
        return b;
    };
    BitBtnCameraAdd = button("BitBtnCameraAdd", QStringLiteral("A&dd..."),
                             QStringLiteral("Add a network camera"));
    BitBtnCameraChange = button("BitBtnCameraChange", QStringLiteral("C&hange..."),
                                QStringLiteral("Change the camera's name or address"));
    BitBtnCameraRemove = button("BitBtnCameraRemove", QStringLiteral("Re&move"),
                                QStringLiteral("Remove the camera from the list"));
    buttons->addStretch(1);
    row->addLayout(buttons);
    column->addLayout(row, 1);

    connect(BitBtnCameraAdd, &QPushButton::clicked, this, &TFormOptions::BitBtnCameraAddClick);
    connect(BitBtnCameraChange, &QPushButton::clicked, this,
            &TFormOptions::BitBtnCameraChangeClick);
    connect(BitBtnCameraRemove, &QPushButton::clicked, this,
            &TFormOptions::BitBtnCameraRemoveClick);
    connect(ListBoxCameras, &QListWidget::itemDoubleClicked, this,
            &TFormOptions::BitBtnCameraChangeClick);
    connect(ListBoxCameras, &QListWidget::currentRowChanged, this,
            &TFormOptions::UpdateCameraButtons);
    return page;
}

void TFormOptions::SetNetworkCameras(const QList<TNetworkCamera>& cameras)
{
    networkCameras_ = cameras;
    const int row = ListBoxCameras->currentRow();
    ListBoxCameras->clear();
    for (const TNetworkCamera& c : networkCameras_)
        ListBoxCameras->addItem(CameraListText(c));
    ListBoxCameras->setCurrentRow(std::min(row, int(ListBoxCameras->count()) - 1));
    UpdateCameraButtons();
    if (OnNetworkCamerasChanged)
        OnNetworkCamerasChanged(networkCameras_);
}

void TFormOptions::UpdateCameraButtons()
{
    const bool chosen = ListBoxCameras->currentRow() >= 0;
    BitBtnCameraAdd->setEnabled(networkCameras_.size() < kMaxNetworkCameras);
    BitBtnCameraChange->setEnabled(chosen);
    BitBtnCameraRemove->setEnabled(chosen);
}

void TFormOptions::EditNetworkCamera(int row)
{
    TDlgNetworkCamera dialog(row >= 0 ? networkCameras_[row] : TNetworkCamera{}, this);
    for (;;) {
        if (dialog.exec() != QDialog::Accepted)
            return;
        const QString problem = CameraNameProblem(
            dialog.Camera().Name, OtherDriverNames ? OtherDriverNames() : QStringList(),
            networkCameras_, row);
        if (problem.isEmpty())
            break;
        ShowMessageBox(this, problem, MkWarning, MbOk);
    }
    QList<TNetworkCamera> cameras = networkCameras_;
    if (row >= 0)
        cameras[row] = dialog.Camera();
    else
        cameras.append(dialog.Camera());
    SetNetworkCameras(cameras);
    ListBoxCameras->setCurrentRow(row >= 0 ? row : int(cameras.size()) - 1);
    AControlChange();
}

void TFormOptions::BitBtnCameraAddClick()
{
    if (networkCameras_.size() < kMaxNetworkCameras)
        EditNetworkCamera(-1);
}

void TFormOptions::BitBtnCameraChangeClick()
{
    if (ListBoxCameras->currentRow() >= 0)
        EditNetworkCamera(ListBoxCameras->currentRow());
}

void TFormOptions::BitBtnCameraRemoveClick()
{
    const int row = ListBoxCameras->currentRow();
    if (row < 0)
        return;
    QList<TNetworkCamera> cameras = networkCameras_;
    cameras.removeAt(row);
    SetNetworkCameras(cameras);
    AControlChange();
}
