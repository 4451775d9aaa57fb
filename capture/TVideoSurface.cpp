#include "TVideoSurface.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>

TVideoSurface::TVideoSurface(QWidget* view) : QWidget(view)
{
    setObjectName(QStringLiteral("VideoSurface"));
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_PaintOnScreen);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setMouseTracking(true);
    hide();
}

bool TVideoSurface::Supported()
{
    // An X11 window takes the sink's pictures; other platforms (the tests'
    // offscreen one, Wayland without a sink for it) keep the view's painting.
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

bool TVideoSurface::Place(const QRect& geometry)
{
    if (geometry == this->geometry())
        return false;
    setGeometry(geometry);
    return true;
}

void TVideoSurface::SyncWithServer()
{
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection() || !testAttribute(Qt::WA_WState_Created))
        return;
    // A round trip: every request sent before it is done when it returns.
    xcb_connection_t* connection = x11->connection();
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

void TVideoSurface::paintEvent(QPaintEvent*)
{
    if (OnExposed)
        OnExposed();
}
