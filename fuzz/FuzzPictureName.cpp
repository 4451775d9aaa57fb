// File names in the pictures folder come from the disk: any name is either
// listed with a date the viewer can group by, or left out, and a name with a
// full capture time is the name the saver would give that time (its prefix is
// what stands before the 28 characters of " yyyy-mm-dd hh-mm-ss-mmm.jpg").
#include "PictureName.h"

#include <QFileInfo>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString name =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const bool listed = MatchesPictureName(name);
    const std::optional<QDate> date = PictureNameDate(name);
    const std::optional<QDateTime> time = PictureNameTime(name);
    if (time && (!date || time->date() != *date))
        std::abort();
    // A name read from a folder never holds a "/".
    if (listed && time && name.endsWith(QLatin1String(".jpg")) &&
        !name.contains(QLatin1Char('/'))) {
        const QString again =
            QFileInfo(PictureFileName(QStringLiteral("/p"), name.left(name.size() - 28), *time))
                .fileName();
        if (again != name)
            std::abort();
    }
    return 0;
}
