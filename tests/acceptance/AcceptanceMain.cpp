// The acceptance tests run under the program's own application object, so an
// error that escapes a command reaches the main window's handler as it does
// in the program.
#include "TIlxApplication.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // No test reaches the desktop's session bus: its keyring would keep the
    // tests' camera passwords and its notifications would pop up. A test
    // that wants a bus starts a private one.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/ilx-no-bus");
    ::testing::InitGoogleTest(&argc, argv);
    TIlxApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
