// "Start with my session" on the Watch page: the desktop's autostart entry
// for this copy, written, read back and removed through the options window.
#include "Program.h"

#include "TFormOptions.h"
#include "TSessionStart.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

TEST(SessionStart, TheBoxWritesReadsBackAndRemovesTheAutostartEntry)
{
    Program app;
    app.Start();
    const QString entry =
        app.dir.file(QStringLiteral("config/autostart/") +
                     QLatin1String(TSessionStart::kDesktopId) + QStringLiteral(".desktop"));
    TFormOptions& options = app.Options();
    const auto tick = [&] {
        app.OpenOptionsPage(QStringLiteral("Watch"));
        app.Click(QStringLiteral("CheckBoxSession"), Qt::LeftButton, {}, &options);
    };
    const auto ok = [&] {
        app.Click(QStringLiteral("BitBtnOK"), Qt::LeftButton, {}, &options);
    };

    app.OpenOptionsPage(QStringLiteral("Watch"));
    EXPECT_FALSE(options.CheckBoxSession->isChecked()) << "off at first";
    app.Click(QStringLiteral("BitBtnCancel"), Qt::LeftButton, {}, &options);

    tick();
    ok();
    QFile file(entry);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "the entry is written on OK";
    const QString text = QString::fromUtf8(file.readAll());
    file.close();
    EXPECT_TRUE(text.startsWith(QStringLiteral("[Desktop Entry]\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\nName=i-Lumerix Light Edition\n")));
    const QString exec =
        text.section(QStringLiteral("\nExec="), 1).section(QLatin1Char('\n'), 0, 0);
    EXPECT_EQ(TSessionStart::ExecArguments(exec),
              QStringList({QCoreApplication::applicationFilePath(),
                           QLatin1String(TSessionStart::kArgument)}))
        << "it starts this very copy";

    app.OpenOptionsPage(QStringLiteral("Watch"));
    EXPECT_TRUE(options.CheckBoxSession->isChecked()) << "read back";
    app.Click(QStringLiteral("BitBtnCancel"), Qt::LeftButton, {}, &options);

    // Removed by hand: the box follows the file at the next opening.
    ASSERT_TRUE(QFile::remove(entry));
    app.OpenOptionsPage(QStringLiteral("Watch"));
    EXPECT_FALSE(options.CheckBoxSession->isChecked()) << "the entry removed by hand";
    app.Click(QStringLiteral("CheckBoxSession"), Qt::LeftButton, {}, &options);
    ok();
    ASSERT_TRUE(QFile::exists(entry));
    tick(); // unticks
    EXPECT_FALSE(options.CheckBoxSession->isChecked());
    ok();
    EXPECT_FALSE(QFile::exists(entry)) << "unticked, the entry is removed";

    // An autostart folder that cannot be made: said, and nothing is saved
    // (the other option changed with it neither), so nothing claims to be set up.
    ASSERT_TRUE(QFile::remove(app.dir.file(QStringLiteral("config/autostart"))) ||
                QDir(app.dir.file(QStringLiteral("config/autostart"))).removeRecursively());
    app.dir.write(QStringLiteral("config/autostart"), "not a folder");
    QString said;
    ModalScript failure({{"QMessageBox", [&](QWidget* box) {
                              said = static_cast<QMessageBox*>(box)->text();
                              static_cast<QMessageBox*>(box)->accept();
                          }}});
    tick();
    app.Click(QStringLiteral("CheckBoxReconnect"), Qt::LeftButton, {}, &options);
    ok();
    EXPECT_EQ(failure.Done(), 1);
    EXPECT_NE(app.Stored("iLXLE_PARAM.DAT", "Reconnect"), "1");
    EXPECT_TRUE(said.contains(QStringLiteral("start with your session"))) << said.toStdString();
    EXPECT_TRUE(options.Modified());
}
