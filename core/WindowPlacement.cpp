#include "WindowPlacement.h"

#include "SettingsSchema.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <QWidget>

#include <optional>

namespace {

std::optional<std::array<int, 4>> parseFour(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return std::nullopt;
    std::array<int, 4> v{};
    for (size_t i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts[static_cast<qsizetype>(i)].trimmed().toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    return v;
}

// Qt's geometry calls want the window to fit a screen; a rectangle stored on
// a screen that is gone is brought back onto the nearest one.
QRect ontoAScreen(QRect rect)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (const QScreen* s : screens)
        if (s->availableGeometry().intersects(rect))
            return rect;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary)
        return rect;
    const QRect avail = primary->availableGeometry();
    rect.setSize(rect.size().boundedTo(avail.size()));
    rect.moveCenter(avail.center());
    return rect;
}

int screenDpi(const QWidget& window)
{
    const QScreen* s = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return s ? qRound(s->logicalDotsPerInch()) : 96;
}

} // namespace

QString FormatPointPair(QPoint a, QPoint b)
{
    return QStringLiteral("%1,%2,%3,%4").arg(a.x()).arg(a.y()).arg(b.x()).arg(b.y());
}

bool ParsePointPair(const QString& text, QPoint& a, QPoint& b)
{
    const auto v = parseFour(text);
    if (!v)
        return false;
    a = {(*v)[0], (*v)[1]};
    b = {(*v)[2], (*v)[3]};
    return true;
}

QString FormatNormalRect(const QRect& r)
{
    return QStringLiteral("%1,%2,%3,%4")
        .arg(r.left())
        .arg(r.top())
        .arg(r.left() + r.width())
        .arg(r.top() + r.height());
}

QRect ParseNormalRect(const QString& text)
{
    const auto v = parseFour(text);
    if (!v)
        return {};
    const int w = (*v)[2] - (*v)[0];
    const int h = (*v)[3] - (*v)[1];
    // A window of no size, or one larger than any screen could be, is damage.
    if (w <= 0 || h <= 0 || w > 100000 || h > 100000)
        return {};
    return QRect((*v)[0], (*v)[1], w, h);
}

TWindowPlacement ReadWindowPlacement()
{
    TWindowPlacement p;
    p.Flags = ReadIntSetting(Setting::Flags);
    p.ShowCmd = ReadIntSetting(Setting::ShowCmd);
    p.PixelsPerInch = ReadIntSetting(Setting::PixelsPerInch);
    if (!ParsePointPair(ReadStringSetting(Setting::MinMaxPos), p.MinPosition, p.MaxPosition)) {
        p.MinPosition = {-1, -1};
        p.MaxPosition = {-1, -1};
    }
    p.NormalRect = ParseNormalRect(ReadStringSetting(Setting::NormPos));
    return p;
}

void WriteWindowPlacement(const TWindowPlacement& p)
{
    WriteIntSetting(Setting::Flags, p.Flags);
    WriteIntSetting(Setting::ShowCmd, p.ShowCmd);
    WriteIntSetting(Setting::PixelsPerInch, p.PixelsPerInch);
    WriteStringSetting(Setting::MinMaxPos, FormatPointPair(p.MinPosition, p.MaxPosition));
    WriteStringSetting(Setting::NormPos, FormatNormalRect(p.NormalRect));
}

TWindowPlacement WindowPlacementOf(const QWidget& window)
{
    TWindowPlacement p;
    const Qt::WindowStates state = window.windowState();
    const bool minimised = state.testFlag(Qt::WindowMinimized) ||
                           QGuiApplication::applicationState() == Qt::ApplicationHidden;
    if (minimised) {
        p.ShowCmd = TWindowPlacement::kShowMinimized;
        if (state.testFlag(Qt::WindowMaximized))
            p.Flags = TWindowPlacement::kRestoreToMaximized;
    } else if (state.testFlag(Qt::WindowMaximized)) {
        p.ShowCmd = TWindowPlacement::kShowMaximized;
    }
    p.PixelsPerInch = screenDpi(window);
    if (state.testFlag(Qt::WindowMaximized) && window.screen())
        p.MaxPosition = window.screen()->availableGeometry().topLeft();
    p.NormalRect = (state & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
                       ? window.normalGeometry()
                       : window.geometry();
    if (!p.NormalRect.isValid())
        p.NormalRect = window.geometry();
    return p;
}

void ApplyWindowPlacement(QWidget& window, const TWindowPlacement& p)
{
    if (p.NormalRect.isValid()) {
        QRect rect = p.NormalRect;
        const int dpi = screenDpi(window);
        if (p.PixelsPerInch > 0 && p.PixelsPerInch != dpi)
            rect.setSize(rect.size() * dpi / p.PixelsPerInch);
        window.setGeometry(ontoAScreen(rect));
    }
    // A window saved minimised opens restored: starting hidden away helps no
    // one. One that was maximised (or minimised from maximised) opens maximised.
    if (p.ShowCmd == TWindowPlacement::kShowMaximized ||
        (p.ShowCmd == TWindowPlacement::kShowMinimized &&
         (p.Flags & TWindowPlacement::kRestoreToMaximized)))
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
}

void RestoreWindowPlacement(QWidget& window)
{
    ApplyWindowPlacement(window, ReadWindowPlacement());
}

void StoreWindowPlacement(const QWidget& window)
{
    WriteWindowPlacement(WindowPlacementOf(window));
}
