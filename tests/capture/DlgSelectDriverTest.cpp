#include "ModalAnswerer.h"
#include "VideoCamFixture.h"

#include "TDlgSelectDriver.h"

#include <QListWidget>
#include <QPushButton>

namespace {

// Runs SelectDriver and lets `answer` work the dialog; returns what it saw.
struct Seen
{
    QString caption;
    QString cancel;
    QStringList items;
    int selected = -2;
    bool okEnabled = true;
};

Seen RunSelect(TVideoCam& cam, const std::function<void(TDlgSelectDriver*)>& answer)
{
    Seen seen;
    ModalAnswerer answerer([&](QWidget* modal) {
        auto* dialog = qobject_cast<TDlgSelectDriver*>(modal);
        if (!dialog) {
            modal->close();
            return;
        }
        seen.caption = dialog->windowTitle();
        seen.cancel = dialog->findChild<QPushButton*>("BitBtnCancel")->text();
        auto* list = dialog->findChild<QListWidget*>("ListBoxDrivers");
        for (int i = 0; i < list->count(); ++i)
            seen.items << list->item(i)->text();
        seen.selected = dialog->SelectedPosition();
        seen.okEnabled = dialog->findChild<QPushButton*>("BitBtnOK")->isEnabled();
        answer(dialog);
    });
    cam.SelectDriver();
    EXPECT_TRUE(answerer.answered());
    return seen;
}

} // namespace

TEST_F(VideoCamFixture, DriverDialogListsPresentDriversAndTakesTheChoice)
{
    driver->setDriver(3, QStringLiteral("Camera D"));
    cam->SetDispositif(1);
    const Seen seen = RunSelect(*cam, [](TDlgSelectDriver* d) {
        d->ListBoxDrivers->setCurrentRow(2);
        d->BitBtnOK->click();
    });
    EXPECT_EQ(seen.caption, "Video driver selection");
    EXPECT_EQ(seen.cancel, "Cancel");
    EXPECT_EQ(seen.items, (QStringList{"Camera A", "Camera B", "Camera D"}));
    EXPECT_EQ(seen.selected, 1);
    EXPECT_TRUE(seen.okEnabled);
    // The list position is taken as the index, as the dialog always did.
    EXPECT_EQ(cam->DriverName(), "Camera D");
    EXPECT_EQ(cam->Dispositif(), 2);
}

TEST_F(VideoCamFixture, DriverDialogCancelChangesNothingAndKeepsTheConnection)
{
    Connect(QStringLiteral("Camera B"));
    cam->SetEnglishMessages(false);
    const Seen seen = RunSelect(*cam, [](TDlgSelectDriver* d) {
        d->ListBoxDrivers->setCurrentRow(0);
        d->BitBtnCancel->click();
    });
    EXPECT_EQ(seen.caption, QString::fromUtf8("Sélection du pilote de la caméra vidéo"));
    EXPECT_EQ(seen.cancel, "Annuler");
    EXPECT_EQ(cam->DriverName(), "Camera B");
    EXPECT_TRUE(cam->Active());
}

TEST_F(VideoCamFixture, DriverDialogWithoutDriversKeepsOkDisabled)
{
    driver->removeDriver(0);
    driver->removeDriver(1);
    const Seen seen = RunSelect(*cam, [](TDlgSelectDriver* d) { d->close(); });
    EXPECT_TRUE(seen.items.isEmpty());
    EXPECT_EQ(seen.selected, -1);
    EXPECT_FALSE(seen.okEnabled);
    EXPECT_EQ(cam->Dispositif(), -1);
    EXPECT_TRUE(cam->DriverName().isEmpty());
}

TEST(DlgSelectDriver, OkFollowsTheSelection)
{
    TDlgSelectDriver dialog(nullptr, true);
    EXPECT_EQ(dialog.size(), QSize(384, 179));
    dialog.SetDrivers({"A", "B"}, 5); // past the end: nothing selected
    EXPECT_FALSE(dialog.BitBtnOK->isEnabled());
    dialog.ListBoxDrivers->setCurrentRow(1);
    EXPECT_TRUE(dialog.BitBtnOK->isEnabled());
    dialog.ListBoxDrivers->clearSelection();
    EXPECT_FALSE(dialog.BitBtnOK->isEnabled());
}
