#include "TScanHost.h"

#include "PictureDrawing.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QThread>

void TScanHost::ProcessMessages()
{
    QCoreApplication::processEvents();
}

void TScanHost::Sleep(int ms)
{
    if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}

void TScanHost::SetWaitCursor(bool wait)
{
    if (wait)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void TScanHost::DrawPictureLabel(QImage& picture, const QString& text)
{
    ::DrawPictureLabel(picture, text);
}
