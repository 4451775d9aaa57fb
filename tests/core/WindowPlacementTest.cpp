#include "WindowPlacement.h"
#include "DataPaths.h"
#include "ProfileFile.h"

#include "ScratchDir.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

class Placement : public ::testing::Test
{
protected:
    void SetUp() override { SetDataFolder(dir.path()); }
    void TearDown() override { SetDataFolder(QString()); }
    ScratchDir dir;
};

} // namespace

TEST_F(Placement, AWindowComesBackWhereItWasClosed)
{
    QWidget first;
    first.setGeometry(120, 90, 500, 320);
    first.show();
    StoreWindowPlacement(first);
    EXPECT_EQ(ReadProfileString(DataPaths().Ini, "Application", "NormPos", ""), "120,90,620,410");
    EXPECT_EQ(ReadProfileString(DataPaths().Ini, "Application", "ShowCmd", ""), "1");

    QWidget second;
    RestoreWindowPlacement(second);
    EXPECT_EQ(second.geometry(), QRect(120, 90, 500, 320));
}

TEST_F(Placement, MaximisedIsStoredWithItsNormalRectangleAndRestoredMaximised)
{
    TWindowPlacement p;
    p.ShowCmd = TWindowPlacement::kShowMaximized;
    p.NormalRect = QRect(50, 60, 400, 300);
    p.PixelsPerInch = qRound(QGuiApplication::primaryScreen()->logicalDotsPerInch());
    WriteWindowPlacement(p);

    QWidget w;
    RestoreWindowPlacement(w);
    EXPECT_TRUE(w.windowState().testFlag(Qt::WindowMaximized));
    const TWindowPlacement r = ReadWindowPlacement();
    EXPECT_EQ(r.NormalRect, QRect(50, 60, 400, 300));
    EXPECT_EQ(r.ShowCmd, TWindowPlacement::kShowMaximized);
}

TEST_F(Placement, DamagedOrOffScreenPlacementStillGivesAVisibleWindow)
{
    WriteProfileString(DataPaths().Ini, "Application", "NormPos", "10,20,abc,40");
    WriteProfileString(DataPaths().Ini, "Application", "MinMaxPos", "1,2,3");
    QWidget w;
    w.setGeometry(5, 6, 300, 200);
    RestoreWindowPlacement(w);
    EXPECT_EQ(w.geometry(), QRect(5, 6, 300, 200)) << "nothing usable stored: left as designed";
    EXPECT_EQ(ReadWindowPlacement().MinPosition, QPoint(-1, -1));

    EXPECT_FALSE(ParseNormalRect("100,100,50,50").isValid()) << "right of left is required";
    WriteProfileString(DataPaths().Ini, "Application", "NormPos", "90000,90000,90400,90300");
    RestoreWindowPlacement(w);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.intersects(w.geometry()));
    EXPECT_EQ(w.geometry().size(), QSize(400, 300));
}
