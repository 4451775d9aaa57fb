#pragma once

#include "Clock.h"
#include "DataPaths.h"
#include "LumerixEvents.h"
#include "ProfileFile.h"
#include "ScratchDir.h"
#include "TFormOptions.h"
#include "TMessageEvent.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// Stands for the main window: keeps the messages the options window posts.
class AppWindowStub : public QObject
{
public:
    bool event(QEvent* e) override
    {
        if (e->type() == WM_LumerixUpdate()) {
            ++updates;
            return true;
        }
        if (e->type() == WM_LumerixSchedule()) {
            const auto* m = static_cast<TMessageEvent*>(e);
            schedules.append({m->WParam, m->LParam});
            return true;
        }
        return QObject::event(e);
    }
    int updates = 0;
    QList<std::pair<std::intptr_t, std::intptr_t>> schedules;
};

inline bool WaitUntil(const std::function<bool()>& condition, int ms = 5000)
{
    QDeadlineTimer deadline(ms);
    while (!condition() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return condition();
}

// Every data file in a scratch folder, so each test starts from no files.
class OptionsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterLumerixEvents();
        SetDataFolder(dir.path());
    }
    void TearDown() override
    {
        form.reset();
        SetDataFolder(QString());
        SetTickSource({});
    }

    TFormOptions& makeForm()
    {
        form = std::make_unique<TFormOptions>(nullptr, &app);
        QCoreApplication::processEvents();
        return *form;
    }

    QString stored(const QString& file, const QString& key) const
    {
        return ReadProfileString(dir.file(file), QStringLiteral("Setup"), key,
                                 QStringLiteral("<absent>"));
    }
    void store(const QString& file, const QString& key, const QString& value) const
    {
        WriteProfileString(dir.file(file), QStringLiteral("Setup"), key, value);
    }

    ScratchDir dir;
    AppWindowStub app;
    std::unique_ptr<TFormOptions> form;
};
