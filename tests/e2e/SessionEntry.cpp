// ilx_session_entry PROGRAM: writes the session start entry of PROGRAM to
// $XDG_CONFIG_HOME/autostart with the program's own code, as ticking "Start
// with my session" in that copy does, and prints the entry's path.
#include "TSessionStart.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (app.arguments().size() != 2) {
        QTextStream(stderr) << "usage: ilx_session_entry PROGRAM\n";
        return 2;
    }
    const TSessionStart entry(
        QFileInfo(app.arguments().at(1)).absoluteFilePath(),
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
            QStringLiteral("/autostart"));
    QString why;
    if (!entry.SetOn(true, &why) || !entry.IsOn()) {
        QTextStream(stderr) << why << '\n';
        return 1;
    }
    QTextStream(stdout) << entry.EntryPath() << '\n';
    return 0;
}
