#include "TDesktopNotifier.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdint>

TEST(DesktopNotifier, ABurstOfDetectionsIsOneNoticeEvenAcrossTheTickWrap)
{
    TDesktopNotifier notifier;
    EXPECT_TRUE(notifier.FirstAfterQuiet(5000)) << "the first detection of the run";
    EXPECT_FALSE(notifier.FirstAfterQuiet(30000));
    // Each detection restarts the quiet minute: 59 s after the last is still the burst.
    EXPECT_FALSE(notifier.FirstAfterQuiet(89000));
    EXPECT_TRUE(notifier.FirstAfterQuiet(89000 + TDesktopNotifier::kQuietMs));

    // The tick counter wraps at 2^32 milliseconds (49.7 days).
    const std::uint32_t late = 0xFFFFFFFFu - 10000;
    TDesktopNotifier wrapping;
    EXPECT_TRUE(wrapping.FirstAfterQuiet(late));
    EXPECT_FALSE(wrapping.FirstAfterQuiet(late + 30000)) << "30 s later, past the wrap";
    EXPECT_TRUE(wrapping.FirstAfterQuiet(late + 30000 + TDesktopNotifier::kQuietMs));
}

TEST(DesktopNotifier, TheThumbnailKeepsThePicturesProportionsWithin160By120)
{
    QImage wide(352, 144, QImage::Format_RGB32);
    wide.fill(qRgb(10, 200, 30));
    const QImage thumb = TDesktopNotifier::Thumbnail(wide);
    EXPECT_EQ(thumb.size(), QSize(160, 65));
    EXPECT_EQ(thumb.format(), QImage::Format_RGB888) << "the protocol's RGB rows";
    EXPECT_EQ(thumb.pixelColor(80, 30), QColor(10, 200, 30));

    QImage small(80, 60, QImage::Format_RGB32);
    small.fill(Qt::white);
    EXPECT_EQ(TDesktopNotifier::Thumbnail(small).size(), QSize(80, 60)) << "never enlarged";
    EXPECT_TRUE(TDesktopNotifier::Thumbnail(QImage()).isNull());
}
