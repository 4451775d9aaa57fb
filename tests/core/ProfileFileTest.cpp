#include "ProfileFile.h"
#include "EIlxError.h"

#include "ScratchDir.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QString read(const ScratchDir& dir, const char* section, const char* key, const char* def = "?")
{
    return ReadProfileString(dir.file("a.ini"), section, key, def);
}

} // namespace

TEST(ProfileFile, MissingFileSectionOrKeyGivesTheDefault)
{
    ScratchDir dir;
    EXPECT_EQ(read(dir, "Setup", "Delta", "5"), "5");
    dir.write("a.ini", "[Other]\nDelta=9\n[Setup]\nSharpness=2\n");
    EXPECT_EQ(read(dir, "Setup", "Delta", "5"), "5");
    EXPECT_EQ(read(dir, "Nowhere", "Sharpness", "0"), "0");
    EXPECT_EQ(read(dir, "Other", "Delta"), "9");
}

TEST(ProfileFile, MatchesLikeTheClassicCallsDo)
{
    ScratchDir dir;
    dir.write("a.ini", "; a comment\r\n"
                       "  [ setup ]  \r\n"
                       ";Delta=1\r\n"
                       "  DELTA  =   12   \r\n"
                       "Delta=13\r\n"
                       "Wav=\"/tmp/my sound.wav\"\r\n"
                       "Empty=\r\n"
                       "NoEquals\r\n"
                       "Last=end");
    EXPECT_EQ(read(dir, "SETUP", "delta"), "12") << "case, blanks, CR LF, first of duplicates";
    EXPECT_EQ(read(dir, "Setup", "Wav"), "/tmp/my sound.wav");
    EXPECT_EQ(read(dir, "Setup", "Empty"), "");
    EXPECT_EQ(read(dir, "Setup", "NoEquals"), "?");
    EXPECT_EQ(read(dir, "Setup", "Last"), "end") << "last line without a line end";
}

TEST(ProfileFile, ReadsAtMost1023Characters)
{
    ScratchDir dir;
    dir.write("a.ini", "[Setup]\nWeb=" + QByteArray(5000, 'w') + "\n");
    EXPECT_EQ(read(dir, "Setup", "Web").size(), kProfileValueMax);
}

TEST(ProfileFile, WriteChangesOneKeyAndKeepsEveryOtherByte)
{
    ScratchDir dir;
    const QByteArray before = "; kept comment\r\n"
                              "[Setup]\r\n"
                              "Unknown = keep me \r\n"
                              "Delta=5\r\n"
                              "\r\n"
                              "[Application]\r\n"
                              "Flags=0\r\n";
    dir.write("a.ini", before);
    WriteProfileString(dir.file("a.ini"), "setup", "DELTA", "7");
    QByteArray expected = before;
    expected.replace("Delta=5", "DELTA=7");
    EXPECT_EQ(dir.read("a.ini"), expected);

    // A new key goes to the end of its section, in the file's own line ends.
    WriteProfileString(dir.file("a.ini"), "Setup", "Quality", "90");
    expected.replace("DELTA=7\r\n", "DELTA=7\r\nQuality=90\r\n");
    EXPECT_EQ(dir.read("a.ini"), expected);

    // A new section is appended after a blank line.
    WriteProfileString(dir.file("a.ini"), "New", "Key", "v");
    expected += "\r\n[New]\r\nKey=v\r\n";
    EXPECT_EQ(dir.read("a.ini"), expected);
    EXPECT_EQ(read(dir, "New", "Key"), "v");
    EXPECT_EQ(read(dir, "Application", "Flags"), "0");
}

TEST(ProfileFile, WritesCreateTheFileAndReadBack)
{
    ScratchDir dir;
    WriteProfileString(dir.file("a.ini"), "Setup", "Folder", "/home/é/Captures");
    WriteProfileString(dir.file("a.ini"), "Setup", "Prefix", "ILX");
    EXPECT_EQ(dir.read("a.ini"), "[Setup]\nFolder=/home/é/Captures\nPrefix=ILX\n");
    EXPECT_EQ(read(dir, "Setup", "Folder"), "/home/é/Captures");
}

TEST(ProfileFile, ALineBreakInAValueCannotForgeAnotherKey)
{
    ScratchDir dir;
    WriteProfileString(dir.file("a.ini"), "Setup", "Web", "http://x\r\nDelta=99");
    EXPECT_EQ(read(dir, "Setup", "Delta"), "?");
    EXPECT_EQ(read(dir, "Setup", "Web"), "http://x  Delta=99");
}

TEST(ProfileFile, FailedWriteRaisesTheMessageWithThePath)
{
    ScratchDir dir;
    const QString path = dir.file("missing-folder/a.ini");
    try {
        WriteProfileString(path, "Setup", "Delta", "1");
        FAIL() << "no error raised";
    } catch (const EIlxError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Ne peut écrire dans ") + path);
    }
    // A folder in the file's place is not a file to write either.
    QDir(dir.path()).mkdir("b.ini");
    EXPECT_THROW(WriteProfileString(dir.file("b.ini"), "Setup", "Delta", "1"), EIlxError);
}

TEST(ProfileFile, DamagedOrBinaryFileReadsWhatItCanAndLosesNothing)
{
    ScratchDir dir;
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary += static_cast<char>((i * 37) % 256);
    const QByteArray before =
        binary + "\n[Setup]\n" + QByteArray("Delta=8\0junk\n", 13) + "[Tail]\n" + binary;
    dir.write("a.ini", before);
    EXPECT_EQ(read(dir, "Setup", "Delta"), "8") << "a value ends at a NUL";
    EXPECT_EQ(read(dir, "Setup", "Quality", "90"), "90");

    WriteProfileString(dir.file("a.ini"), "Setup", "Quality", "50");
    QByteArray expected = before;
    expected.insert(before.indexOf("[Tail]"), "Quality=50\n");
    EXPECT_EQ(dir.read("a.ini"), expected);
    EXPECT_EQ(read(dir, "Setup", "Quality"), "50");
}

TEST(ProfileFile, HugeFileIsNotTakenForSettingsAndIsNotRewritten)
{
    ScratchDir dir;
    const QByteArray huge = "[Setup]\nDelta=9\n" + QByteArray(kProfileFileMax + 10, 'x');
    dir.write("a.ini", huge);
    EXPECT_EQ(read(dir, "Setup", "Delta", "5"), "5");
    EXPECT_THROW(WriteProfileString(dir.file("a.ini"), "Setup", "Delta", "1"), EIlxError);
    EXPECT_EQ(dir.read("a.ini"), huge);
}

TEST(ProfileFile, AFileWrittenWithASecretIsItsOwnersAloneAndStaysSo)
{
    ScratchDir dir;
    const QString path = dir.file("a.ini");
    constexpr QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                                QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                                QFileDevice::WriteOther | QFileDevice::ExeOther;
    const QFileDevice::Permissions open = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ReadGroup | QFileDevice::ReadOther;

    // A new file, and an existing one others could read.
    WriteProfileString(path, "Cameras", "Address1", "rtsp://u:pw@cam/", TProfileAccess::OwnerOnly);
    EXPECT_EQ(QFile::permissions(path) & others, 0);
    ASSERT_TRUE(QFile::setPermissions(path, open));
    WriteProfileString(path, "Cameras", "Address2", "rtsp://u:pw@cam2/", TProfileAccess::OwnerOnly);
    EXPECT_EQ(QFile::permissions(path) & others, 0);

    // Other writers keep it closed; a file with nothing to change is closed too.
    WriteProfileString(path, "Setup", "Delta", "7");
    EXPECT_EQ(QFile::permissions(path) & others, 0);
    ASSERT_TRUE(QFile::setPermissions(path, open));
    WriteProfileString(path, "Setup", "Delta", "7", TProfileAccess::OwnerOnly);
    EXPECT_EQ(QFile::permissions(path) & others, 0);
    EXPECT_EQ(read(dir, "Cameras", "Address2"), "rtsp://u:pw@cam2/");

    ASSERT_TRUE(QFile::setPermissions(path, open));
    EXPECT_TRUE(MakeProfileOwnerOnly(path));
    EXPECT_EQ(QFile::permissions(path) & others, 0);
    EXPECT_TRUE(MakeProfileOwnerOnly(dir.file("none.ini"))) << "a missing file is no failure";
}
