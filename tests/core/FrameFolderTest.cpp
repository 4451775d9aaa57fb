// The live frame's folder: the user's alone, wherever the environment points.
#include "DataPaths.h"
#include "ScratchDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

int Mode(const QString& path)
{
    struct stat st = {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return -1;
    return int(st.st_mode & 0777);
}

// Sets XDG_RUNTIME_DIR and TMPDIR for one test; an empty value unsets.
class Environment
{
public:
    Environment(const QByteArray& runtime, const QByteArray& temp)
        : runtime_(qgetenv("XDG_RUNTIME_DIR")), temp_(qgetenv("TMPDIR")),
          hadRuntime_(qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")),
          hadTemp_(qEnvironmentVariableIsSet("TMPDIR"))
    {
        Set("XDG_RUNTIME_DIR", runtime);
        Set("TMPDIR", temp);
    }
    ~Environment()
    {
        Set("XDG_RUNTIME_DIR", hadRuntime_ ? runtime_ : QByteArray());
        Set("TMPDIR", hadTemp_ ? temp_ : QByteArray());
    }
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;

private:
    static void Set(const char* name, const QByteArray& value)
    {
        if (value.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    QByteArray runtime_, temp_;
    bool hadRuntime_, hadTemp_;
};

const QString kUserSuffix = QStringLiteral("/ilumerix-") + QString::number(::geteuid());

} // namespace

TEST(FrameFolder, LivesInTheRuntimeFolderClosedToOthers)
{
    ScratchDir runtime;
    Environment env(QFile::encodeName(runtime.path()), QByteArray());
    const QString folder = MakePrivateFrameFolder();
    EXPECT_EQ(folder, runtime.path() + "/ilumerix");
    EXPECT_EQ(Mode(folder), 0700);
    EXPECT_EQ(FrameFilePath(folder), folder + "/~ILXTMP.BMP");
}

TEST(FrameFolder, WithoutARuntimeFolderAUserFolderInTheTempFolder)
{
    ScratchDir temp;
    Environment env(QByteArray(), QFile::encodeName(temp.path()));
    const QString folder = MakePrivateFrameFolder();
    EXPECT_EQ(folder, temp.path() + kUserSuffix);
    EXPECT_EQ(Mode(folder), 0700);
    // An open folder left by an older copy is closed again.
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0755), 0);
    EXPECT_EQ(MakePrivateFrameFolder(), folder);
    EXPECT_EQ(Mode(folder), 0700);
}

TEST(FrameFolder, AMissingTempFolderFallsBackToTmpNeverToTheRoot)
{
    ScratchDir scratch;
    Environment env(QByteArray(), QFile::encodeName(scratch.file("gone/away")));
    const QString folder = MakePrivateFrameFolder();
    EXPECT_EQ(folder, "/tmp" + kUserSuffix);
    EXPECT_FALSE(QFileInfo::exists(scratch.file("gone")));
}

TEST(FrameFolder, ALinkPlantedAtItsNameIsNotFollowed)
{
    ScratchDir temp;
    ScratchDir elsewhere;
    const QString planted = temp.path() + kUserSuffix;
    ASSERT_TRUE(QFile::link(elsewhere.path(), planted));
    Environment env(QByteArray(), QFile::encodeName(temp.path()));
    const QString folder = MakePrivateFrameFolder();
    EXPECT_NE(folder, planted);
    EXPECT_TRUE(folder.startsWith(temp.path() + "/ilumerix-")) << folder.toStdString();
    EXPECT_EQ(Mode(folder), 0700);
    EXPECT_TRUE(QFileInfo(planted).isSymLink()) << "the link is left alone";
    EXPECT_TRUE(QDir(elsewhere.path()).isEmpty()) << "nothing made where it points";
}
