#include "CameraModes.h"

#include <gst/gst.h>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct CapsUnref
{
    void operator()(GstCaps* c) const { gst_caps_unref(c); }
};

QList<QSize> ModesOf(const char* caps)
{
    if (!gst_is_initialized())
        gst_init(nullptr, nullptr);
    std::unique_ptr<GstCaps, CapsUnref> c(gst_caps_from_string(caps));
    return CameraModes::ModesOfCaps(c.get());
}

} // namespace

TEST(CameraModes, ReadsFixedListedAndRangedSizesOnceEach)
{
    // A typical webcam: raw at two sizes, JPEG at the same and a larger one.
    EXPECT_EQ(ModesOf("video/x-raw,format=YUY2,width=640,height=480;"
                      "video/x-raw,format=YUY2,width=320,height=240;"
                      "image/jpeg,width=640,height=480;"
                      "image/jpeg,width=1280,height=720"),
              (QList<QSize>{{320, 240}, {640, 480}, {1280, 720}}));
    EXPECT_EQ(ModesOf("video/x-raw,width={ 176, 352 },height=144"),
              (QList<QSize>{{176, 144}, {352, 144}}));
    // A range offers the common sizes inside it, not every integer.
    EXPECT_EQ(ModesOf("video/x-raw,width=[ 160, 352 ],height=[ 120, 288 ]"),
              (QList<QSize>{{160, 120}, {176, 144}, {320, 240}, {352, 288}}));
    EXPECT_TRUE(ModesOf("ANY").isEmpty());
    EXPECT_TRUE(ModesOf("video/x-raw,format=RGB").isEmpty());
    EXPECT_TRUE(ModesOf("video/x-raw,width=0,height=480").isEmpty());
    EXPECT_TRUE(CameraModes::ModesOfCaps(nullptr).isEmpty());
}

TEST(CameraModes, ACameraWithOnlyLargeModesStillOffersTheProgramsSizes)
{
    const QList<QSize> offered = CameraModes::Offered({{640, 480}, {1280, 720}});
    EXPECT_EQ(
        offered,
        (QList<QSize>{{160, 120}, {176, 144}, {320, 240}, {352, 288}, {640, 480}, {1280, 720}}));
    // A small camera is not offered sizes above what it has.
    EXPECT_EQ(CameraModes::Offered({{176, 144}}), (QList<QSize>{{160, 120}, {176, 144}}));
    // Nothing known: the common sizes up to 640 x 480.
    EXPECT_EQ(CameraModes::Offered({}).size(), 5);
}

TEST(CameraModes, EachSizeIsMadeFromTheSmallestModeThatHoldsIt)
{
    const QList<QSize> modes = {{320, 240}, {640, 480}, {1280, 720}};
    EXPECT_EQ(CameraModes::ModeFor(modes, {176, 144}), QSize(320, 240));
    EXPECT_EQ(CameraModes::ModeFor(modes, {320, 240}), QSize(320, 240));
    EXPECT_EQ(CameraModes::ModeFor(modes, {352, 288}), QSize(640, 480));
    EXPECT_EQ(CameraModes::ModeFor(modes, {1920, 1080}), QSize(1280, 720)); // scaled up
    EXPECT_EQ(CameraModes::ModeFor({}, {352, 288}), QSize());

    EXPECT_EQ(CameraModes::StartSize({{320, 240}, {640, 480}, {1280, 720}}), QSize(640, 480));
    EXPECT_EQ(CameraModes::StartSize({{176, 144}, {352, 288}, {1280, 720}}), QSize(352, 288));
    EXPECT_EQ(CameraModes::StartSize({{1280, 720}, {1920, 1080}}), QSize(1280, 720));
}
