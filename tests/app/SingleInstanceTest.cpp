#include "TSingleInstance.h"

#include "ScratchDir.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>

TEST(SingleInstance, GuardNameIsUpperCasedWithOddCharactersReplaced)
{
    EXPECT_EQ(TSingleInstance::GuardName("i-Lumerix"), "I_LUMERIX");
    EXPECT_EQ(TSingleInstance::GuardName("a b.c_9"), "A_B_C_9");
}

TEST(SingleInstance, SecondCopyIsRefusedAndItsRequestReachesTheFirst)
{
    ScratchDir dir;
    TSingleInstance first(QStringLiteral("I_LUMERIX"), dir.path());
    ASSERT_TRUE(first.Acquire());
    EXPECT_TRUE(QFileInfo(first.ServerPath()).exists());
    EXPECT_EQ(QFileInfo(first.ServerPath()).permissions() &
                  (QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ReadGroup |
                   QFileDevice::WriteGroup),
              QFileDevice::Permissions{})
        << "only the user may talk to the running copy";

    int requests = 0;
    QObject::connect(&first, &TSingleInstance::FrontRequested, [&] { ++requests; });

    TSingleInstance second(QStringLiteral("I_LUMERIX"), dir.path());
    EXPECT_FALSE(second.Acquire());

    // The second copy waits for the answer; the first answers from its event
    // loop, so ask from another thread.
    std::atomic<bool> answered{false};
    std::atomic<bool> done{false};
    QThread* asker = QThread::create([&] {
        answered = second.RequestFront(5000);
        done = true;
    });
    asker->start();
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    asker->wait();
    delete asker;
    EXPECT_TRUE(answered);
    EXPECT_EQ(requests, 1);
}

TEST(SingleInstance, LockOfADeadCopyIsTakenOverAndReleasedAtEnd)
{
    ScratchDir dir;
    // A lock file naming a process that does not run.
    dir.write("I_LUMERIX.lock", "999999\nilumerix\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    {
        TSingleInstance first(QStringLiteral("I_LUMERIX"), dir.path());
        EXPECT_TRUE(first.Acquire());
    }
    TSingleInstance next(QStringLiteral("I_LUMERIX"), dir.path());
    EXPECT_TRUE(next.Acquire()) << "the lock must be released when the copy ends";
}

TEST(SingleInstance, NobodyListeningMeansNoAnswer)
{
    ScratchDir dir;
    TSingleInstance lonely(QStringLiteral("I_LUMERIX"), dir.path());
    EXPECT_FALSE(lonely.RequestFront(200));
}
