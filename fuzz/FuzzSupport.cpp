#include "FuzzSupport.h"

#include <QDir>
#include <QFile>

#include <cstdlib>
#include <unistd.h>

namespace {

QString scratchRoot()
{
    return QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                     : QDir::tempPath();
}

} // namespace

FuzzFile::FuzzFile(const char* name)
{
    folder_ = scratchRoot() + QStringLiteral("/ilx-fuzz-%1").arg(::getpid());
    QDir().mkpath(folder_);
    path_ = folder_ + QLatin1Char('/') + QString::fromLatin1(name);
}

FuzzFile::~FuzzFile()
{
    QDir(folder_).removeRecursively();
}

const QString& FuzzFile::Write(const std::uint8_t* data, std::size_t size)
{
    QFile file(path_);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort(); // the harness itself is broken: stop loudly
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    return path_;
}
