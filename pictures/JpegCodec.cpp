#include "JpegCodec.h"

#include "EIlxError.h"

#include <QFile>
#include <QSaveFile>

#include <atomic>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>
// jerror.h after jpeglib.h: it needs the types.
#include <jerror.h>

namespace {

// libjpeg's default error_exit ends the process; this one jumps back to the
// call that set `jump`, with the library's message kept for the exception.
struct TJpegErrorManager
{
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void errorExit(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<TJpegErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings are silent, except running out of data: the library would pad
// the picture with grey and call it done, and a cut-off file is an error.
void emitMessage(j_common_ptr cinfo, int level)
{
    if (level < 0) {
        cinfo->err->num_warnings++;
        if (cinfo->err->msg_code == JWRN_JPEG_EOF)
            errorExit(cinfo);
    }
}

void silentOutput(j_common_ptr) {}

void installErrorManager(TJpegErrorManager& err)
{
    jpeg_std_error(&err.pub);
    err.pub.error_exit = errorExit;
    err.pub.emit_message = emitMessage;
    err.pub.output_message = silentOutput;
    err.message[0] = '\0';
}

// The setjmp frames below hold only trivially destructible locals, so a jump
// out of libjpeg skips no destructor.
bool encodeRgb(const QImage& rgb, int quality, unsigned char** out, unsigned long* outSize,
               char* message)
{
    jpeg_compress_struct cinfo;
    TJpegErrorManager err;
    installErrorManager(err);
    cinfo.err = &err.pub;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", err.message);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, out, outSize);
    cinfo.image_width = static_cast<JDIMENSION>(rgb.width());
    cinfo.image_height = static_cast<JDIMENSION>(rgb.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, FALSE);
    cinfo.dct_method = JDCT_IFAST;
    cinfo.optimize_coding = TRUE;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        // libjpeg takes non-const rows but only reads them.
        JSAMPROW row =
            const_cast<JSAMPROW>(rgb.constScanLine(static_cast<int>(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

// Reads the header and hands back the size, so the caller allocates the
// picture only after checking it.
struct TDecodeState
{
    jpeg_decompress_struct cinfo;
    TJpegErrorManager err;
};

} // namespace

QByteArray EncodeJpeg(const QImage& image, int quality)
{
    if (image.isNull())
        throw EIlxError(QStringLiteral("No picture to encode"));
    const QImage rgb = image.format() == QImage::Format_RGB888
                           ? image
                           : image.convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull())
        throw EIlxError(QStringLiteral("Not enough memory to encode the picture"));
    if (quality < 0 || quality > 100)
        quality = 100;

    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    char message[JMSG_LENGTH_MAX] = {};
    const bool ok = encodeRgb(rgb, quality, &buffer, &size, message);
    // jpeg_mem_dest hands the buffer to us even after a failure.
    QByteArray bytes;
    if (ok)
        bytes = QByteArray(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
    std::free(buffer);
    if (!ok)
        throw EIlxError(QStringLiteral("JPEG encoding failed: ") + QString::fromLocal8Bit(message));
    return bytes;
}

namespace {

std::atomic<qint64> gFileSpace{-1};

} // namespace

void SetJpegFileSpaceForTest(qint64 bytes)
{
    gFileSpace = bytes;
}

void WriteJpegFile(const QString& path, const QImage& image, int quality)
{
    const QByteArray bytes = EncodeJpeg(image, quality);
    // QSaveFile writes beside the picture and renames only on commit; when
    // it is destroyed uncommitted the temporary file goes with it.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw EIlxError(file.errorString());
    const qint64 space = gFileSpace;
    if (space >= 0 && bytes.size() > space) {
        file.write(bytes.constData(), space);
        throw EIlxError(QStringLiteral("No space left on device"));
    }
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw EIlxError(file.errorString());
    if (space >= 0)
        gFileSpace -= bytes.size();
}

namespace {

bool decodeInto(const QByteArray& data, QImage& image, char* message)
{
    TDecodeState s;
    installErrorManager(s.err);
    s.cinfo.err = &s.err.pub;
    if (setjmp(s.err.jump)) {
        jpeg_destroy_decompress(&s.cinfo);
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", s.err.message);
        return false;
    }
    jpeg_create_decompress(&s.cinfo);
    jpeg_mem_src(&s.cinfo, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&s.cinfo, TRUE);
    s.cinfo.out_color_space = JCS_RGB;
    jpeg_calc_output_dimensions(&s.cinfo);
    const qint64 pixels = qint64(s.cinfo.output_width) * qint64(s.cinfo.output_height);
    if (s.cinfo.output_width == 0 || s.cinfo.output_height == 0 || pixels > kMaxJpegPixels) {
        std::snprintf(message, JMSG_LENGTH_MAX, "picture too large (%u x %u)", s.cinfo.output_width,
                      s.cinfo.output_height);
        jpeg_destroy_decompress(&s.cinfo);
        return false;
    }
    jpeg_start_decompress(&s.cinfo);
    if (s.cinfo.output_components != 3) {
        std::snprintf(message, JMSG_LENGTH_MAX, "unsupported colour layout");
        jpeg_destroy_decompress(&s.cinfo);
        return false;
    }
    // The image is set up before the first jump can reach past it; its
    // destructor runs in the caller's frame, not here.
    image = QImage(static_cast<int>(s.cinfo.output_width), static_cast<int>(s.cinfo.output_height),
                   QImage::Format_RGB888);
    if (image.isNull()) {
        std::snprintf(message, JMSG_LENGTH_MAX, "not enough memory");
        jpeg_destroy_decompress(&s.cinfo);
        return false;
    }
    while (s.cinfo.output_scanline < s.cinfo.output_height) {
        JSAMPROW row = image.scanLine(static_cast<int>(s.cinfo.output_scanline));
        jpeg_read_scanlines(&s.cinfo, &row, 1);
    }
    jpeg_finish_decompress(&s.cinfo);
    jpeg_destroy_decompress(&s.cinfo);
    return true;
}

} // namespace

QImage DecodeJpeg(const QByteArray& data)
{
    QImage image;
    char message[JMSG_LENGTH_MAX] = {};
    if (!decodeInto(data, image, message))
        throw EIlxError(QStringLiteral("Not a readable JPEG picture: ") +
                        QString::fromLocal8Bit(message));
    return image;
}

QImage ReadJpegFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EIlxError(file.errorString());
    // Picture files are small; a huge file is not one of ours.
    constexpr qint64 kMaxFileBytes = qint64(256) << 20;
    if (file.size() > kMaxFileBytes)
        throw EIlxError(QStringLiteral("Not a readable JPEG picture: file too large"));
    return DecodeJpeg(file.readAll());
}
