#include "TFormStopAlarm.h"

#include "AlarmEvents.h"
#include "TMessageEvent.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

// Counts the stop requests sent to it, and whether each came synchronously.
class StopTarget : public QObject
{
public:
    bool event(QEvent* e) override
    {
        if (e->type() != kStopRequestEvent)
            return QObject::event(e);
        const auto* m = static_cast<TMessageEvent*>(e);
        requests.append({m->WParam, m->LParam});
        return true;
    }
    QList<std::pair<std::intptr_t, std::intptr_t>> requests;
};

} // namespace

TEST(FormStopAlarm, IsASmallRedBorderlessWindowThatFloatsWithoutTakingFocus)
{
    TFormStopAlarm form;
    EXPECT_EQ(form.size(), QSize(108, 108));
    EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowDoesNotAcceptFocus);
    EXPECT_TRUE(form.testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_FALSE(form.isVisible());

    auto* panel = form.findChild<QWidget*>(QStringLiteral("PanelAlarm"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->geometry(), QRect(0, 0, 108, 108));
    auto* label = form.findChild<QLabel*>(QStringLiteral("LabelStop"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("STOP ALARM"));
    EXPECT_EQ(label->geometry(), QRect(17, 39, 69, 27));
    EXPECT_TRUE(label->wordWrap());
    EXPECT_TRUE(label->font().bold());
    EXPECT_EQ(label->statusTip(), QStringLiteral("Stop alarm"));
    ASSERT_NE(form.findChild<QLabel*>(QStringLiteral("ImageSoundStop")), nullptr);

    // What the user sees: a red window whose middle shows white text.
    form.ShowOnTop();
    ASSERT_NE(form.windowHandle(), nullptr);
    EXPECT_EQ(form.windowHandle()->title(), QStringLiteral("Stop alarm"))
        << "the name task bars and window switchers show";
    const QImage shot = form.grab().toImage();
    EXPECT_EQ(shot.pixelColor(3, 3), QColor(Qt::red));
    form.hide();
}

TEST(FormStopAlarm, AClickAnywhereSendsOneStopRequestToItsTarget)
{
    TFormStopAlarm form;
    StopTarget target;
    form.SetTarget(&target);
    form.ShowOnTop();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    // On the picture, on the label and on the window itself.
    QTest::mouseClick(form.findChild<QLabel*>(QStringLiteral("ImageSoundStop")), Qt::LeftButton, {},
                      QPoint(5, 5));
    EXPECT_EQ(target.requests.size(), 1);
    QTest::mouseClick(form.findChild<QLabel*>(QStringLiteral("LabelStop")), Qt::LeftButton);
    EXPECT_EQ(target.requests.size(), 2);
    QTest::mouseClick(&form, Qt::RightButton);
    EXPECT_EQ(target.requests.size(), 2) << "only the left button stops the alarm";
    for (const auto& request : target.requests)
        EXPECT_EQ(request, std::make_pair(std::intptr_t(0), std::intptr_t(0)));
}

TEST(FormStopAlarm, WithoutATargetAClickDoesNothingHarmful)
{
    TFormStopAlarm form;
    {
        StopTarget gone;
        form.SetTarget(&gone);
    }
    EXPECT_EQ(form.Target(), nullptr);
    form.ShowOnTop();
    QTest::mouseClick(&form, Qt::LeftButton);
    EXPECT_TRUE(form.isVisible()) << "the window is hidden by its owner, not by the click";
}

TEST(FormStopAlarm, ShowsCentredOnTheScreen)
{
    TFormStopAlarm form;
    form.ShowOnTop();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(std::abs(form.frameGeometry().center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(form.frameGeometry().center().y() - screen.center().y()), 1);
}
