// The program's start and close over data files that are empty, garbage,
// huge, a folder, or unreadable: it starts with defaults or the warnings the
// files call for, never hangs on a file, and leaves correct files behind.
#include "Clock.h"
#include "ProfileFile.h"
#include "ScriptedCaptureDriver.h"
#include "TVideoCam.h"
#include "VideoFormatFile.h"
#include "WindowFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QMessageBox>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <tuple>

namespace {

enum class Damage
{
    Empty,
    Garbage,
    Huge,
    Folder,
    Unreadable,
};

const char* DamageName(Damage d)
{
    switch (d) {
    case Damage::Empty:
        return "Empty";
    case Damage::Garbage:
        return "Garbage";
    case Damage::Huge:
        return "Huge";
    case Damage::Folder:
        return "Folder";
    case Damage::Unreadable:
        return "Unreadable";
    }
    return "";
}

const auto kDamages = ::testing::Values(Damage::Empty, Damage::Garbage, Damage::Huge,
                                        Damage::Folder, Damage::Unreadable);

constexpr qint64 kHugeBytes = qint64(100) << 20;

// Puts the damage at `path`. False when it cannot hurt this user: permission
// bits do not stop root from reading.
bool Spoil(const QString& path, Damage damage)
{
    QFile::remove(path);
    QFile file(path);
    switch (damage) {
    case Damage::Empty:
        return file.open(QIODevice::WriteOnly);
    case Damage::Garbage: {
        // Line breaks, brackets, '=' and NULs among the noise.
        QByteArray bytes(4096, '\0');
        quint32 x = 2463534242u;
        for (char& c : bytes) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            c = char(x >> 24);
        }
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }
    case Damage::Huge:
        // Sparse: instant to make, and any whole read of it is plain to see.
        return file.open(QIODevice::WriteOnly) && file.resize(kHugeBytes);
    case Damage::Folder:
        return QDir().mkdir(path);
    case Damage::Unreadable: {
        if (!file.open(QIODevice::WriteOnly) || file.write("[Setup]\r\nX=1\r\n") < 0)
            return false;
        file.close();
        file.setPermissions({});
        QFile probe(path);
        return !probe.open(QIODevice::ReadOnly);
    }
    }
    return false;
}

// Bytes this process has read so far, from the kernel's own count.
qint64 BytesRead()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : io.readAll().split('\n'))
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    return -1;
}

// Answers every box and dialog of the start and the close, keeping their
// texts: a message box by its OK button, the driver choice by the first driver.
class BoxCollector
{
public:
    BoxCollector()
    {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start();
    }
    QStringList seen;

private:
    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen << box->text();
            box->accept();
        } else if (modal->objectName() == QLatin1String("DlgSelectDriver")) {
            seen << QStringLiteral("driver choice");
            if (auto* list = modal->findChild<QListWidget*>(QStringLiteral("ListBoxDrivers")))
                list->setCurrentRow(0);
            if (auto* ok = modal->findChild<QAbstractButton*>(QStringLiteral("BitBtnOK")))
                ok->click();
        } else {
            seen << modal->objectName();
            modal->close();
        }
    }
    QTimer timer_;
};

// One start and close of the window over the data folder's files.
struct RunResult
{
    QStringList atStart;
    QStringList atClose;
    bool started = false;
    bool videoActive = false;
    TCommandStates commands;
    qint64 bytesRead = 0;
    qint64 ms = 0;
};

RunResult StartAndClose()
{
    RunResult r;
    const qint64 readBefore = BytesRead();
    QElapsedTimer clock;
    clock.start();
    {
        BoxCollector boxes;
        auto driver = std::make_unique<ScriptedCaptureDriver>();
        driver->setDriver(0, QStringLiteral("Cam"));
        driver->setInitialFormat(Format(320, 240));
        TFormMainLE form(std::move(driver));
        WindowFixture::Start(form);
        r.started = !form.FirstActivationPending();
        r.videoActive = form.VideoCam()->Active();
        r.commands = form.CommandStates();
        r.atStart = boxes.seen;
        boxes.seen.clear();
        form.close();
        r.atClose = boxes.seen;
    }
    r.ms = clock.elapsed();
    r.bytesRead = BytesRead() - readBefore;
    return r;
}

// What every damaged start has in common: it ends, quickly, without reading
// a huge file whole.
void ExpectNoHang(const RunResult& r, Damage damage)
{
    EXPECT_TRUE(r.started) << "the first activation ran to its end";
    EXPECT_LT(r.ms, 8000);
    if (damage == Damage::Huge) {
        EXPECT_LT(r.bytesRead, kHugeBytes / 4) << "the huge file was read";
    }
    std::printf("[ %s ] start and close %lld ms, %lld bytes read\n", DamageName(damage),
                static_cast<long long>(r.ms), static_cast<long long>(r.bytesRead));
}

// --- Settings files -------------------------------------------------------

class DamagedSettings : public ::testing::TestWithParam<std::tuple<const char*, Damage>>
{
protected:
    DamagedSettings() { w.ChooseDriver(QStringLiteral("Cam")); }
    ~DamagedSettings() override
    {
        SetTickSource({});
        QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner);
    }
    QString path() const { return w.dir.file(QString::fromLatin1(std::get<0>(GetParam()))); }
    QString read(const char* file, const char* key) const
    {
        return ReadProfileString(w.dir.file(QString::fromLatin1(file)), QStringLiteral("Setup"),
                                 QString::fromLatin1(key), QStringLiteral("missing"));
    }
    WindowFixture w;
};

TEST_P(DamagedSettings, StartWithDefaultsAndCloseLeavesReadableSettings)
{
    const QString name = QString::fromLatin1(std::get<0>(GetParam()));
    const Damage damage = std::get<1>(GetParam());
    if (!Spoil(path(), damage))
        GTEST_SKIP() << "this user (root) reads a file whatever its permission bits";
    if (name == QLatin1String("iLXLE.INI")) {
        // Without its file the default three-second stability wait applies;
        // the test clock runs it ten times faster.
        const auto t0 = std::chrono::steady_clock::now();
        SetTickSource([t0] {
            const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - t0);
            return static_cast<std::uint32_t>(ms.count() * 10);
        });
    }

    const RunResult r = StartAndClose();
    ExpectNoHang(r, damage);
    EXPECT_TRUE(r.videoActive);
    // Without "Driver" and "Select" the driver choice comes, as at a first start.
    const QStringList expectedAtStart =
        name == QLatin1String("iLXLE_PARAM.DAT") ? QStringList{"driver choice"} : QStringList{};
    EXPECT_EQ(r.atStart, expectedAtStart);

    // The alarm settings are written by the options window alone.
    const bool writtenAtClose = name != QLatin1String("iLXLE_ALERTE.DAT");
    const bool writable = damage == Damage::Empty || damage == Damage::Garbage;
    if (!writtenAtClose || writable) {
        EXPECT_TRUE(r.atClose.isEmpty()) << r.atClose.join(" | ").toStdString();
    } else {
        // Not a file the program may rewrite: said once, and left as it was.
        ASSERT_EQ(r.atClose.size(), 1) << r.atClose.join(" | ").toStdString();
        EXPECT_EQ(r.atClose[0], QStringLiteral("Ne peut écrire dans ") + path());
        if (damage == Damage::Huge) {
            EXPECT_EQ(QFileInfo(path()).size(), kHugeBytes);
        }
        if (damage == Damage::Folder) {
            EXPECT_TRUE(QFileInfo(path()).isDir());
        }
    }

    // Every file the close could write holds the window's keys, the damaged
    // one included when it was writable.
    const auto expectWritten = [&](const char* file) {
        return name != QLatin1String(file) || writable;
    };
    if (expectWritten("iLXLE.INI")) {
        EXPECT_EQ(read("iLXLE.INI", "Zoom"), "0");
        EXPECT_NE(ReadProfileString(w.dir.file("iLXLE.INI"), "Application", "NormPos", "missing"),
                  "missing");
    }
    if (expectWritten("iLXLE_PARAM.DAT")) {
        EXPECT_EQ(read("iLXLE_PARAM.DAT", "Driver"), "Cam");
        EXPECT_EQ(read("iLXLE_PARAM.DAT", "FramePW"), "50");
        EXPECT_EQ(read("iLXLE_PARAM.DAT", "Scheduler"), "0");
    }
    if (expectWritten("iLXLE_IMAGE.DAT")) {
        EXPECT_EQ(read("iLXLE_IMAGE.DAT", "LastImage"), "");
    }
    if (name == QLatin1String("iLXLE_ALERTE.DAT") && damage == Damage::Huge) {
        EXPECT_EQ(QFileInfo(path()).size(), kHugeBytes);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedSettings,
                         ::testing::Combine(::testing::Values("iLXLE.INI", "iLXLE_PARAM.DAT",
                                                              "iLXLE_IMAGE.DAT",
                                                              "iLXLE_ALERTE.DAT"),
                                            kDamages),
                         [](const auto& info) {
                             QString n = QString::fromLatin1(std::get<0>(info.param));
                             n.replace('.', '_');
                             return n.toStdString() + "_" + DamageName(std::get<1>(info.param));
                         });

// --- Schedule file --------------------------------------------------------

class DamagedSchedule : public ::testing::TestWithParam<Damage>
{
protected:
    DamagedSchedule() { w.ChooseDriver(QStringLiteral("Cam")); }
    ~DamagedSchedule() override
    {
        QFile::setPermissions(w.dir.file("iLXLE_SCHEDULE.DAT"),
                              QFile::ReadOwner | QFile::WriteOwner);
    }
    WindowFixture w;
};

TEST_P(DamagedSchedule, ShortFileWarnsUnopenableOneTurnsTheSchedulerOff)
{
    const QString path = w.dir.file("iLXLE_SCHEDULE.DAT");
    const Damage damage = GetParam();
    if (!Spoil(path, damage))
        GTEST_SKIP() << "this user (root) reads a file whatever its permission bits";
    const qint64 sizeBefore = QFileInfo(path).size();

    const RunResult r = StartAndClose();
    ExpectNoHang(r, damage);
    EXPECT_TRUE(r.videoActive);
    // A file shorter than a week warns; a longer one is read for its first
    // week only; one that cannot be opened takes the scheduler out of the run.
    const bool opens = damage != Damage::Folder && damage != Damage::Unreadable;
    EXPECT_EQ(r.atStart, damage == Damage::Empty ? QStringList{"Invalid File \"Scheduler\" !"}
                                                 : QStringList{});
    EXPECT_EQ(r.commands.SchedulerMenu, opens);
    EXPECT_EQ(r.commands.SchedulerEdit, opens);
    EXPECT_TRUE(r.atClose.isEmpty()) << r.atClose.join(" | ").toStdString();
    // The close does not write the schedule: what was there stays.
    EXPECT_EQ(QFileInfo(path).size(), sizeBefore);
}

INSTANTIATE_TEST_SUITE_P(Damages, DamagedSchedule, kDamages,
                         [](const auto& info) { return std::string(DamageName(info.param)); });

// --- Capture format files -------------------------------------------------

class DamagedVideoFormat : public ::testing::TestWithParam<std::tuple<const char*, Damage>>
{
protected:
    DamagedVideoFormat() { w.ChooseDriver(QStringLiteral("Cam")); }
    ~DamagedVideoFormat() override
    {
        QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner);
    }
    QString path() const { return w.dir.file(QString::fromLatin1(std::get<0>(GetParam()))); }
    WindowFixture w;
};

TEST_P(DamagedVideoFormat, RefusedWithAWarningAndWrittenAgainAtClose)
{
    const bool user = QString::fromLatin1(std::get<0>(GetParam())) == "iLXLE_USER.VID";
    const Damage damage = std::get<1>(GetParam());
    if (!Spoil(path(), damage))
        GTEST_SKIP() << "this user (root) reads a file whatever its permission bits";
    const qint64 sizeBefore = QFileInfo(path()).size();

    const RunResult r = StartAndClose();
    ExpectNoHang(r, damage);
    EXPECT_TRUE(r.atClose.isEmpty()) << r.atClose.join(" | ").toStdString();
    // The driver's own format is written over whatever was there before it
    // is ever read; only a file the program may not write stops that.
    const bool writable = damage != Damage::Folder && damage != Damage::Unreadable;
    // A user's file whole enough to read but naming no format is refused as
    // a driver would refuse it: the format dialog asks, and nothing warns.
    const bool readable = writable && damage != Damage::Empty;
    if ((user && !readable) || !writable) {
        ASSERT_EQ(r.atStart.size(), 1) << r.atStart.join(" | ").toStdString();
        EXPECT_TRUE(r.atStart[0].contains(path())) << r.atStart[0].toStdString();
        EXPECT_FALSE(r.videoActive);
        EXPECT_FALSE(r.commands.ConnectButton) << "the format set-up failed";
        EXPECT_TRUE(r.commands.Driver) << "another driver can still be picked";
    } else {
        EXPECT_TRUE(r.atStart.isEmpty()) << r.atStart.join(" | ").toStdString();
        EXPECT_TRUE(r.videoActive);
    }
    if (!writable) {
        // Left as it was; the next start warns again.
        EXPECT_EQ(QFileInfo(path()).isDir(), damage == Damage::Folder);
        EXPECT_EQ(QFileInfo(path()).size(), sizeBefore);
        return;
    }
    // The close leaves a format file the next start reads.
    BitmapInfoHeader header;
    ASSERT_NO_THROW(header = ReadVideoFormatFile(path()));
    EXPECT_EQ(header.width, 320);
    EXPECT_EQ(header.height, 240);
    EXPECT_EQ(QFileInfo(path()).size(), BitmapInfoHeader::kSize);
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedVideoFormat,
                         ::testing::Combine(::testing::Values("iLXLE_USER.VID", "iLXLE_DEF.VID"),
                                            kDamages),
                         [](const auto& info) {
                             QString n = QString::fromLatin1(std::get<0>(info.param));
                             n.replace('.', '_');
                             return n.toStdString() + "_" + DamageName(std::get<1>(info.param));
                         });

} // namespace
