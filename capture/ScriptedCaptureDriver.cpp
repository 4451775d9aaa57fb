#include "ScriptedCaptureDriver.h"

#include "BmpFile.h"

#include <QThread>

namespace {

VideoFormat Rgb24(int width, int height)
{
    VideoFormat f;
    f.header.width = width;
    f.header.height = height;
    f.header.bitCount = 24;
    f.header.sizeImage = std::uint32_t(((width * 3 + 3) & ~3) * height);
    return f;
}

QString OnOff(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

ScriptedCaptureDriver::ScriptedCaptureDriver()
    : initialFormat_(Rgb24(320, 240)), format_(initialFormat_)
{
    caps_.hasDlgVideoFormat = 1;
    caps_.hasDlgVideoSource = 1;
    caps_.captureInitialized = 1;
}

ScriptedCaptureDriver::~ScriptedCaptureDriver() = default;

void ScriptedCaptureDriver::setDriver(int index, const QString& name, const QString& version)
{
    drivers_[index] = DriverDescription{name, version};
}

void ScriptedCaptureDriver::removeDriver(int index)
{
    drivers_.erase(index);
}

void ScriptedCaptureDriver::setFormatFilter(std::function<bool(const VideoFormat&)> accept)
{
    accept_ = std::move(accept);
}

int ScriptedCaptureDriver::emitFrame()
{
    if (!session_ || connected_ < 0 || !preview_ || overlay_)
        return -1;
    const QImage frame = frameAtFormatSize();
    frameBytes_ = QByteArray(reinterpret_cast<const char*>(frame.constBits()),
                             qsizetype(frame.sizeInBytes()));
    CaptureVideoHeader header;
    header.data = reinterpret_cast<const std::uint8_t*>(frameBytes_.constData());
    header.bufferLength = std::uint32_t(frameBytes_.size());
    header.bytesUsed = header.bufferLength;
    header.timeCaptured = frameTime_;
    frameTime_ += std::uint32_t(previewRate_);
    return notifyFrame(header);
}

std::optional<DriverDescription> ScriptedCaptureDriver::driverDescription(int index)
{
    const auto it = drivers_.find(index);
    if (index < 0 || index >= kMaxDrivers || it == drivers_.end())
        return std::nullopt;
    DriverDescription d = it->second;
    d.name.truncate(DriverDescription::kMaxName);
    d.version.truncate(DriverDescription::kMaxVersion);
    return d;
}

bool ScriptedCaptureDriver::createSession(int width, int height)
{
    log(QStringLiteral("createSession %1x%2").arg(width).arg(height));
    if (failCreateSession)
        return false;
    session_ = true;
    return true;
}

void ScriptedCaptureDriver::destroySession()
{
    log(QStringLiteral("destroySession"));
    session_ = false;
    connected_ = -1;
    preview_ = false;
    overlay_ = false;
}

void ScriptedCaptureDriver::setSessionGeometry(int width, int height)
{
    log(QStringLiteral("setSessionGeometry %1x%2").arg(width).arg(height));
}

bool ScriptedCaptureDriver::connectDriver(int index)
{
    log(QStringLiteral("connect %1").arg(index));
    if (!session_ || refuseConnect || !drivers_.contains(index))
        return false;
    connected_ = index;
    format_ = initialFormat_;
    return true;
}

void ScriptedCaptureDriver::disconnectDriver()
{
    log(QStringLiteral("disconnect"));
    connected_ = -1;
    preview_ = false;
    overlay_ = false;
}

DriverCaps ScriptedCaptureDriver::capabilities() const
{
    log(QStringLiteral("caps"));
    if (connected_ < 0)
        return {};
    DriverCaps c = caps_;
    c.deviceIndex = std::uint32_t(connected_);
    return c;
}

std::optional<CaptureParams> ScriptedCaptureDriver::captureParams() const
{
    log(QStringLiteral("getParams"));
    if (!session_ || failReadParams)
        return std::nullopt;
    return params_;
}

bool ScriptedCaptureDriver::setCaptureParams(const CaptureParams& params)
{
    log(QStringLiteral("setParams"));
    if (!session_ || failWriteParams)
        return false;
    params_ = params;
    writtenParams_ = params;
    return true;
}

int ScriptedCaptureDriver::videoFormatSize() const
{
    log(QStringLiteral("formatSize"));
    if (connected_ < 0 || failReadFormat)
        return 0;
    return format_.byteSize();
}

std::optional<VideoFormat> ScriptedCaptureDriver::videoFormat() const
{
    log(QStringLiteral("getFormat"));
    if (connected_ < 0 || failReadFormat)
        return std::nullopt;
    return format_;
}

bool ScriptedCaptureDriver::setVideoFormat(const VideoFormat& format)
{
    log(QStringLiteral("setFormat %1x%2x%3")
            .arg(format.header.width)
            .arg(format.header.height)
            .arg(format.header.bitCount));
    if (connected_ < 0 || (accept_ && !accept_(format)))
        return false;
    format_ = format;
    return true;
}

std::optional<WaveFormat> ScriptedCaptureDriver::audioFormat() const
{
    log(QStringLiteral("getAudio"));
    if (!session_)
        return std::nullopt;
    return audio_;
}

void ScriptedCaptureDriver::setAudioFormat(const WaveFormat& format)
{
    log(QStringLiteral("setAudio"));
    if (session_)
        audio_ = format;
}

void ScriptedCaptureDriver::setPreviewRate(int milliseconds)
{
    log(QStringLiteral("previewRate %1").arg(milliseconds));
    previewRate_ = milliseconds;
}

void ScriptedCaptureDriver::setPreview(bool on)
{
    log(QStringLiteral("preview ") + OnOff(on));
    preview_ = on && session_;
    if (preview_)
        overlay_ = false;
}

void ScriptedCaptureDriver::setOverlay(bool on)
{
    log(QStringLiteral("overlay ") + OnOff(on));
    overlay_ = on && session_ && caps_.hasOverlay;
    if (overlay_)
        preview_ = false;
}

void ScriptedCaptureDriver::setScale(bool stretch)
{
    log(QStringLiteral("scale ") + OnOff(stretch));
    scale_ = stretch;
}

QImage ScriptedCaptureDriver::currentFrame() const
{
    if (connected_ < 0)
        return {};
    return frameAtFormatSize();
}

void ScriptedCaptureDriver::grabFrameNoStop()
{
    log(QStringLiteral("grab"));
    if (grabMs > 0)
        QThread::msleep(static_cast<unsigned long>(grabMs));
    if (connected_ >= 0)
        grabbed_ = frameAtFormatSize();
}

bool ScriptedCaptureDriver::saveFrame(const QString& path)
{
    log(QStringLiteral("save ") + path);
    if (connected_ < 0 || grabbed_.isNull() || failSaveFrame || path.size() > kMaxPathLength)
        return false;
    return BmpFile::WriteScratch(grabbed_, path);
}

void ScriptedCaptureDriver::showFormatDialog(QWidget*)
{
    log(QStringLiteral("dialog format"));
}

void ScriptedCaptureDriver::showSourceDialog(QWidget*)
{
    log(QStringLiteral("dialog source"));
}

void ScriptedCaptureDriver::showDisplayDialog(QWidget*)
{
    log(QStringLiteral("dialog display"));
}

void ScriptedCaptureDriver::notificationChanged(const char* which, bool installed)
{
    log(QStringLiteral("notify %1 %2").arg(QLatin1String(which), OnOff(installed)));
}

QImage ScriptedCaptureDriver::frameAtFormatSize() const
{
    const int w = format_.header.width;
    const int h = std::abs(format_.header.height);
    if (w <= 0 || h <= 0)
        return {};
    if (frame_.isNull()) {
        QImage black(w, h, QImage::Format_RGB888);
        black.fill(Qt::black);
        return black;
    }
    QImage f = frame_.size() == QSize(w, h) ? frame_ : frame_.scaled(w, h);
    return f.convertToFormat(QImage::Format_RGB888);
}
