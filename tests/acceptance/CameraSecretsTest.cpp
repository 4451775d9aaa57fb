// Network cameras' passwords and names as a user meets them on the "Cameras"
// page: a password typed there kept in the desktop's keyring (or, without
// one, in a settings file no one else may read), a recording whose disk is
// not there kept, and a camera named like another video driver refused.
#include "Program.h"

#include "DataPaths.h"
#include "TDlgNetworkCamera.h"
#include "TFormOptions.h"
#include "TestKeyring.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace {

constexpr QFileDevice::Permissions kOthers = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                             QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                             QFileDevice::WriteOther | QFileDevice::ExeOther;

const QString kSecret = QStringLiteral("Gr4nite-Gate");

class CameraSecrets : public ::testing::Test
{
protected:
    // "A&dd..." on the Cameras page, the dialog filled in by typing.
    void AddCamera(const QString& name, const QString& address, const QString& user = {},
                   const QString& password = {})
    {
        ModalScript add({FillCameraDialog(app, name, address, user, password)});
        app.Click(QStringLiteral("BitBtnCameraAdd"), Qt::LeftButton, {}, &app.Options());
        ASSERT_EQ(add.Done(), 1);
    }
    void OK() { app.Click(QStringLiteral("BitBtnOK"), Qt::LeftButton, {}, &app.Options()); }
    // Every line of every settings file that holds `text`.
    QStringList LinesWith(const QString& text) const
    {
        QStringList found;
        for (const QString& file : QDir(app.dir.path()).entryList(QDir::Files)) {
            for (const QString& line : QString::fromUtf8(app.dir.read(file)).split('\n')) {
                if (line.contains(text))
                    found << file + ": " + line.trimmed();
            }
        }
        return found;
    }
    QFileDevice::Permissions OthersMay(const QString& file) const
    {
        return QFile::permissions(app.dir.file(file)) & kOthers;
    }
    QStringList Listed() const
    {
        QStringList items;
        for (int i = 0; i < app.Options().ListBoxCameras->count(); ++i)
            items << app.Options().ListBoxCameras->item(i)->text();
        return items;
    }

    Program app;
};

// The keyring (or its absence) outlives the program's window.
struct KeyringAround
{
    TestKeyring keyring;
};
struct NoKeyringAround
{
    NoKeyring none;
};

class CameraSecretsWithKeyring : protected KeyringAround, public CameraSecrets
{
};

class CameraSecretsWithoutKeyring : protected NoKeyringAround, public CameraSecrets
{
};

} // namespace

TEST_F(CameraSecretsWithKeyring, APasswordTypedOnTheCamerasPageIsKeptInTheKeyringAndInNoFile)
{
    if (!keyring.Running())
        GTEST_SKIP() << "no keyring daemon could run here: " << keyring.Error().toStdString();
    app.Start();
    app.OpenOptionsPage(QStringLiteral("Cameras"));
    AddCamera(QStringLiteral("Gate"), QStringLiteral("rtsp://127.0.0.1:8554/live"),
              QStringLiteral("admin"), kSecret);
    OK();

    EXPECT_EQ(keyring.Password(DataPaths().Param, QStringLiteral("Gate")), kSecret);
    EXPECT_EQ(LinesWith(kSecret), QStringList());
    EXPECT_EQ(app.Stored("iLXLE_PARAM.DAT", "Address1", "Cameras"),
              "rtsp://admin@127.0.0.1:8554/live");

    // Read back from the settings, the camera has its password again.
    app.OpenOptionsPage(QStringLiteral("Cameras"));
    app.Click(QStringLiteral("BitBtnCancel"), Qt::LeftButton, {}, &app.Options());
    ASSERT_EQ(app.Options().NetworkCameras().size(), 1);
    EXPECT_EQ(app.Options().NetworkCameras()[0].Address,
              "rtsp://admin:" + kSecret + "@127.0.0.1:8554/live");
}

TEST_F(CameraSecretsWithoutKeyring, APasswordTypedOnTheCamerasPageIsInAFileOnlyItsOwnerReads)
{
    app.Start();
    app.OpenOptionsPage(QStringLiteral("Cameras"));
    AddCamera(QStringLiteral("Gate"), QStringLiteral("rtsp://127.0.0.1:8554/live"),
              QStringLiteral("admin"), kSecret);
    OK();

    EXPECT_EQ(LinesWith(kSecret), QStringList{"iLXLE_PARAM.DAT: Address1=rtsp://admin:" + kSecret +
                                              "@127.0.0.1:8554/live"});
    EXPECT_EQ(OthersMay("iLXLE_PARAM.DAT"), QFileDevice::Permissions());
}

TEST_F(CameraSecretsWithoutKeyring, ASettingsFileOthersCouldReadIsClosedToThemAtStart)
{
    app.Store("iLXLE_PARAM.DAT", "Count", "1", "Cameras");
    app.Store("iLXLE_PARAM.DAT", "Name1", "Gate", "Cameras");
    app.Store("iLXLE_PARAM.DAT", "Address1", "rtsp://admin:" + kSecret + "@127.0.0.1/live",
              "Cameras");
    QFile::setPermissions(app.dir.file("iLXLE_PARAM.DAT"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                              QFileDevice::ReadGroup | QFileDevice::ReadOther);
    ASSERT_NE(OthersMay("iLXLE_PARAM.DAT"), QFileDevice::Permissions());
    app.Start();
    EXPECT_EQ(OthersMay("iLXLE_PARAM.DAT"), QFileDevice::Permissions());
    EXPECT_EQ(app.Stored("iLXLE_PARAM.DAT", "Address1", "Cameras"),
              "rtsp://admin:" + kSecret + "@127.0.0.1/live")
        << "no keyring answers: the file keeps it";
}

TEST_F(CameraSecretsWithoutKeyring, ARecordingWhoseFileIsMissingStaysListedAndStored)
{
    const QString address = "file://" + app.dir.file("usb-disk/yard.mkv");
    app.Store("iLXLE_PARAM.DAT", "Count", "1", "Cameras");
    app.Store("iLXLE_PARAM.DAT", "Name1", "Yard", "Cameras");
    app.Store("iLXLE_PARAM.DAT", "Address1", address, "Cameras");
    app.Start();
    app.OpenOptionsPage(QStringLiteral("Cameras"));
    EXPECT_EQ(Listed(), QStringList{"Yard (recording missing)"});

    // Another setting changed and saved: the camera stays, under its own name.
    app.OpenOptionsPage(QStringLiteral("Scan"));
    app.Click(QStringLiteral("CheckBoxPause"), Qt::LeftButton, {}, &app.Options());
    OK();
    EXPECT_EQ(app.Stored("iLXLE_PARAM.DAT", "Count", "Cameras"), "1");
    EXPECT_EQ(app.Stored("iLXLE_PARAM.DAT", "Name1", "Cameras"), "Yard");
    EXPECT_EQ(app.Stored("iLXLE_PARAM.DAT", "Address1", "Cameras"), address);
}

class ACameraNamedLikeAnotherDriver : public CameraSecretsWithoutKeyring,
                                      public ::testing::WithParamInterface<const char*>
{
};

TEST_P(ACameraNamedLikeAnotherDriver, IsRefusedWithAMessageThatNamesIt)
{
    // The scripted camera is the local driver "Cam"; the demo camera is
    // always a driver's name.
    const QString name = QString::fromLatin1(GetParam());
    app.Start();
    app.OpenOptionsPage(QStringLiteral("Cameras"));
    QString refused;
    ModalScript add({
        FillCameraDialog(app, name, QStringLiteral("rtsp://127.0.0.1:8554/live")),
        AnswerBoxOk(refused),
        {"TDlgNetworkCamera",
         [&](QWidget* d) {
             // The dialog is back with what was typed, for a fix.
             EXPECT_EQ(qobject_cast<TDlgNetworkCamera*>(d)->EditName->text(), name);
             qobject_cast<TDlgNetworkCamera*>(d)->reject();
         }},
    });
    app.Click(QStringLiteral("BitBtnCameraAdd"), Qt::LeftButton, {}, &app.Options());
    ASSERT_EQ(add.Done(), 3);
    EXPECT_TRUE(refused.contains("is the name of another video driver")) << refused.toStdString();
    EXPECT_TRUE(refused.contains(name, Qt::CaseInsensitive)) << refused.toStdString();
    EXPECT_EQ(Listed(), QStringList());
    OK();
    EXPECT_EQ(app.Stored("iLXLE_PARAM.DAT", "Name1", "Cameras"), "<none>");
}

INSTANTIATE_TEST_SUITE_P(CameraSecrets, ACameraNamedLikeAnotherDriver,
                         ::testing::Values("Demo camera (built-in test scene)", "cam"));
