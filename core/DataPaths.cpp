#include "DataPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <optional>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kBaseName = QStringLiteral("iLXLE");
const QString kHelpName = QStringLiteral("iLXLEEN32.hlp");

std::optional<TDataPaths>& current()
{
    static std::optional<TDataPaths> paths;
    return paths;
}

// The folder really accepts a new file (permission bits alone can lie on
// read-only mounts).
bool canCreateFilesIn(const QString& folder)
{
    if (!QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(folder + QStringLiteral("/.ilx-write-probe-XXXXXX"));
    return probe.open();
}

// A portable copy keeps everything beside itself; an installed one, or one
// in a folder that takes no files, in the per-user folders.
TDataPaths choosePaths()
{
    const QString exeFolder = QDir::cleanPath(QCoreApplication::applicationDirPath());
    const QString installedHelp = InstalledHelpFile(exeFolder);
    if (installedHelp.isEmpty() && !exeFolder.isEmpty() && canCreateFilesIn(exeFolder))
        return MakeDataPaths(exeFolder);
    const QString userFolder =
        QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    if (userFolder.isEmpty())
        return MakeDataPaths(exeFolder);
    MakeUserDataFolder(userFolder);
    QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (pictures.isEmpty())
        pictures = QDir::homePath() + QStringLiteral("/Pictures");
    return MakeUserDataPaths(userFolder,
                             installedHelp.isEmpty() ? exeFolder + QLatin1Char('/') + kHelpName
                                                     : installedHelp,
                             pictures);
}

// A folder that is ours alone: a real folder (not a link), owned by this
// user and closed to everyone else. Made when missing.
bool ensurePrivateFolder(const QString& folder)
{
    const QByteArray name = QFile::encodeName(folder);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat st = {};
    if (::lstat(name.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
        return false;
    if ((st.st_mode & 0777) != 0700 && ::chmod(name.constData(), 0700) != 0)
        return false;
    return true;
}

bool isWritableFolder(const QString& folder)
{
    return !folder.isEmpty() && QFileInfo(folder).isDir() &&
           ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

} // namespace

// Where the live frame goes: the user's runtime folder when there is one, else
// a 0700 folder of the user's in the temp folder (/tmp when TMPDIR names no
// usable folder). A name taken by someone else gives way to a fresh folder.
QString MakePrivateFrameFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (isWritableFolder(runtime)) {
        const QString folder = QDir::cleanPath(runtime) + QStringLiteral("/ilumerix");
        if (ensurePrivateFolder(folder))
            return folder;
    }
    QString temp = qEnvironmentVariable("TMPDIR");
    if (!isWritableFolder(temp))
        temp = QStringLiteral("/tmp");
    temp = QDir::cleanPath(temp);
    const QString folder = temp + QStringLiteral("/ilumerix-") + QString::number(::geteuid());
    if (ensurePrivateFolder(folder))
        return folder;
    QByteArray unique = QFile::encodeName(temp + QStringLiteral("/ilumerix-XXXXXX"));
    if (::mkdtemp(unique.data()))
        return QFile::decodeName(unique);
    return {};
}

bool MakeUserDataFolder(const QString& folder)
{
    if (!QDir().mkpath(folder))
        return false;
    const QFileDevice::Permissions owner =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    const QFileDevice::Permissions now = QFile::permissions(folder);
    return (now & ~(owner | QFileDevice::ReadUser | QFileDevice::WriteUser |
                    QFileDevice::ExeUser)) == 0 ||
           QFile::setPermissions(folder, owner);
}

QString FrameFilePath(const QString& folder)
{
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/~ILXTMP.BMP");
}

TDataPaths MakeDataPaths(const QString& programFolder)
{
    TDataPaths p;
    QString folder = QDir::fromNativeSeparators(programFolder);
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    p.ProgramFolder = folder;
    const QString base = folder + QLatin1Char('/') + kBaseName;
    p.Ini = base + QStringLiteral(".INI");
    p.Param = base + QStringLiteral("_PARAM.DAT");
    p.Image = base + QStringLiteral("_IMAGE.DAT");
    p.Alerte = base + QStringLiteral("_ALERTE.DAT");
    p.SoundLog = base + QStringLiteral("_SOUND.LOG");
    p.DefVid = base + QStringLiteral("_DEF.VID");
    p.UserVid = base + QStringLiteral("_USER.VID");
    p.Schedule = base + QStringLiteral("_SCHEDULE.DAT");
    p.Ver = base + QStringLiteral("_VER.DAT");
    p.Help = folder + QLatin1Char('/') + kHelpName;
    p.DefaultPictures = folder + QStringLiteral("/Captures");
    return p;
}

TDataPaths MakeUserDataPaths(const QString& userFolder, const QString& helpFile,
                             const QString& picturesFolder)
{
    TDataPaths p = MakeDataPaths(userFolder);
    p.Help = QDir::cleanPath(QDir::fromNativeSeparators(helpFile));
    p.DefaultPictures =
        QDir::cleanPath(QDir::fromNativeSeparators(picturesFolder)) + QStringLiteral("/i-Lumerix");
    return p;
}

QString InstalledHelpFile(const QString& exeFolder)
{
    if (exeFolder.isEmpty() || QFileInfo::exists(exeFolder + QLatin1Char('/') + kHelpName))
        return {};
    const QString shared =
        QDir::cleanPath(exeFolder + QStringLiteral("/" ILX_DATA_FROM_BIN "/") + kHelpName);
    return QFileInfo::exists(shared) ? shared : QString();
}

void InitDataPaths()
{
    if (current())
        return;
    TDataPaths p = choosePaths();
    // Without any private folder the frame stays among the user's own data.
    const QString frameFolder = MakePrivateFrameFolder();
    p.TempFrame = FrameFilePath(frameFolder.isEmpty() ? p.ProgramFolder : frameFolder);
    current() = p;
}

const TDataPaths& DataPaths()
{
    InitDataPaths();
    return *current();
}

void SetDataFolder(const QString& folder)
{
    if (folder.isEmpty()) {
        current().reset();
        InitDataPaths();
        return;
    }
    TDataPaths p = MakeDataPaths(folder);
    p.TempFrame = FrameFilePath(p.ProgramFolder);
    current() = p;
}
