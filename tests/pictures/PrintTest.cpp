#include "TFormView.h"
#include "TPrintedPage.h"

#include "Clock.h"
#include "JpegCodec.h"
#include "ModalAnswerer.h"
#include "ScratchDir.h"

#include <QFile>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A4 at 300 dpi with 5 mm unprintable on the left and top, 10 mm right and bottom.
TPageGeometry a4()
{
    TPageGeometry page;
    page.Dpi = 300;
    const int mm5 = page.Mm(5);
    const int mm10 = page.Mm(10);
    page.Paper = QRect(-mm5, -mm5, page.Mm(210), page.Mm(297));
    page.Printable = QSize(page.Mm(210) - mm5 - mm10, page.Mm(297) - mm5 - mm10);
    return page;
}

int pdfPages(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    return static_cast<int>(QString::fromLatin1(file.readAll()).count(page));
}

int darkPixels(const QImage& image, const QRect& area)
{
    int dark = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            dark += qGray(image.pixel(x, y)) < 100;
    return dark;
}

} // namespace

TEST(PrintedPage, SmallPictureIsEnlargedToHalfThePageBelowTheHeader)
{
    const TPageGeometry page = a4();
    EXPECT_EQ(page.RightMargin(), page.Mm(10));
    EXPECT_EQ(page.BottomMargin(), page.Mm(10));
    const TPrintedLayout layout = LayoutPrintedPage(page, {352, 288}, 60, 50, 20, 50);
    EXPECT_EQ(layout.TitleY, page.Mm(20) - page.Mm(5));
    EXPECT_EQ(layout.OwnerY, layout.TitleY + 72);
    EXPECT_EQ(layout.NoteY, layout.OwnerY + 60);
    EXPECT_EQ(layout.PictureTextY, layout.NoteY + 60);
    const int half = page.Printable.width() / 2;
    EXPECT_EQ(layout.PictureRect.width(), half);
    EXPECT_EQ(layout.PictureRect.height(), qRound(half * 288.0 / 352.0));
    EXPECT_EQ(layout.PictureRect.x(), (page.Printable.width() - half) / 2);
    EXPECT_EQ(layout.PictureRect.y(), layout.PictureTextY + 100);

    ASSERT_FALSE(layout.RuleYs.empty());
    EXPECT_EQ(layout.RuleYs.front(), layout.PictureRect.bottom() + 1 + page.Mm(10));
    EXPECT_EQ(layout.RuleYs[1] - layout.RuleYs[0], page.Mm(5));
    const int limit = page.Printable.height() + page.Mm(10) - page.Mm(20);
    EXPECT_LT(layout.RuleYs.back(), limit);
    EXPECT_GE(layout.RuleYs.back() + page.Mm(5), limit);
    EXPECT_EQ(layout.RuleLeft, page.Mm(25) - page.Mm(5));
    EXPECT_EQ(layout.RuleRight, page.Printable.width() + page.Mm(10) - page.Mm(25));
}

TEST(PrintedPage, LargePicturesShrinkToThePageKeepingTheirShape)
{
    const TPageGeometry page = a4();
    const int pw = page.Printable.width();
    const int ph = page.Printable.height();
    const TPrintedLayout wide = LayoutPrintedPage(page, {pw * 2, pw}, 10, 10, 10, 10);
    EXPECT_EQ(wide.PictureRect.width(), pw);
    EXPECT_EQ(wide.PictureRect.height(), qRound(pw / 2.0));
    const TPrintedLayout tall = LayoutPrintedPage(page, {ph, ph * 4}, 10, 10, 10, 10);
    EXPECT_EQ(tall.PictureRect.height(), ph);
    EXPECT_EQ(tall.PictureRect.width(), qRound(ph / 4.0));
    // A portrait picture smaller than the page takes half the page's height.
    const TPrintedLayout portrait = LayoutPrintedPage(page, {100, 200}, 10, 10, 10, 10);
    EXPECT_EQ(portrait.PictureRect.height(), ph / 2);
    EXPECT_EQ(portrait.PictureRect.width(), qRound(ph / 2 / 2.0));
}

TEST(PrintedPage, RenderedPageHasTitleAbovePictureFramedAndRulesBelow)
{
    const TPageGeometry page = a4();
    QImage sheet(page.Printable, QImage::Format_RGB32);
    sheet.setDotsPerMeterX(qRound(page.Dpi / 0.0254));
    sheet.setDotsPerMeterY(qRound(page.Dpi / 0.0254));
    sheet.fill(Qt::white);
    QImage picture(352, 288, QImage::Format_RGB888);
    picture.fill(qRgb(250, 40, 40));
    TPrintedTexts texts;
    texts.Title = QStringLiteral("i-Lumerix Light Edition");
    texts.Owner = QStringLiteral("Owner line");
    texts.Note = QStringLiteral("note");
    texts.Picture = QStringLiteral("Monday 7 December 2026 14:03:59.042");
    texts.PageNumber = QStringLiteral("Page 1/1");
    texts.PrintedAt = QStringLiteral("12/7/26 3:00 PM");
    {
        QPainter painter(&sheet);
        PaintPrintedPage(painter, page, picture, texts);
    }
    const QFontMetrics title(QFont(QStringLiteral("Arial"), 12, QFont::Bold), &sheet);
    const TPrintedLayout layout =
        LayoutPrintedPage(page, picture.size(), title.height(),
                          QFontMetrics(QFont(QStringLiteral("Arial"), 10), &sheet).height(),
                          QFontMetrics(QFont(QStringLiteral("Arial"), 4), &sheet).height(),
                          QFontMetrics(QFont(QStringLiteral("Arial"), 10), &sheet).height());
    const QRect pic = layout.PictureRect;
    // Title: ink in its band, centred above the picture.
    const QRect titleBand(0, layout.TitleY, sheet.width(), title.height());
    EXPECT_GT(darkPixels(sheet, titleBand), 100);
    EXPECT_EQ(darkPixels(sheet, QRect(0, layout.TitleY, sheet.width() / 4, title.height())), 0);
    // The picture itself, and its frame just outside.
    EXPECT_EQ(QColor(sheet.pixel(pic.center())).red(), 250);
    EXPECT_EQ(qGray(sheet.pixel(pic.center().x(), pic.top() - 1)), 0);
    EXPECT_EQ(qGray(sheet.pixel(pic.left() - 1, pic.center().y())), 0);
    EXPECT_EQ(qGray(sheet.pixel(pic.center().x(), pic.bottom() + 2)), 0);
    EXPECT_EQ(qGray(sheet.pixel(pic.center().x(), pic.top() - 4)), 255);
    // A ruled line across the page below the picture, nothing just above it.
    const int rule = layout.RuleYs.front();
    EXPECT_EQ(
        darkPixels(sheet, QRect(layout.RuleLeft, rule, layout.RuleRight - layout.RuleLeft, 1)),
        layout.RuleRight - layout.RuleLeft);
    EXPECT_EQ(darkPixels(sheet, QRect(0, rule - 10, sheet.width(), 5)), 0);
    // Corner texts at the bottom.
    EXPECT_GT(darkPixels(sheet, QRect(0, sheet.height() - 60, 300, 60)), 20);
    EXPECT_GT(darkPixels(sheet, QRect(sheet.width() - 300, sheet.height() - 60, 300, 60)), 20);
}

namespace {

class PrintPictures : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        SetClockSource([] { return QDateTime(QDate(2026, 12, 7), QTime(15, 0)); });
        for (int i = 0; i < 4; ++i) {
            QImage image(160, 120, QImage::Format_RGB888);
            image.fill(qRgb(40 * i, 100, 200));
            WriteJpegFile(dir.file(QStringLiteral("ILX 2026-12-07 1%1-00-00-000.jpg").arg(i)),
                          image, 80);
        }
        view.SetOwnerLine(QStringLiteral("Printed for the test"));
        view.ListFolder(dir.path());
    }
    void TearDown() override
    {
        SetClockSource({});
        QLocale::setDefault(QLocale::system());
    }

    int print(TFormView::TPrintRange range, int from = 0, int to = 0)
    {
        QPrinter printer(QPrinter::ScreenResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        const int started = view.PrintPictures(printer, range, from, to);
        docName = printer.docName();
        return started;
    }

    ScratchDir dir;
    QString pdf = dir.file(QStringLiteral("out.pdf"));
    TFormView view;
    QString docName;
};

} // namespace

TEST_F(PrintPictures, OnePagePerPictureOfTheRange)
{
    EXPECT_EQ(print(TFormView::TPrintRange::All), 4);
    EXPECT_EQ(pdfPages(pdf), 4);
    EXPECT_EQ(docName, QStringLiteral("i-Lumerix Light Edition - page(s):1 to 4"));

    view.RxSpeedButtonNextClick();
    view.RxSpeedButtonNextClick();
    EXPECT_EQ(print(TFormView::TPrintRange::Selection), 1);
    EXPECT_EQ(pdfPages(pdf), 1);
    EXPECT_EQ(docName, QStringLiteral("i-Lumerix Light Edition - page(s):3 to 3"));

    EXPECT_EQ(print(TFormView::TPrintRange::Pages, 2, 3), 2);
    EXPECT_EQ(pdfPages(pdf), 2);
    // A range past the end is cut to the pictures there are.
    EXPECT_EQ(print(TFormView::TPrintRange::Pages, 3, 40), 2);
    EXPECT_FALSE(view.Printing());
}

TEST_F(PrintPictures, UndecodablePictureIsReportedAndSkipped)
{
    QFile::resize(dir.file(QStringLiteral("ILX 2026-12-07 11-00-00-000.jpg")), 100);
    ModalAnswerer answer(PressMessageBoxButton(QMessageBox::Ok));
    EXPECT_EQ(print(TFormView::TPrintRange::All), 4);
    ASSERT_TRUE(answer.answered());
    EXPECT_EQ(answer.text(),
              QStringLiteral("Picture format not supported\nILX 2026-12-07 11-00-00-000.jpg"));
    EXPECT_EQ(pdfPages(pdf), 4);
    EXPECT_TRUE(view.findChild<QWidget*>(QStringLiteral("RxSpeedButtonPrint"))->isEnabled());
}

TEST_F(PrintPictures, EscBetweenPagesStopsTheJob)
{
    QFile::resize(dir.file(QStringLiteral("ILX 2026-12-07 10-00-00-000.jpg")), 100);
    // The warning for the first page is answered after an Esc reached the window.
    ModalAnswerer answer([&](QWidget* modal) {
        QTest::keyClick(view.findChild<QWidget*>(QStringLiteral("EditIndex")), Qt::Key_Escape);
        EXPECT_TRUE(view.Printing());
        // No closing while the printer is busy.
        EXPECT_FALSE(view.close());
        PressMessageBoxButton(QMessageBox::Ok)(modal);
    });
    view.show();
    EXPECT_EQ(print(TFormView::TPrintRange::All), 1);
    ASSERT_TRUE(answer.answered());
    EXPECT_TRUE(view.PrintCanceled());
    EXPECT_TRUE(view.isVisible());
    EXPECT_EQ(pdfPages(pdf), 1);
    // The next job starts with the flag down.
    QFile::remove(dir.file(QStringLiteral("ILX 2026-12-07 10-00-00-000.jpg")));
    view.ListFolder(dir.path());
    EXPECT_EQ(print(TFormView::TPrintRange::All), 3);
}
