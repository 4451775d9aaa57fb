#include "ShowMessageBox.h"

#include "ModalAnswerer.h"

#include <QApplication>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace {

struct Seen
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QString text;
    QString caption;
};

// Opens a box, records what it showed and presses the given button.
int showAndPress(const QString& text, int kind, int buttons, int press, Seen& seen)
{
    ModalAnswerer answerer([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        seen.icon = box->icon();
        seen.buttons = box->standardButtons();
        seen.text = box->text();
        seen.caption = box->windowTitle();
        PressMessageBoxButton(press)(modal);
    });
    const int result = ShowMessageBox(nullptr, text, kind, buttons);
    EXPECT_TRUE(answerer.answered());
    return result;
}

} // namespace

TEST(ShowMessageBox, UnknownKindAndButtonsShowOkWithoutIcon)
{
    Seen seen;
    EXPECT_EQ(showAndPress("x", 7, 9, QMessageBox::Ok, seen), MrOk);
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

TEST(ShowMessageBox, AnswersThePlatformCodesOfEachButton)
{
    Seen seen;
    EXPECT_EQ(showAndPress("q", MkQuestion, MbYesNo, QMessageBox::Yes, seen), MrYes);
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(showAndPress("q", MkQuestion, MbYesNo, QMessageBox::No, seen), MrNo);
    EXPECT_EQ(showAndPress("q", MkWarning, MbYesNoCancel, QMessageBox::Cancel, seen), MrCancel);
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(showAndPress("q", MkError, MbRetryCancel, QMessageBox::Retry, seen), MrRetry);
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(showAndPress("q", MkInformation, MbOkCancel, QMessageBox::Ok, seen), MrOk);
    EXPECT_EQ(seen.icon, QMessageBox::Information);
}

TEST(ShowMessageBox, CutsTextTo255CharactersAndUsesTheApplicationTitle)
{
    Seen seen;
    showAndPress(QString(300, QLatin1Char('a')), MkWarning, MbOk, QMessageBox::Ok, seen);
    EXPECT_EQ(seen.text.size(), 255);
    EXPECT_EQ(seen.caption, QStringLiteral("i-Lumerix Light Edition"));
}

TEST(ShowMessageBox, ShowsPathsAsPlainTextWithLineBreaks)
{
    Seen seen;
    Qt::TextFormat format = Qt::AutoText;
    ModalAnswerer answerer([&](QWidget* modal) {
        format = qobject_cast<QMessageBox*>(modal)->textFormat();
        seen.text = qobject_cast<QMessageBox*>(modal)->text();
        PressMessageBoxButton(QMessageBox::Ok)(modal);
    });
    ShowMessageBox(nullptr, "Error2 on open request\r/tmp/<b>x</b>.jpg\r\n", MkWarning, MbOk);
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(seen.text, "Error2 on open request\n/tmp/<b>x</b>.jpg\n");
}

TEST(ShowMessageBox, PutsBackTheHourglassThatWasOn)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Qt::CursorShape during = Qt::BlankCursor;
    ModalAnswerer answerer([&](QWidget* modal) {
        during = QApplication::overrideCursor()->shape();
        PressMessageBoxButton(QMessageBox::Ok)(modal);
    });
    ShowMessageBox(nullptr, "wait", MkInformation, MbOk);
    EXPECT_EQ(during, Qt::ArrowCursor);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QApplication::restoreOverrideCursor();
}
