#include "DataPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <optional>

namespace {

const QString kBaseName = QStringLiteral("iLXLE");

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

QString chooseProgramFolder()
{
    const QString exeFolder = QDir::cleanPath(QCoreApplication::applicationDirPath());
    if (!exeFolder.isEmpty() && canCreateFilesIn(exeFolder))
        return exeFolder;
    const QString userFolder =
        QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    if (userFolder.isEmpty())
        return exeFolder;
    QDir().mkpath(userFolder);
    return userFolder;
}

} // namespace

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
    p.Help = folder + QStringLiteral("/iLXLEEN32.hlp");
    p.TempFrame = QDir::cleanPath(QDir::tempPath()) + QStringLiteral("/~ILXTMP.BMP");
    return p;
}

void InitDataPaths()
{
    if (current())
        return;
    TDataPaths p = MakeDataPaths(chooseProgramFolder());
    // The help file is read-only program data: it stays beside the executable
    // even when the writable data go to the per-user folder.
    p.Help =
        QDir::cleanPath(QCoreApplication::applicationDirPath()) + QStringLiteral("/iLXLEEN32.hlp");
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
    p.TempFrame = p.ProgramFolder + QStringLiteral("/~ILXTMP.BMP");
    current() = p;
}
