// Checks the pictures a real detection run saved: each carries a picture
// name, decodes whole as a JPEG and shows the date and time stamp in its
// bottom-right corner. Prints one line per picture; exits 1 on the first bad.
//   ilx_picture_check FILE...
#include "EIlxError.h"
#include "JpegCodec.h"
#include "PictureName.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <cstdio>

namespace {

// The stamp is white text; the demo room's floor under it is brown, so a
// run of near-white pixels in the corner is the stamp and nothing else.
int StampPixels(const QImage& picture)
{
    const int w = picture.width();
    const int h = picture.height();
    int white = 0;
    for (int y = h * 3 / 4; y < h; ++y)
        for (int x = w * 2 / 3; x < w; ++x) {
            const QRgb p = picture.pixel(x, y);
            if (qRed(p) > 170 && qGreen(p) > 170 && qBlue(p) > 170)
                ++white;
        }
    return white;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: ilx_picture_check FILE...\n");
        return 2;
    }
    for (int i = 1; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        const QString name = QFileInfo(path).fileName();
        if (!MatchesPictureName(name)) {
            std::printf("BAD name %s\n", qPrintable(name));
            return 1;
        }
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            std::printf("BAD unreadable %s\n", qPrintable(name));
            return 1;
        }
        QImage picture;
        try {
            picture = DecodeJpeg(file.readAll());
        } catch (const EIlxError& e) {
            std::printf("BAD %s: %s\n", qPrintable(name), qPrintable(e.message()));
            return 1;
        }
        if (picture.isNull()) {
            std::printf("BAD not a whole JPEG %s\n", qPrintable(name));
            return 1;
        }
        const int stamp = StampPixels(picture);
        if (stamp < 20) {
            std::printf("BAD no stamp (%d white pixels) %s\n", stamp, qPrintable(name));
            return 1;
        }
        std::printf("ok %s %dx%d stamp %d\n", qPrintable(name), picture.width(), picture.height(),
                    stamp);
    }
    return 0;
}
