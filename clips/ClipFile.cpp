#include "ClipFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QLatin1String kPartSuffix(".part");
const QLatin1String kClipSuffix(".mp4");

struct BoxHeader
{
    quint32 type = 0;
    qint64 size = 0; // the whole box; 0 = up to the end of the file
    int headerBytes = 8;
};

constexpr quint32 FourCC(const char (&c)[5])
{
    return quint32(quint8(c[0])) << 24 | quint32(quint8(c[1])) << 16 | quint32(quint8(c[2])) << 8 |
           quint32(quint8(c[3]));
}

bool ReadBoxHeader(QIODevice& file, BoxHeader& box)
{
    uchar raw[16];
    if (file.read(reinterpret_cast<char*>(raw), 8) != 8)
        return false;
    box.size = qFromBigEndian<quint32>(raw);
    box.type = qFromBigEndian<quint32>(raw + 4);
    box.headerBytes = 8;
    if (box.size == 1) {
        if (file.read(reinterpret_cast<char*>(raw + 8), 8) != 8)
            return false;
        const quint64 large = qFromBigEndian<quint64>(raw + 8);
        if (large > quint64(std::numeric_limits<qint64>::max()))
            return false;
        box.size = qint64(large);
        box.headerBytes = 16;
    }
    return box.size == 0 || box.size >= box.headerBytes;
}

// Opens a regular file for reading and writing, never through a link.
bool OpenOwnFile(QFile& file, const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    return file.open(fd, QIODevice::ReadWrite, QFileDevice::AutoCloseHandle);
}

} // namespace

QString ClipTempName(const QString& clipPath)
{
    const QFileInfo info(clipPath);
    return info.path() + QLatin1String("/.") + info.fileName() + kPartSuffix;
}

QString ClipOfTempName(const QString& tempPath)
{
    const QFileInfo info(tempPath);
    const QString name = info.fileName();
    if (name.size() <= 1 + kClipSuffix.size() + kPartSuffix.size() ||
        !name.startsWith(QLatin1Char('.')) || !name.endsWith(kClipSuffix + kPartSuffix))
        return {};
    return info.path() + QLatin1Char('/') + name.mid(1).chopped(kPartSuffix.size());
}

qint64 PlayableLength(QIODevice& file)
{
    const qint64 total = file.size();
    qint64 at = 0;
    qint64 playable = 0;
    bool header = false; // ftyp and moov are complete
    bool moov = false;
    bool moof = false; // a fragment's header waits for its data
    bool mdat = false; // media data came before the header (a plain MP4)
    while (at + 8 <= total) {
        BoxHeader box;
        if (!file.seek(at) || !ReadBoxHeader(file, box))
            break;
        const qint64 size = box.size == 0 ? total - at : box.size;
        if (size > total - at)
            break; // cut short here
        const qint64 end = at + size;
        switch (box.type) {
        case FourCC("moov"):
            moov = true;
            header = true;
            if (mdat)
                playable = end; // a plain MP4 whose index comes last
            break;
        case FourCC("moof"):
            moof = header;
            break;
        case FourCC("mdat"):
            if (moof || moov)
                playable = end; // a fragment, or a plain MP4 with its index first
            else
                mdat = true;
            moof = false;
            break;
        case FourCC("mfra"):
            if (playable > 0)
                playable = end;
            break;
        default:
            break;
        }
        at = end;
    }
    return playable;
}

bool RecoverClip(const QString& tempPath)
{
    const QString clip = ClipOfTempName(tempPath);
    if (clip.isEmpty())
        return false;
    QFile file;
    if (!OpenOwnFile(file, tempPath))
        return false;
    const qint64 keep = PlayableLength(file);
    if (keep > 0 && !QFileInfo::exists(clip) && file.resize(keep)) {
        file.close();
        if (QFile::rename(tempPath, clip))
            return true;
    }
    file.close();
    QFile::remove(tempPath);
    return false;
}

int RecoverInterruptedClips(const QString& folder)
{
    if (folder.isEmpty())
        return 0;
    const QStringList parts =
        QDir(folder).entryList({QStringLiteral(".*") + kClipSuffix + kPartSuffix},
                               QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    int kept = 0;
    for (const QString& name : parts)
        kept += RecoverClip(QDir(folder).filePath(name)) ? 1 : 0;
    return kept;
}
