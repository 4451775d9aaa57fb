#include "VideoCamFixture.h"

#include <QStringList>

namespace {

QStringList Filtered(const QStringList& calls, const QString& prefix)
{
    QStringList out;
    for (const QString& c : calls)
        if (c.startsWith(prefix))
            out << c;
    return out;
}

} // namespace

TEST_F(VideoCamFixture, DriverNameWritesFollowThePresentDrivers)
{
    cam->SetDriverName(QStringLiteral("Camera B"));
    EXPECT_EQ(cam->DriverName(), "Camera B");
    EXPECT_EQ(cam->Dispositif(), 1);

    // The same name again does nothing, even when that driver has gone.
    driver->removeDriver(1);
    cam->SetDriverName(QStringLiteral("Camera B"));
    EXPECT_EQ(cam->Dispositif(), 1);

    // Names are compared exactly; an unknown one leaves no driver chosen.
    cam->SetDriverName(QStringLiteral("camera a"));
    EXPECT_EQ(cam->DriverName(), "(none)");
    EXPECT_EQ(cam->Dispositif(), -1);
    EXPECT_EQ(ErrorOf([&] { cam->SetActive(true); }),
              "Unable to activate video\nThe driver is not selected !");
    EXPECT_FALSE(cam->Active());
}

TEST_F(VideoCamFixture, TwoDriversOfOneNameSettleOnTheHigherIndex)
{
    driver->setDriver(4, QStringLiteral("Camera A"));
    cam->SetDriverName(QStringLiteral("Camera A"));
    EXPECT_EQ(cam->Dispositif(), 4);
}

TEST_F(VideoCamFixture, DispositifWritesTakeOnlyPresentIndexes)
{
    cam->SetDispositif(1);
    EXPECT_EQ(cam->DriverName(), "Camera B");
    cam->SetDispositif(7); // nobody there
    EXPECT_EQ(cam->Dispositif(), 1);
    EXPECT_EQ(cam->DriverName(), "Camera B");
    cam->SetDispositif(-1);
    EXPECT_EQ(cam->DriverName(), "(none)");
    EXPECT_EQ(cam->Dispositif(), -1);
}

TEST_F(VideoCamFixture, ChoosingAnotherDriverWhileActiveClosesWithoutDeactivateEvent)
{
    int deactivations = 0;
    cam->OnDeactivate = [&](TVideoCam*) {
        ++deactivations;
    };
    Connect();
    cam->SetDriverName(QStringLiteral("Camera B"));
    EXPECT_FALSE(cam->Active());
    EXPECT_EQ(cam->HndPreview(), 0);
    EXPECT_FALSE(driver->hasSession());
    EXPECT_EQ(deactivations, 0);
}

TEST_F(VideoCamFixture, OnlyAChangeOfActiveFailsWithoutADriver)
{
    cam->SetActive(false); // same value: nothing, even with no driver chosen
    EXPECT_TRUE(driver->calls().isEmpty());
    EXPECT_EQ(ErrorOf([&] { cam->SetActive(true); }),
              "Unable to activate video\nThe driver is not selected !");

    cam->SetEnglishMessages(false);
    EXPECT_EQ(
        ErrorOf([&] { cam->SetActive(true); }),
        QString::fromUtf8("Impossible d'activer la vidéo\nLe pilote n'a pas été sélectionné !"));

    // Active with the choice then cleared: only deactivating names the missing driver.
    cam->SetEnglishMessages(true);
    Connect();
    cam->SetDispositif(-1);
    EXPECT_EQ(ErrorOf([&] { cam->SetActive(false); }),
              "Unable to desactivate video\nThe driver is not selected !");
}

TEST_F(VideoCamFixture, ActivationTalksToTheDriverInOrder)
{
    int activations = 0;
    cam->OnActivate = [&](TVideoCam* sender) {
        EXPECT_EQ(sender, cam.get());
        EXPECT_TRUE(sender->Active());
        ++activations;
    };
    cam->SetFramesPreview(24);
    cam->SetDriverName(QStringLiteral("Camera B"));
    cam->SetActive(true);

    EXPECT_TRUE(cam->Active());
    EXPECT_TRUE(cam->Connected());
    EXPECT_NE(cam->HndPreview(), 0);
    EXPECT_EQ(activations, 1);
    EXPECT_EQ(driver->connectedIndex(), 1);
    EXPECT_TRUE(driver->previewOn());

    const QStringList calls = driver->calls();
    const QStringList expected{
        "createSession 320x240", "connect 1", "formatSize", "caps", "scale 1",
        "previewRate 41",        "preview 1"};
    QStringList seen;
    for (const QString& c : calls)
        if (expected.contains(c))
            seen << c;
    EXPECT_EQ(seen, expected);
    // Notifications come before the connection so the first errors are heard.
    EXPECT_LT(calls.indexOf("notify error 1"), calls.indexOf("connect 1"));

    // The stream-capture parameters: escape aborts, the mouse does not,
    // then the settings in their own order.
    const auto params = driver->writtenParams();
    ASSERT_TRUE(params);
    EXPECT_EQ(params->keyAbort, 27u);
    EXPECT_EQ(params->abortLeftMouse, 0u);
    EXPECT_EQ(params->abortRightMouse, 0u);
    EXPECT_EQ(params->mciControl, 0u);
    EXPECT_EQ(params->requestMicroSecPerFrame, 1000000u / 15);
    EXPECT_EQ(params->yield, 1u);
    EXPECT_EQ(params->captureAudio, 0u);
    EXPECT_EQ(params->limitEnabled, 0u);
}

TEST_F(VideoCamFixture, PreviewPeriodIsWholeMillisecondsPerFrame)
{
    for (const auto& [fps, ms] : {std::pair{24, 41}, std::pair{36, 27}, std::pair{12, 83}}) {
        cam->SetFramesPreview(fps);
        Connect();
        cam->SetActive(false);
        // The rate is a plain value: only the next start of the display mode uses it.
        cam->SetActive(true);
        EXPECT_TRUE(driver->calls().contains(QStringLiteral("previewRate %1").arg(ms))) << fps;
        cam->SetActive(false);
    }
}

TEST_F(VideoCamFixture, FailedConnectionLeavesNoCaptureWindow)
{
    driver->refuseConnect = true;
    cam->SetDriverName(QStringLiteral("Camera A"));
    EXPECT_EQ(ErrorOf([&] { cam->SetActive(true); }), "Unable to activate video");
    EXPECT_FALSE(cam->Active());
    EXPECT_EQ(cam->HndPreview(), 0);
    EXPECT_FALSE(driver->hasSession());
    EXPECT_FALSE(driver->hasErrorNotification());

    driver->refuseConnect = false;
    driver->failCreateSession = true;
    cam->SetEnglishMessages(false);
    EXPECT_EQ(ErrorOf([&] { cam->SetActive(true); }),
              QString::fromUtf8("Impossible d'activer la vidéo"));
    EXPECT_FALSE(cam->Active());
}

TEST_F(VideoCamFixture, ParametersNotWrittenMeansNotConnected)
{
    driver->failWriteParams = true;
    cam->SetDriverName(QStringLiteral("Camera A"));
    EXPECT_EQ(ErrorOf([&] { cam->SetActive(true); }), "Unable to activate video");
    EXPECT_FALSE(driver->hasSession());

    // Parameters that cannot be read at all do not stop the connection.
    driver->failWriteParams = false;
    driver->failReadParams = true;
    cam->SetActive(true);
    EXPECT_TRUE(cam->Active());
}

TEST_F(VideoCamFixture, FailingActivateHandlerClosesTheDriver)
{
    cam->OnActivate = [](TVideoCam*) {
        throw EIlxError(QStringLiteral("handler broke"));
    };
    cam->SetDriverName(QStringLiteral("Camera A"));
    EXPECT_EQ(ErrorOf([&] { cam->SetActive(true); }), "Unable to activate video");
    EXPECT_FALSE(cam->Active());
    EXPECT_FALSE(driver->hasSession());
    EXPECT_EQ(driver->connectedIndex(), -1);
}

TEST_F(VideoCamFixture, DeactivationClearsStatusBeforeDisconnecting)
{
    int deactivations = 0;
    cam->OnDeactivate = [&](TVideoCam* sender) {
        EXPECT_FALSE(sender->Active());
        ++deactivations;
    };
    Connect();
    cam->SetActive(false);
    EXPECT_EQ(deactivations, 1);
    EXPECT_FALSE(driver->hasSession());
    EXPECT_FALSE(driver->hasFrameNotification());
    const QStringList calls = driver->calls();
    EXPECT_LT(calls.lastIndexOf("notify status 0"), calls.indexOf("disconnect"));
    EXPECT_LT(calls.indexOf("disconnect"), calls.indexOf("destroySession"));
}

TEST_F(VideoCamFixture, NotificationsBecomeEvents)
{
    QStringList events;
    cam->OnError = [&](TVideoCam*, int hnd, int id, const QString& text) {
        EXPECT_EQ(hnd, cam->HndPreview());
        events << QStringLiteral("error %1 %2").arg(id).arg(text);
    };
    cam->OnStatus = [&](TVideoCam*, int, int id, const QString&) {
        events << QStringLiteral("status %1 %2").arg(id).arg(cam->Capturing());
    };
    cam->OnFrame = [&](TVideoCam*, int, const CaptureVideoHeader* h) {
        ASSERT_NE(h, nullptr);
        events << QStringLiteral("frame %1").arg(h->bytesUsed);
    };
    cam->OnYield = [&](TVideoCam*, int) {
        events << "yield";
    };
    cam->OnControl = [&](TVideoCam*, int, int state) {
        events << QStringLiteral("control %1").arg(state);
    };
    Connect();

    EXPECT_EQ(driver->emitError(0, QStringLiteral("cleared")), 1); // id 0: no event
    EXPECT_EQ(driver->emitError(5, QStringLiteral("camera unplugged")), 1);
    EXPECT_EQ(driver->emitStatus(300, {}), 0);
    EXPECT_EQ(driver->emitStatus(301, {}), 0);
    EXPECT_EQ(driver->emitFrame(), 1);
    EXPECT_EQ(driver->emitYield(), 1);
    EXPECT_EQ(driver->emitControl(2), 1);
    EXPECT_EQ(events,
              (QStringList{"error 5 camera unplugged", "status 300 1", "status 301 0",
                           QStringLiteral("frame %1").arg(320 * 240 * 3), "yield", "control 2"}));
    // The camera going away is an event, not the end of the component.
    EXPECT_TRUE(cam->Active());
}

TEST_F(VideoCamFixture, OverlayModeRaisesNoEvents)
{
    DriverCaps caps;
    caps.hasOverlay = 1;
    driver->setCaps(caps);
    int events = 0;
    cam->OnFrame = [&](TVideoCam*, int, const CaptureVideoHeader*) {
        ++events;
    };
    cam->OnError = [&](TVideoCam*, int, int, const QString&) {
        ++events;
    };
    cam->OnStatus = [&](TVideoCam*, int, int, const QString&) {
        ++events;
    };
    cam->OnYield = [&](TVideoCam*, int) {
        ++events;
    };
    Connect();
    cam->SetOverlay(true);
    EXPECT_TRUE(cam->Overlay());
    EXPECT_TRUE(cam->HasOverlay());
    EXPECT_TRUE(driver->overlayOn());
    driver->emitError(3, QStringLiteral("x"));
    driver->emitStatus(300, {});
    driver->emitYield();
    EXPECT_EQ(events, 0);

    // Back to preview: events flow again.
    cam->SetOverlay(false);
    EXPECT_TRUE(driver->previewOn());
    driver->emitFrame();
    EXPECT_EQ(events, 1);
}

TEST_F(VideoCamFixture, OverlayIsRefusedWithoutTheCapabilityOrAWindow)
{
    cam->SetOverlay(true); // no capture window: ignored
    EXPECT_FALSE(cam->Overlay());
    Connect();
    cam->SetOverlay(true); // the driver has none
    EXPECT_FALSE(cam->Overlay());
    EXPECT_FALSE(cam->HasOverlay());
    EXPECT_TRUE(driver->previewOn());
}

TEST_F(VideoCamFixture, SettingsWrittenWhileConnectedReachTheDriver)
{
    Connect();
    cam->SetFramesCapture(24);
    cam->SetTimeActivated(true);
    cam->SetSecond(70000); // beyond the 16-bit limit: held at its top
    cam->SetAudioCapture(true);
    const auto params = driver->writtenParams();
    ASSERT_TRUE(params);
    EXPECT_EQ(params->requestMicroSecPerFrame, 41666u);
    EXPECT_EQ(params->limitEnabled, 1u);
    EXPECT_EQ(params->timeLimit, 65535u);
    EXPECT_EQ(params->captureAudio, 1u);

    cam->SetPreviewScale(false);
    EXPECT_FALSE(driver->scale());

    cam->AudioOptions().SetChannel(TChannel::Stereo);
    cam->AudioOptions().SetBits(TBits::_16Bits);
    cam->AudioOptions().SetFrequency(THertz::_22050kHz);
    const WaveFormat audio = driver->currentAudioFormat();
    EXPECT_EQ(audio.channels, 2);
    EXPECT_EQ(audio.bitsPerSample, 16);
    EXPECT_EQ(audio.samplesPerSec, 22050u);
    EXPECT_EQ(audio.blockAlign, 4);
    EXPECT_EQ(audio.avgBytesPerSec, 88200u);
    EXPECT_EQ(audio.formatTag, 1); // the driver's tag stays
}

TEST_F(VideoCamFixture, ZeroFrameRatesCannotDivideByZero)
{
    cam->SetFramesPreview(0);
    cam->SetFramesCapture(-3);
    EXPECT_EQ(cam->FramesPreview(), 1);
    EXPECT_EQ(cam->FramesCapture(), 1);
    Connect();
    cam->SetActive(false);
    cam->SetActive(true);
    EXPECT_TRUE(driver->calls().contains("previewRate 1000"));
}

TEST_F(VideoCamFixture, DriverDialogsNeedTheCapability)
{
    cam->ShowFormatDialog(); // no capture window: nothing at all
    EXPECT_TRUE(driver->calls().isEmpty());

    Connect();
    cam->ShowFormatDialog();
    cam->ShowSourceDialog();
    EXPECT_EQ(Filtered(driver->calls(), "dialog"), (QStringList{"dialog format", "dialog source"}));
    EXPECT_TRUE(cam->HasFormatDialog());
    EXPECT_FALSE(cam->HasDisplayDialog());
    EXPECT_EQ(ErrorOf([&] { cam->ShowDisplayDialog(); }),
              "The device don't allow to select video display");

    driver->setCaps(DriverCaps{});
    EXPECT_EQ(ErrorOf([&] { cam->ShowFormatDialog(); }),
              "The device don't allow to select video format");
    cam->SetEnglishMessages(false);
    EXPECT_EQ(ErrorOf([&] { cam->ShowSourceDialog(); }),
              QString::fromUtf8("Le dispositif ne permet pas de sélectionner la source"));
}

TEST_F(VideoCamFixture, NotificationsAfterTheNewestComponentIsGoneAreHarmless)
{
    Connect();
    int errors = 0;
    cam->OnError = [&](TVideoCam*, int, int, const QString&) {
        ++errors;
    };
    {
        // Notifications go to the newest component; once it is destroyed they
        // must find nobody rather than a freed object.
        TVideoCam newer(nullptr, std::make_unique<ScriptedCaptureDriver>());
        EXPECT_EQ(TVideoCam::Instance(), &newer);
    }
    EXPECT_EQ(TVideoCam::Instance(), nullptr);
    EXPECT_EQ(driver->emitError(9, QStringLiteral("late")), 1);
    EXPECT_EQ(driver->emitFrame(), 1);
    EXPECT_EQ(errors, 0);
}
