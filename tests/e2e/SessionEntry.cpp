// ilx_session_entry PROGRAM: writes the session start entry of PROGRAM to
// $XDG_CONFIG_HOME/autostart with the program's own code, as ticking "Start
// with my session" in that copy does, and prints the entry's path.
// ilx_session_entry --launch ENTRY: launches ENTRY as a desktop session does
// (GLib's launcher, `gio launch`), waits for the program it started and ends
// with that program's status (128 + the signal when a signal ended it). The
// launcher leaves the program to no parent of its own; this process takes it
// in (a child subreaper), so that its status is not lost.
#include "TSessionStart.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextStream>

#include <cerrno>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

int launch(const char* entry)
{
    if (::prctl(PR_SET_CHILD_SUBREAPER, 1) != 0) {
        QTextStream(stderr) << "cannot adopt the launched program\n";
        return 125;
    }
    const pid_t launcher = ::fork();
    if (launcher == 0) {
        ::execlp("gio", "gio", "launch", entry, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    if (launcher < 0)
        return 125;
    int programStatus = -1;
    for (;;) {
        int status = 0;
        const pid_t ended = ::waitpid(-1, &status, 0);
        if (ended < 0 && errno == EINTR)
            continue;
        if (ended < 0)
            break; // no child left
        const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (ended == launcher && code != 0) {
            QTextStream(stderr) << "gio launch failed with status " << code << '\n';
            return 125;
        }
        if (ended != launcher)
            programStatus = code;
    }
    if (programStatus < 0) {
        QTextStream(stderr) << "the entry started no program\n";
        return 125;
    }
    return programStatus;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && QByteArray(argv[1]) == "--launch")
        return launch(argv[2]);
    QCoreApplication app(argc, argv);
    if (app.arguments().size() != 2) {
        QTextStream(stderr) << "usage: ilx_session_entry PROGRAM | --launch ENTRY\n";
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
