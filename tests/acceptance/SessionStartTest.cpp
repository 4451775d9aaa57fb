// "Start with my session" on the Watch page: the desktop's autostart entry
// for this copy, written, read back and removed through the options window.
#include "Program.h"

#include "ProductTexts.h"
#include "TFormOptions.h"
#include "TSessionStart.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

TEST(SessionStart, TheBoxWritesReadsBackAndRemovesTheAutostartEntry)
{
    Program app;
    app.Start();
    const QString entry =
        app.dir.file(QStringLiteral("config/autostart/") + QLatin1String(kProductDesktopId) +
                     QStringLiteral(".desktop"));
    TFormOptions& options = app.Options();
    // The Watch page opened with F3: is the box ticked?
    const auto shown = [&] {
        app.OpenOptionsPage(QStringLiteral("Watch"));
        return options.CheckBoxSession->isChecked();
    };
    const auto clickAndOk = [&] {
        app.Click(QStringLiteral("CheckBoxSession"), Qt::LeftButton, {}, &options);
        app.Click(QStringLiteral("BitBtnOK"), Qt::LeftButton, {}, &options);
    };

    EXPECT_FALSE(shown()) << "off at first";
    clickAndOk();
    QFile file(entry);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "the entry is written on OK";
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("\nName=i-Lumerix Light Edition\n")));
    const QString exec =
        text.section(QStringLiteral("\nExec="), 1).section(QLatin1Char('\n'), 0, 0);
    EXPECT_EQ(TSessionStart::ExecArguments(exec),
              QStringList({QCoreApplication::applicationFilePath(),
                           QLatin1String(TSessionStart::kArgument)}))
        << "it starts this very copy";
    EXPECT_TRUE(shown()) << "read back";
    app.Click(QStringLiteral("BitBtnCancel"), Qt::LeftButton, {}, &options);

    // Removed by hand: the box follows the file at the next opening.
    ASSERT_TRUE(QFile::remove(entry));
    EXPECT_FALSE(shown()) << "the entry removed by hand";
    clickAndOk();
    ASSERT_TRUE(QFile::exists(entry));
    EXPECT_TRUE(shown());
    clickAndOk();
    EXPECT_FALSE(QFile::exists(entry)) << "unticked, the entry is removed";

    // An autostart folder that cannot be made: said, and nothing is saved
    // (the other option changed with it neither), so nothing claims to be set up.
    ASSERT_TRUE(QDir().rmdir(app.dir.file(QStringLiteral("config/autostart"))));
    app.dir.write(QStringLiteral("config/autostart"), "not a folder");
    QString said;
    ModalScript failure({{"QMessageBox", [&](QWidget* box) {
                              said = static_cast<QMessageBox*>(box)->text();
                              static_cast<QMessageBox*>(box)->accept();
                          }}});
    shown();
    app.Click(QStringLiteral("CheckBoxReconnect"), Qt::LeftButton, {}, &options);
    clickAndOk();
    EXPECT_EQ(failure.Done(), 1);
    EXPECT_NE(app.Stored("iLXLE_PARAM.DAT", "Reconnect"), "1");
    EXPECT_TRUE(said.contains(QStringLiteral("start with your session"))) << said.toStdString();
    EXPECT_TRUE(options.Modified());
}
