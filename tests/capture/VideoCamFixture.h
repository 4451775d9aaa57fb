#pragma once

#include "EIlxError.h"
#include "ScriptedCaptureDriver.h"
#include "TVideoCam.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// A component over a scripted driver with two cameras, English texts, 320 x 240 view.
class VideoCamFixture : public ::testing::Test
{
protected:
    VideoCamFixture()
    {
        auto scripted = std::make_unique<ScriptedCaptureDriver>();
        driver = scripted.get();
        driver->setDriver(0, QStringLiteral("Camera A"));
        driver->setDriver(1, QStringLiteral("Camera B"));
        cam = std::make_unique<TVideoCam>(nullptr, std::move(scripted));
        cam->resize(320, 240);
        cam->SetEnglishMessages(true);
    }

    void Connect(const QString& name = QStringLiteral("Camera A"))
    {
        cam->SetDriverName(name);
        cam->SetActive(true);
        driver->clearCalls();
    }

    std::unique_ptr<TVideoCam> cam;
    ScriptedCaptureDriver* driver = nullptr;
};

// The message of the EIlxError that f raises; fails the test when none is raised.
inline QString ErrorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const EIlxError& e) {
        return e.message();
    }
    ADD_FAILURE() << "no EIlxError raised";
    return {};
}
