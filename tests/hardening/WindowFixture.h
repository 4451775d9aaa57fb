#pragma once

// The main window over its data files in a scratch folder, as the window
// tests build it: the driver chosen so no dialog opens, no stability wait,
// no alarm sound or log, pictures in the scratch folder's Captures.
#include "CaptureRecords.h"
#include "DataPaths.h"
#include "ScratchDir.h"
#include "TFormMainLE.h"
#include "WaitFor.h"

#include <QCoreApplication>
#include <QDir>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

// Failure messages show texts as text.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

// A 24-bit capture format of the given size.
inline VideoFormat Format(int w, int h)
{
    VideoFormat f;
    f.header.width = w;
    f.header.height = h;
    f.header.bitCount = 24;
    f.header.sizeImage = static_cast<std::uint32_t>(w * h * 3);
    return f;
}

class WindowFixture
{
public:
    WindowFixture()
    {
        SetDataFolder(dir.path());
        QDir(dir.path()).mkdir(QStringLiteral("Captures"));
        dir.write("iLXLE.INI", "[Setup]\r\nStabilite=0\r\n");
        dir.write("iLXLE_IMAGE.DAT", "[Setup]\r\nFolder=" + Captures().toUtf8() + "\r\n");
        dir.write("iLXLE_ALERTE.DAT", "[Setup]\r\nBeep=0\r\nLog=0\r\n");
    }
    ~WindowFixture() { SetDataFolder(QString()); }
    WindowFixture(const WindowFixture&) = delete;
    WindowFixture& operator=(const WindowFixture&) = delete;

    QString Captures() const { return dir.file(QStringLiteral("Captures")); }

    // The driver by name, no selection dialog, the view live while scanning.
    void ChooseDriver(const QString& name) const
    {
        dir.write("iLXLE_PARAM.DAT",
                  "[Setup]\r\nDriver=" + name.toUtf8() + "\r\nSelect=0\r\nPause=0\r\n");
    }

    // Shows the window and lets its first activation run.
    static void Start(TFormMainLE& form)
    {
        form.show();
        WaitFor([&] { return !form.FirstActivationPending(); }, 5000);
    }

    ScratchDir dir;
};
