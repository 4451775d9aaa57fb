#include "CaptureRecords.h"

#include <QtEndian>

#include <gtest/gtest.h>

namespace {

std::uint32_t U32At(const QByteArray& b, int offset)
{
    return qFromLittleEndian<std::uint32_t>(b.constData() + offset);
}

} // namespace

TEST(CaptureRecords, FormatHeaderFieldsSitAtTheirFileOffsets)
{
    BitmapInfoHeader h;
    h.width = 352;
    h.height = -288;
    h.planes = 1;
    h.bitCount = 24;
    h.compression = 0x32595559; // a driver's own code travels unchanged
    h.sizeImage = 304128;
    h.xPelsPerMeter = 2835;
    h.clrUsed = 7;
    const QByteArray b = h.toBytes();
    ASSERT_EQ(b.size(), 40);
    EXPECT_EQ(U32At(b, 0), 40u);
    EXPECT_EQ(U32At(b, 4), 352u);
    EXPECT_EQ(qint32(U32At(b, 8)), -288);
    EXPECT_EQ(qFromLittleEndian<quint16>(b.constData() + 14), 24);
    EXPECT_EQ(U32At(b, 16), 0x32595559u);
    EXPECT_EQ(U32At(b, 32), 7u);
    EXPECT_EQ(BitmapInfoHeader::fromBytes(b), h);
}

TEST(CaptureRecords, ShortRecordsAreRefusedNotReadPastTheirEnd)
{
    EXPECT_FALSE(BitmapInfoHeader::fromBytes(QByteArray(39, 'x')));
    EXPECT_FALSE(VideoFormat::fromBytes(QByteArray()));
    EXPECT_FALSE(CaptureParams::fromBytes(QByteArray(91, '\0')));
    EXPECT_FALSE(WaveFormat::fromBytes(QByteArray(19, '\0')));
    EXPECT_FALSE(DriverCaps::fromBytes(QByteArray(43, '\0')));
}

TEST(CaptureRecords, VideoFormatKeepsItsColourTable)
{
    VideoFormat f;
    f.header.width = 160;
    f.header.height = 120;
    f.header.bitCount = 8;
    f.colourData = QByteArray(1024, '\x5a');
    const QByteArray b = f.toBytes();
    EXPECT_EQ(b.size(), 40 + 1024);
    EXPECT_EQ(f.byteSize(), b.size());
    EXPECT_EQ(VideoFormat::fromBytes(b), f);
}

TEST(CaptureRecords, CaptureParamsWrittenFieldsAtTheirOffsetsAndOthersKept)
{
    QByteArray raw(92, '\0');
    for (int i = 0; i < 92; i += 4)
        qToLittleEndian<std::uint32_t>(std::uint32_t(1000 + i), raw.data() + i);
    auto p = CaptureParams::fromBytes(raw);
    ASSERT_TRUE(p);
    p->requestMicroSecPerFrame = 41666;
    p->yield = 1;
    p->captureAudio = 0;
    p->keyAbort = 27;
    p->abortLeftMouse = 0;
    p->abortRightMouse = 0;
    p->limitEnabled = 1;
    p->timeLimit = 65535;
    p->mciControl = 0;
    const QByteArray out = p->toBytes();
    ASSERT_EQ(out.size(), 92);
    const std::map<int, std::uint32_t> written = {
        {0, 41666}, {12, 1}, {32, 0}, {40, 27}, {44, 0}, {48, 0}, {52, 1}, {56, 65535}, {60, 0}};
    for (int offset = 0; offset < 92; offset += 4) {
        const auto it = written.find(offset);
        const std::uint32_t expected = it != written.end() ? it->second : 1000u + offset;
        EXPECT_EQ(U32At(out, offset), expected) << "offset " << offset;
    }
}

TEST(CaptureRecords, AudioFormatLayoutAndCapabilityFlags)
{
    WaveFormat w;
    w.channels = 2;
    w.samplesPerSec = 22050;
    w.bitsPerSample = 16;
    w.blockAlign = 4;
    w.avgBytesPerSec = 88200;
    const QByteArray b = w.toBytes();
    ASSERT_EQ(b.size(), 20);
    EXPECT_EQ(qFromLittleEndian<quint16>(b.constData() + 2), 2);
    EXPECT_EQ(U32At(b, 4), 22050u);
    EXPECT_EQ(U32At(b, 8), 88200u);
    EXPECT_EQ(qFromLittleEndian<quint16>(b.constData() + 12), 4);
    EXPECT_EQ(qFromLittleEndian<quint16>(b.constData() + 14), 16);
    EXPECT_EQ(WaveFormat::fromBytes(b), w);

    DriverCaps c;
    c.hasDlgVideoSource = 1;
    c.hasDlgVideoDisplay = 1;
    const QByteArray cb = c.toBytes();
    ASSERT_EQ(cb.size(), 44);
    EXPECT_EQ(U32At(cb, 4), 0u);
    EXPECT_EQ(U32At(cb, 8), 1u);
    EXPECT_EQ(U32At(cb, 12), 0u);
    EXPECT_EQ(U32At(cb, 16), 1u);
}
