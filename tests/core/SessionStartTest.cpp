// The session start entry: the Exec line that must start this copy whatever
// its path holds, and what reads as on.
#include "ScratchDir.h"
#include "TSessionStart.h"

#include <QFile>

#include <gtest/gtest.h>

TEST(SessionStartEntry, ExecArgumentsComeBackAsTheyWereWhateverThePathHolds)
{
    struct Case
    {
        const char* argument;
        const char* written; // as the Exec value holds it, before string escapes
    };
    const Case cases[] = {
        {"/usr/bin/ilumerix", "/usr/bin/ilumerix"},
        {"/home/me/My Programs/ilumerix", "\"/home/me/My Programs/ilumerix\""},
        {"/opt/a\"b/ilumerix", "\"/opt/a\\\"b/ilumerix\""},
        {"/opt/$HOME`x`/ilumerix", "\"/opt/\\$HOME\\`x\\`/ilumerix\""},
        {"/opt/back\\slash/ilumerix", "\"/opt/back\\\\slash/ilumerix\""},
        {"/opt/100%/ilumerix", "/opt/100%%/ilumerix"},
        {"/opt/100% sure/ilumerix", "\"/opt/100%% sure/ilumerix\""},
        {"/opt/it's/ilumerix", "\"/opt/it's/ilumerix\""},
    };
    for (const Case& c : cases) {
        const QString argument = QString::fromUtf8(c.argument);
        EXPECT_EQ(TSessionStart::ExecArgument(argument), QString::fromUtf8(c.written))
            << c.argument;
        // Through the whole entry, string escapes included, and back.
        const QString text = TSessionStart::EntryText(QString(), argument);
        const QString exec =
            text.section(QStringLiteral("\nExec="), 1).section(QLatin1Char('\n'), 0, 0);
        EXPECT_EQ(TSessionStart::ExecArguments(exec),
                  QStringList({argument, QLatin1String(TSessionStart::kArgument)}))
            << c.argument << " in " << text.toStdString();
    }
    // Field codes stand for files the desktop would pass: none here.
    EXPECT_EQ(TSessionStart::ExecArguments(QStringLiteral("ilumerix %U --x")),
              QStringList({QStringLiteral("ilumerix"), QStringLiteral("--x")}));
}

TEST(SessionStartEntry, FollowsTheMenuEntryAndStartsOnlyThisCopy)
{
    const QString menu =
        QStringLiteral("# menu\n[Desktop Entry]\nType=Application\n"
                       "Name=i-Lumerix Light Edition\nExec=ilumerix\n"
                       "TryExec=ilumerix\nIcon=org.ilumerix.LightEdition\n"
                       "Actions=scan;\n\n[Desktop Action scan]\nExec=ilumerix -s\n");
    EXPECT_EQ(TSessionStart::EntryText(menu, QStringLiteral("/usr/bin/ilumerix")),
              QStringLiteral("[Desktop Entry]\nType=Application\nName=i-Lumerix Light Edition\n"
                             "Icon=org.ilumerix.LightEdition\n"
                             "TryExec=/usr/bin/ilumerix\n"
                             "Exec=/usr/bin/ilumerix --session-start\n"));

    ScratchDir dir;
    const QString folder = dir.file(QStringLiteral("autostart"));
    const TSessionStart here(QStringLiteral("/usr/bin/ilumerix"), folder, menu);
    const TSessionStart other(QStringLiteral("/home/me/portable/ilumerix"), folder);
    QString why;
    ASSERT_TRUE(here.SetOn(true, &why)) << why.toStdString();
    EXPECT_FALSE(other.IsOn()) << "the entry starts another copy";
    EXPECT_TRUE(other.SetOn(false, &why));
    EXPECT_TRUE(here.IsOn()) << "another copy's off leaves this copy's entry";

    // Switched off by a desktop's settings without being removed.
    for (const char* off : {"Hidden=true\n", "X-GNOME-Autostart-enabled=false\n"}) {
        ASSERT_TRUE(here.SetOn(true, &why));
        QFile file(here.EntryPath());
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write(off);
        file.close();
        EXPECT_FALSE(here.IsOn()) << off;
    }
}
