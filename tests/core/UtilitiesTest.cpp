#include "EIlxError.h"
#include "OpenDocument.h"
#include "ProductTexts.h"
#include "TAboutBox.h"
#include "TAboutDlg.h"
#include "TFormWaitClose.h"

#include "ScratchDir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// A stand-in for the desktop's opener: records its argument and ends with
// the given exit code, or keeps running (as an opener that shows the
// document itself does) when told to.
QString makeOpener(const ScratchDir& dir, int exitCode, bool keepRunning = false)
{
    const QString script = dir.file("opener.sh");
    QByteArray body = "#!/bin/sh\nprintf '%s' \"$1\" > '" + dir.file("opened").toUtf8() + "'\n";
    body += keepRunning ? "sleep 30\n" : "exit " + QByteArray::number(exitCode) + "\n";
    dir.write("opener.sh", body);
    QFile::setPermissions(script, QFile::permissions(script) | QFileDevice::ExeOwner);
    return script;
}

QString openError(const QString& document)
{
    try {
        OpenDocument(nullptr, document);
    } catch (const EIlxError& e) {
        return e.message();
    }
    return QStringLiteral("(no error)");
}

class OpenDocumentTest : public ::testing::Test
{
protected:
    void TearDown() override { SetDocumentOpener(QString()); }
    ScratchDir dir;
};

} // namespace

TEST_F(OpenDocumentTest, MissingDocumentsFailBeforeAnyProgramRuns)
{
    SetDocumentOpener(makeOpener(dir, 0));
    EXPECT_EQ(openError(dir.file("none.jpg")),
              "Error2 on open request\n" + dir.file("none.jpg") + "\n\nFile not found");
    EXPECT_TRUE(openError(dir.file("no/such/folder/a.jpg")).startsWith("Error3 on open request\n"));
    EXPECT_TRUE(openError(dir.file("no/such/folder/a.jpg")).endsWith("\n\nPath not found"));
    EXPECT_FALSE(QFile::exists(dir.file("opened")));
}

TEST_F(OpenDocumentTest, NoAssociatedProgramRaisesError31WithTheDocument)
{
    dir.write("picture.qqq", "x");
    SetDocumentOpener(makeOpener(dir, 3));
    EXPECT_EQ(openError(dir.file("picture.qqq")),
              "Error31 on open request\n" + dir.file("picture.qqq") +
                  "\n\nNo application associated with this extension");
    EXPECT_EQ(dir.read("opened"), dir.file("picture.qqq").toUtf8()) << "one argument, unquoted";

    SetDocumentOpener(dir.file("no-such-opener"));
    EXPECT_TRUE(openError(dir.file("picture.qqq")).startsWith("Error31 on open request"));
}

TEST_F(OpenDocumentTest, SuccessReturnsAbove32AndAddressesGoToTheOpener)
{
    SetDocumentOpener(makeOpener(dir, 0));
    EXPECT_GT(OpenDocument(nullptr, "https://example.invalid/a b?c=$(d)"), 32);
    EXPECT_EQ(dir.read("opened"), "https://example.invalid/a b?c=$(d)");

    dir.write("log.txt", "x");
    SetDocumentOpener(makeOpener(dir, 1));
    EXPECT_EQ(openError(dir.file("log.txt")),
              "Error1 on open request\n" + dir.file("log.txt") + "\n\nUnknow error");
}

TEST_F(OpenDocumentTest, AnOpenerThatStaysRunningMeansItOpenedAndDoesNotBlockForever)
{
    dir.write("log.txt", "x");
    SetDocumentOpener(makeOpener(dir, 0, true));
    QElapsedTimer t;
    t.start();
    EXPECT_GT(OpenDocument(nullptr, dir.file("log.txt")), 32);
    EXPECT_LT(t.elapsed(), 10000);
}

TEST(OpenFailureReason, FollowsTheTable)
{
    EXPECT_EQ(OpenFailureReason(0), "Insufficient memory");
    EXPECT_EQ(OpenFailureReason(5), "Forbiden access");
    EXPECT_EQ(OpenFailureReason(26), "Sharing violation ");
    EXPECT_EQ(OpenFailureReason(32), "DLL file not found");
    for (int code : {1, 4, 6, 7, 9, 10, 12, 25, 33, -1})
        EXPECT_EQ(OpenFailureReason(code), "Unknow error") << code;
}

TEST(ProductTexts, UnscrambleToPlainReadableText)
{
    for (ProductText t : {ProductText::Purpose, ProductText::Copyright, ProductText::PrintHeader,
                          ProductText::PrintedBy}) {
        const QString text = UnscrambledText(t);
        EXPECT_GE(text.size(), 10);
        for (QChar c : text)
            EXPECT_TRUE(c.isPrint()) << text.toStdString();
    }
}

TEST(AboutBox, EmptyTitleBecomesAProposDeTheApplicationTitle)
{
    TAboutBox box;
    box.SetComments("Version 3.1");
    QString caption, comments;
    bool hasIcon = false;
    box.SetBeforeShow([&](TAboutDlg& dlg) {
        QTimer::singleShot(0, &dlg, [&] {
            caption = dlg.windowTitle();
            comments = dlg.Comments->text();
            hasIcon = !dlg.ProgramIcon->pixmap().isNull();
            dlg.OKButton->click();
        });
    });
    QImage icon(16, 16, QImage::Format_RGB888);
    icon.fill(Qt::red);
    box.SetProgramIcon(icon);
    EXPECT_TRUE(box.Execute());
    EXPECT_EQ(caption, "A propos de i-Lumerix Light Edition");
    EXPECT_EQ(box.Title(), "A propos de i-Lumerix Light Edition");
    EXPECT_EQ(comments, "Version 3.1");
    EXPECT_TRUE(hasIcon);

    box.SetTitle("About...");
    box.SetBeforeShow([&](TAboutDlg& dlg) {
        QTimer::singleShot(0, &dlg, [&] {
            caption = dlg.windowTitle();
            dlg.reject();
        });
    });
    EXPECT_FALSE(box.Execute()) << "closed without OK";
    EXPECT_EQ(caption, "About...");
}

// The About panel: a lowered outer bevel (shadow above and left, light
// below and right) around a raised inner one (the other way round).
TEST(AboutDlg, ThePanelHasALoweredOuterAndARaisedInnerBevel)
{
    TAboutDlg dlg;
    const QImage panel = dlg.PanelFrame->grab().toImage();
    const QRgb dark = dlg.PanelFrame->palette().dark().color().rgb();
    const QRgb light = dlg.PanelFrame->palette().light().color().rgb();
    ASSERT_NE(dark, light);
    const int w = panel.width();
    const int h = panel.height();
    EXPECT_EQ(panel.pixel(0, h / 2), dark) << "outer left";
    EXPECT_EQ(panel.pixel(w / 2, 0), dark) << "outer top";
    EXPECT_EQ(panel.pixel(w - 1, h / 2), light) << "outer right";
    EXPECT_EQ(panel.pixel(w / 2, h - 1), light) << "outer bottom";
    EXPECT_EQ(panel.pixel(1, h / 2), light) << "inner left";
    EXPECT_EQ(panel.pixel(w - 2, h / 2), dark) << "inner right";
}

TEST(FormWaitClose, ShowsItsTextAtOnceOnTop)
{
    TFormWaitClose wait;
    EXPECT_EQ(wait.PanelWaitClose->text(), "Running Process are stopped... please wait.");
    wait.SetText("Stopping the alarm...");
    wait.ShowNow();
    EXPECT_TRUE(wait.isVisible());
    EXPECT_TRUE(wait.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(wait.PanelWaitClose->text(), "Stopping the alarm...");
}
