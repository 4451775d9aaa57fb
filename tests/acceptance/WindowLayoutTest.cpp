// The main window's size, place and video layout as a user shapes them:
// resizing, Zoom, the placement kept from one run to the next, the About box,
// and the options window's pages.
#include "Program.h"

#include "TFormMainLE.h"
#include "TFormOptions.h"
#include "TVideoCam.h"

#include <QCheckBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace {

class WindowLayout : public ::testing::Test
{
protected:
    QRect View() const { return app.Form().VideoCam()->geometry(); }
    QFrame* Panel() const { return qobject_cast<QFrame*>(app.Widget("PanelVideo")); }
    QCheckBox* Zoom() const { return qobject_cast<QCheckBox*>(app.Widget("CheckBoxScaleVideo")); }
    // Resizes the window as a window manager does, then lets it lay out.
    void ResizeTo(int w, int h)
    {
        app.Form().resize(w, h);
        WaitFor([&] { return app.Form().size() == QSize(w, h); }, 2000);
        Program::Pause(50);
    }
    bool Centred() const
    {
        const QRect inside = Panel()->contentsRect();
        return std::abs(View().center().x() - inside.center().x()) <= 1 &&
               std::abs(View().center().y() - inside.center().y()) <= 1;
    }

    Program app;
};

} // namespace

TEST_F(WindowLayout, ResizedWindowKeepsTheVideoCentredOrFillsItWithZoom)
{
    app.Start();
    ASSERT_EQ(View().size(), QSize(320, 240));
    EXPECT_TRUE(Centred());

    ResizeTo(900, 700);
    EXPECT_EQ(View().size(), QSize(320, 240)) << "not zoomed: the picture's own size";
    EXPECT_TRUE(Centred()) << "centred again in the larger window";

    app.Click(QStringLiteral("CheckBoxScaleVideo"));
    ASSERT_TRUE(Zoom()->isChecked());
    EXPECT_EQ(View(), Panel()->contentsRect()) << "zoomed: the view fills the panel";

    ResizeTo(700, 500);
    EXPECT_EQ(View(), Panel()->contentsRect()) << "and follows it when the window changes";

    app.Click(QStringLiteral("CheckBoxScaleVideo"));
    EXPECT_EQ(View().size(), QSize(320, 240));
    EXPECT_TRUE(Centred());
    app.Close();
    EXPECT_EQ(app.Stored("iLXLE.INI", "Zoom"), "0");
}

TEST_F(WindowLayout, AnEnlargedWindowComesBackAtItsSizeAndPlace)
{
    app.Store("iLXLE.INI", "NormPos", "40,60,840,660", "Application");
    app.Start();
    EXPECT_EQ(app.Form().geometry(), QRect(40, 60, 800, 600));
    EXPECT_TRUE(Centred());

    ResizeTo(760, 580);
    app.Close();
    EXPECT_EQ(app.Stored("iLXLE.INI", "NormPos", "Application"), "40,60,800,640");
}

TEST_F(WindowLayout, AFirstStartOpensAtTheDesignedSizeCentred)
{
    app.Start();
    // 446 x 252 as designed, grown to fit a 320 x 240 picture.
    EXPECT_GE(app.Form().width(), 446);
    EXPECT_GE(app.Form().height(), 252);
    EXPECT_TRUE(Centred());
}

TEST_F(WindowLayout, AboutBoxShowsTheProgramIconAndItsTexts)
{
    app.Start();
    QPixmap icon;
    QString text;
    ModalAnswerer about([&](QWidget* box) {
        if (auto* label = box->findChild<QLabel*>(QStringLiteral("ProgramIcon")))
            icon = label->pixmap();
        if (auto* label = box->findChild<QLabel*>(QStringLiteral("Comments")))
            text = label->text();
        box->findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
    });
    app.Key(Qt::Key_F2);
    ASSERT_TRUE(about.answered());
    EXPECT_EQ(about.title(), "About...");
    EXPECT_FALSE(icon.isNull()) << "the icon area is not empty";
    EXPECT_TRUE(text.startsWith("i-Lumerix Light Edition")) << text.toStdString();
    EXPECT_TRUE(text.contains("3.1 LE-EN"));
    EXPECT_TRUE(text.endsWith("\nfor Linux")) << "the platform line names this system";
    EXPECT_FALSE(text.contains("Windows"));

    ModalAnswerer again([](QWidget* box) { box->close(); });
    ASSERT_TRUE(app.Menu({"?", "&About..."}));
    EXPECT_TRUE(again.answered());
}

TEST_F(WindowLayout, TheWindowsTextsUseAProportionalFont)
{
    // A system without a proportional face falls back to a monospaced one,
    // and every caption and label looks like a terminal's.
    app.Start();
    for (const QString name : {"PanelInfo", "CheckBoxScaleVideo", "MainMenu"}) {
        QWidget* widget = app.Widget(name);
        ASSERT_NE(widget, nullptr) << name.toStdString();
        const QFontInfo used(widget->font());
        EXPECT_FALSE(used.fixedPitch())
            << name.toStdString() << " uses " << used.family().toStdString();
    }
    const QFontInfo window(app.Form().font());
    EXPECT_FALSE(window.fixedPitch()) << "the window uses " << window.family().toStdString();
    const QFontMetrics metrics(app.Form().font());
    EXPECT_LT(metrics.horizontalAdvance(QStringLiteral("iiiiiiiiii")),
              metrics.horizontalAdvance(QStringLiteral("MMMMMMMMMM")))
        << "narrow letters take less room than wide ones";
}

// The options window keeps its size: each page must give every control its
// whole height, whatever a new option added to it.
TEST_F(WindowLayout, EveryOptionsPageShowsItsControlsWhole)
{
    app.Start();
    TFormOptions& options = app.Options();
    QTabBar* tabs = options.PageControl->tabBar();
    for (int i = 0; i < tabs->count(); ++i) {
        app.OpenOptionsPage(tabs->tabText(i));
        for (QWidget* control : options.PageControl->widget(i)->findChildren<QWidget*>()) {
            // The toolkit's own parts of a control (a spin box's field) are
            // laid out by the control.
            if (!control->isVisible() || control->minimumSizeHint().isEmpty() ||
                control->objectName().startsWith(QLatin1String("qt_")))
                continue;
            EXPECT_GE(control->height(), control->minimumSizeHint().height())
                << tabs->tabText(i).toStdString() << ": " << control->objectName().toStdString()
                << " (" << control->metaObject()->className() << ") is squashed";
        }
        app.Click(QStringLiteral("BitBtnCancel"), Qt::LeftButton, {}, &options);
    }
}
