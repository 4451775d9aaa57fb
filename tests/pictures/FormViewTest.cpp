#include "TFormView.h"

#include "Clock.h"
#include "JpegCodec.h"
#include "ModalAnswerer.h"
#include "ScratchDir.h"
#include "TPictureBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

QImage flat(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_RGB888);
    image.fill(colour);
    return image;
}

class FormView : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        SetClockSource([] { return QDateTime(QDate(2026, 12, 7), QTime(15, 0)); });
    }
    void TearDown() override
    {
        SetClockSource({});
        QLocale::setDefault(QLocale::system());
    }

    void picture(const QString& name, QSize size = {64, 48}, QRgb colour = qRgb(80, 120, 200))
    {
        WriteJpegFile(dir.file(name), flat(size.width(), size.height(), colour), 80);
    }

    // Four pictures on 6 December, two today with another prefix between.
    void standardFolder()
    {
        picture(QStringLiteral("ILX 2026-12-06 10-00-00-000.jpg"));
        picture(QStringLiteral("ILX 2026-12-06 11-00-00-000.jpg"));
        picture(QStringLiteral("ILX 2026-12-07 08-00-00-000.jpg"));
        picture(QStringLiteral("ILX 2026-12-07 09-00-00-000.jpg"));
        picture(QStringLiteral("ILX 2026-12-07 10-00-00-000.jpg"));
        picture(QStringLiteral("ABCD 2026-12-07 10-00-00-000.jpg")); // not listed
    }

    template <typename T> T* child(const char* name)
    {
        T* found = view->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    bool enabled(const char* name) { return child<QWidget>(name)->isEnabled(); }
    QString status() { return child<QLabel>("LabelStatus")->text(); }
    QString info() { return child<QLabel>("PanelInfo")->text(); }

    void open()
    {
        view = std::make_unique<TFormView>();
        view->SetOwnerLine(QStringLiteral("Owner: test bench"));
        view->ListFolder(dir.path());
    }

    void typeIndex(const QString& text)
    {
        auto* edit = child<QLineEdit>("EditIndex");
        edit->setText(text);
        emit edit->editingFinished();
    }

    ScratchDir dir;
    std::unique_ptr<TFormView> view;
};

} // namespace

TEST_F(FormView, EmptyFolderDisablesEverythingAndShowsAllDaysOnly)
{
    open();
    auto* days = child<QComboBox>("ComboBoxDate");
    EXPECT_EQ(days->count(), 1);
    EXPECT_EQ(days->itemText(0), QStringLiteral("All days"));
    EXPECT_EQ(days->currentIndex(), -1);
    EXPECT_EQ(view->CurrentIndex(), -1);
    for (const char* name : {"RxSpeedButtonFirst", "RxSpeedButtonPrevious", "RxSpeedButtonNext",
                             "RxSpeedButtonLast", "EditIndex", "SpeedButtonPlay", "TrackBar",
                             "RxSpeedButtonPrint", "RxSpeedButtonCopy", "RxSpeedButtonDelete"})
        EXPECT_FALSE(enabled(name)) << name;
    EXPECT_EQ(child<QLabel>("LabelTotal")->text(), QStringLiteral("/ 0"));
    EXPECT_EQ(child<QLabel>("LabelStatus")->text(), QStringLiteral("0.0 Ko total"));
    EXPECT_TRUE(child<TPictureBox>("Image")->Picture().isNull());
    EXPECT_TRUE(view->LastPicture().isEmpty());
    EXPECT_EQ(view->windowTitle(), QStringLiteral("View pictures catched"));
}

TEST_F(FormView, TodaySelectedAndItsFirstPictureShown)
{
    standardFolder();
    open();
    auto* days = child<QComboBox>("ComboBoxDate");
    EXPECT_EQ(days->count(), 3);
    EXPECT_EQ(days->currentText(), QStringLiteral("Monday, December 7, 2026"));
    EXPECT_EQ(view->ShownList().size(), 3);
    EXPECT_EQ(view->CurrentIndex(), 0);
    EXPECT_EQ(info(), QStringLiteral("Monday 7 December 2026 08:00:00.000"));
    EXPECT_EQ(child<TPictureBox>("Image")->Picture().size(), QSize(64, 48));
    const qint64 size = QFile(dir.file(QStringLiteral("ILX 2026-12-07 08-00-00-000.jpg"))).size();
    EXPECT_EQ(status(),
              KiloText(size) + QStringLiteral(" (picture) / ") + view->Pictures().TotalText());
    EXPECT_EQ(child<QLabel>("LabelTotal")->text(), QStringLiteral("/ 3"));
    EXPECT_FALSE(enabled("RxSpeedButtonFirst"));
    EXPECT_TRUE(enabled("RxSpeedButtonNext"));
    EXPECT_TRUE(enabled("TrackBar"));
    EXPECT_EQ(child<QSlider>("TrackBar")->maximum(), 2);
    EXPECT_EQ(view->LastPicture(), dir.file(QStringLiteral("ILX 2026-12-07 10-00-00-000.jpg")));

    // Choosing "All days" shows the five.
    days->setCurrentIndex(0);
    view->ComboBoxDateClick();
    EXPECT_EQ(view->ShownList().size(), 5);
    EXPECT_EQ(info(), QStringLiteral("Sunday 6 December 2026 10:00:00.000"));
}

TEST_F(FormView, OnePictureAllowsPrintCopyDeleteButNoBrowsing)
{
    picture(QStringLiteral("ILX 2026-12-07 08-00-00-000.jpg"));
    open();
    for (const char* name : {"SpeedButtonPlay", "TrackBar", "RxSpeedButtonNext",
                             "RxSpeedButtonLast", "RxSpeedButtonFirst", "RxSpeedButtonPrevious"})
        EXPECT_FALSE(enabled(name)) << name;
    for (const char* name :
         {"RxSpeedButtonPrint", "RxSpeedButtonCopy", "RxSpeedButtonDelete", "EditIndex"})
        EXPECT_TRUE(enabled(name)) << name;
    // The printed page's third header line is made of the program's own texts.
    EXPECT_EQ(view->PrintNote(), "Printed with i-Lumerix Light Edition: Surveillance pictures - "
                                 "(c) i-Lumerix developers. All rights reserved.");
}

TEST_F(FormView, NavigationButtonsTypedNumbersAndTrackBar)
{
    standardFolder();
    open();
    view->RxSpeedButtonLastClick();
    EXPECT_EQ(view->CurrentIndex(), 2);
    EXPECT_FALSE(enabled("RxSpeedButtonNext"));
    EXPECT_TRUE(enabled("RxSpeedButtonFirst"));
    EXPECT_EQ(child<QLineEdit>("EditIndex")->text(), QStringLiteral("3"));
    view->RxSpeedButtonPreviousClick();
    EXPECT_EQ(view->CurrentIndex(), 1);
    view->RxSpeedButtonFirstClick();
    EXPECT_EQ(view->CurrentIndex(), 0);
    view->RxSpeedButtonPreviousClick();
    EXPECT_EQ(view->CurrentIndex(), 0);
    view->RxSpeedButtonNextClick();
    EXPECT_EQ(view->CurrentIndex(), 1);
    EXPECT_EQ(info(), QStringLiteral("Monday 7 December 2026 09:00:00.000"));

    typeIndex(QStringLiteral("0"));
    EXPECT_EQ(view->CurrentIndex(), 0);
    EXPECT_EQ(child<QLineEdit>("EditIndex")->text(), QStringLiteral("1"));
    typeIndex(QStringLiteral("99"));
    EXPECT_EQ(view->CurrentIndex(), 2);
    EXPECT_EQ(child<QLineEdit>("EditIndex")->text(), QStringLiteral("3"));
    typeIndex(QStringLiteral("-4"));
    EXPECT_EQ(view->CurrentIndex(), 0);
    typeIndex(QStringLiteral(" 2 "));
    EXPECT_EQ(view->CurrentIndex(), 1);
    typeIndex(QString());
    EXPECT_EQ(view->CurrentIndex(), 1);
    {
        ModalAnswerer answer(PressMessageBoxButton(QMessageBox::Ok));
        typeIndex(QStringLiteral("two"));
        ASSERT_TRUE(answer.answered());
        EXPECT_EQ(answer.text(), QStringLiteral("'two' is not a valid integer value"));
    }
    EXPECT_EQ(view->CurrentIndex(), 1);
    EXPECT_EQ(child<QLineEdit>("EditIndex")->text(), QStringLiteral("2"));

    child<QSlider>("TrackBar")->setValue(2);
    EXPECT_EQ(view->CurrentIndex(), 2);
    EXPECT_EQ(info(), QStringLiteral("Monday 7 December 2026 10:00:00.000"));
}

TEST_F(FormView, SlideShowStopsAtTheLastAndReturnsToTheFirst)
{
    standardFolder();
    open();
    auto* play = child<QToolButton>("SpeedButtonPlay");
    auto* timer = view->findChild<QTimer*>(QStringLiteral("Timer"));
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 750);
    play->click();
    EXPECT_TRUE(timer->isActive());
    // The track bar is ignored while the show runs.
    child<QSlider>("TrackBar")->setValue(2);
    EXPECT_EQ(view->CurrentIndex(), 0);
    view->TimerTimer();
    view->TimerTimer();
    EXPECT_EQ(view->CurrentIndex(), 2);
    EXPECT_TRUE(timer->isActive());
    view->TimerTimer();
    EXPECT_FALSE(timer->isActive());
    EXPECT_FALSE(play->isChecked());
    EXPECT_EQ(view->CurrentIndex(), 0);
    // And it really ticks on its own.
    play->click();
    QTRY_COMPARE_WITH_TIMEOUT(view->CurrentIndex(), 1, 3000);
    play->click();
    EXPECT_FALSE(timer->isActive());
}

TEST_F(FormView, ArrowKeysAndCtrlShortcutsReachTheWindowFirst)
{
    standardFolder();
    open();
    view->show();
    auto* edit = child<QLineEdit>("EditIndex");
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(view->CurrentIndex(), 1);
    QTest::keyClick(edit, Qt::Key_Down);
    QTest::keyClick(edit, Qt::Key_Down); // Next is disabled at the last: nothing happens
    EXPECT_EQ(view->CurrentIndex(), 2);
    QTest::keyClick(child<QComboBox>("ComboBoxDate"), Qt::Key_Up);
    EXPECT_EQ(view->CurrentIndex(), 1);

    QGuiApplication::clipboard()->clear();
    QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(64, 48));

    {
        ModalAnswerer answer(PressMessageBoxButton(QMessageBox::No));
        QTest::keyClick(edit, Qt::Key_Delete, Qt::ControlModifier);
        ASSERT_TRUE(answer.answered());
        EXPECT_EQ(answer.text(), QStringLiteral("Do you want to delete this picture\n"
                                                "ILX 2026-12-07 09-00-00-000.jpg"));
    }
    EXPECT_EQ(view->ShownList().size(), 3);
    EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("ILX 2026-12-07 09-00-00-000.jpg"))));

    // Esc raises the print-cancel flag and does not close the window.
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_TRUE(view->PrintCanceled());
    EXPECT_TRUE(view->isVisible());
}

TEST_F(FormView, DeletingTheOnlyPictureOfADayRebuildsTheDayList)
{
    picture(QStringLiteral("ILX 2026-12-06 10-00-00-000.jpg"));
    picture(QStringLiteral("ILX 2026-12-07 08-00-00-000.jpg"));
    open();
    auto* days = child<QComboBox>("ComboBoxDate");
    ASSERT_EQ(days->count(), 3);
    ASSERT_EQ(days->currentIndex(), 2);
    {
        ModalAnswerer answer(PressMessageBoxButton(QMessageBox::Yes));
        view->RxSpeedButtonDeleteClick();
        ASSERT_TRUE(answer.answered());
    }
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("ILX 2026-12-07 08-00-00-000.jpg"))));
    // Today is gone from the list, so "All days" is chosen and shows the rest.
    EXPECT_EQ(days->count(), 2);
    EXPECT_EQ(days->currentIndex(), 0);
    EXPECT_EQ(view->ShownList(), QStringList{QStringLiteral("ILX 2026-12-06 10-00-00-000.jpg")});
    EXPECT_EQ(view->CurrentIndex(), 0);
    EXPECT_EQ(info(), QStringLiteral("Sunday 6 December 2026 10:00:00.000"));
    EXPECT_EQ(view->LastPicture(), dir.file(QStringLiteral("ILX 2026-12-06 10-00-00-000.jpg")));

    {
        ModalAnswerer answer(PressMessageBoxButton(QMessageBox::Yes));
        view->RxSpeedButtonDeleteClick();
    }
    EXPECT_EQ(days->count(), 1);
    EXPECT_EQ(view->CurrentIndex(), -1);
    EXPECT_TRUE(info().isEmpty());
    EXPECT_TRUE(child<TPictureBox>("Image")->Picture().isNull());
    EXPECT_FALSE(enabled("RxSpeedButtonDelete"));
    EXPECT_TRUE(view->LastPicture().isEmpty());
}

TEST_F(FormView, DeleteInTheMiddleShowsTheNextPicture)
{
    standardFolder();
    open();
    view->RxSpeedButtonNextClick();
    {
        ModalAnswerer answer(PressMessageBoxButton(QMessageBox::Yes));
        view->RxSpeedButtonDeleteClick();
    }
    EXPECT_EQ(view->ShownList().size(), 2);
    EXPECT_EQ(view->CurrentIndex(), 1);
    EXPECT_EQ(info(), QStringLiteral("Monday 7 December 2026 10:00:00.000"));
    EXPECT_EQ(view->Pictures().Names().size(), 4);
}

// Delete answered Yes: a picture already gone behind the viewer's back just
// leaves the lists; one that cannot be deleted warns and stays.
TEST_F(FormView, ADeleteOfAPictureAlreadyGoneLeavesTheListAndAFailedOneWarns)
{
    standardFolder();
    open();
    // Answers every box: Yes to the question, OK to what follows.
    QStringList texts;
    QTimer answer;
    answer.setInterval(10);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        texts << box->text();
        QAbstractButton* button = box->button(QMessageBox::Yes);
        (button ? button : box->button(QMessageBox::Ok))->click();
    });
    answer.start();
    QFile::remove(dir.file(QStringLiteral("ILX 2026-12-07 08-00-00-000.jpg")));
    view->RxSpeedButtonDeleteClick();
    EXPECT_EQ(texts.size(), 1) << texts.join(" | ").toStdString();
    EXPECT_EQ(view->ShownList().size(), 2);
    EXPECT_EQ(view->Pictures().Names().size(), 4);

    // The next one turned into a folder: it cannot go.
    const QString next = view->ShownList().at(view->CurrentIndex());
    ASSERT_TRUE(QFile::remove(dir.file(next)));
    ASSERT_TRUE(QDir(dir.path()).mkdir(next));
    texts.clear();
    view->RxSpeedButtonDeleteClick();
    EXPECT_EQ(view->ShownList().size(), 2);
    EXPECT_EQ(view->Pictures().Names().size(), 4);
    ASSERT_EQ(texts.size(), 2);
    EXPECT_TRUE(texts[1].startsWith("Unable to delete picture:\n" + next))
        << texts[1].toStdString();
}

TEST_F(FormView, CorruptPictureIsShownAsAnErrorAndBrowsingGoesOn)
{
    picture(QStringLiteral("ILX 2026-12-07 08-00-00-000.jpg"));
    dir.write(QStringLiteral("ILX 2026-12-07 09-00-00-000.jpg"), "this is no JPEG");
    const QByteArray good = EncodeJpeg(flat(64, 48, qRgb(1, 2, 3)), 80);
    dir.write(QStringLiteral("ILX 2026-12-07 10-00-00-000.jpg"), good.left(good.size() / 2));
    open();
    auto* image = child<TPictureBox>("Image");
    view->RxSpeedButtonNextClick();
    EXPECT_TRUE(image->Picture().isNull());
    EXPECT_EQ(image->ErrorText(),
              QStringLiteral("Picture format not supported\nILX 2026-12-07 09-00-00-000.jpg"));
    EXPECT_EQ(info(), QStringLiteral("Monday 7 December 2026 09:00:00.000"));
    view->RxSpeedButtonNextClick();
    EXPECT_TRUE(image->Picture().isNull());
    EXPECT_FALSE(image->ErrorText().isEmpty());
    view->RxSpeedButtonFirstClick();
    EXPECT_EQ(image->Picture().size(), QSize(64, 48));
    EXPECT_TRUE(image->ErrorText().isEmpty());
}

TEST_F(FormView, WindowFitsThePictureAndTheScreen)
{
    picture(QStringLiteral("ILX 2026-12-07 08-00-00-000.jpg"), {352, 288});
    picture(QStringLiteral("ILX 2026-12-07 09-00-00-000.jpg"), {4000, 3000});
    picture(QStringLiteral("ILX 2026-12-07 10-00-00-000.jpg"), {80, 60});
    open();
    view->show();
    auto* image = child<TPictureBox>("Image");
    QTRY_COMPARE(view->width(), 360);
    EXPECT_EQ(image->height(), 296);
    EXPECT_FALSE(image->Stretched());
    const QRect screen = view->screen()->availableGeometry();
    // Centred on the screen (the frame's own margins may shift it a pixel or two).
    EXPECT_LE(std::abs(view->frameGeometry().center().x() - screen.center().x()), 3);
    EXPECT_LE(std::abs(view->frameGeometry().center().y() - screen.center().y()), 3);

    view->RxSpeedButtonNextClick();
    EXPECT_LE(view->width(), screen.width());
    EXPECT_LE(view->height(), screen.height());
    EXPECT_TRUE(image->Stretched());
    EXPECT_GE(view->x(), screen.x());
    EXPECT_GE(view->y(), screen.y());

    // Small pictures keep the window at its minimum width.
    view->RxSpeedButtonNextClick();
    EXPECT_EQ(view->width(), 320);
    EXPECT_FALSE(image->Stretched());
}

TEST_F(FormView, HelpRequestsAskTheControlThenItsParentsThenTheDefault)
{
    open();
    QList<std::pair<int, QPoint>> asked;
    view->SetHelpHandler([&](int topic, QPoint at) { asked.append({topic, at}); });
    auto* days = child<QComboBox>("ComboBoxDate");
    days->setProperty("HelpContext", 4210);
    child<QWidget>("PanelBottom")->setProperty("HelpContext", -4220);
    QHelpEvent onDays(QEvent::WhatsThis, QPoint(1, 1), QPoint(100, 120));
    QCoreApplication::sendEvent(days, &onDays);
    QHelpEvent onTrack(QEvent::WhatsThis, QPoint(1, 1), QPoint(5, 6));
    QCoreApplication::sendEvent(child<QWidget>("TrackBar"), &onTrack);
    QHelpEvent onInfo(QEvent::WhatsThis, QPoint(1, 1), QPoint(7, 8));
    QCoreApplication::sendEvent(child<QWidget>("PanelInfo"), &onInfo);
    ASSERT_EQ(asked.size(), 3);
    EXPECT_EQ(asked[0], std::make_pair(4210, QPoint(100, 120)));
    EXPECT_EQ(asked[1].first, -4220);
    EXPECT_EQ(asked[2].first, 6000);
}
