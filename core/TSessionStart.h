#pragma once

#include <QString>
#include <QStringList>

// The entry that starts a copy of the program when the user's desktop session
// starts (an XDG autostart entry, "<id>.desktop" in the user's autostart
// folder). Its Exec names this copy's executable with kArgument, so a copy
// started by the session knows it was and may start minimised. The entry is
// the only record of the choice: what the file says is what the Watch page
// shows, and a file removed by hand (or switched off by the desktop's own
// settings) reads as off.
class TSessionStart
{
public:
    // Given to the program by the entry.
    static constexpr const char* kArgument = "--session-start";

    // The entry of \a program (its absolute path) in \a autostartFolder,
    // written from \a desktopEntry (the text of the program's menu entry; the
    // built-in one when empty).
    TSessionStart(QString program, QString autostartFolder, QString desktopEntry = {});

    // This running copy's entry in the user's autostart folder
    // ($XDG_CONFIG_HOME/autostart), following the installed menu entry when
    // the copy is an installed one.
    static TSessionStart ForThisCopy();

    QString EntryPath() const;
    // The entry is there, not switched off, and starts this copy.
    bool IsOn() const;
    // Writes or removes the entry. An entry that starts another copy is left
    // alone when switched off here. False, with the reason in \a why, when the
    // file cannot be written or removed.
    bool SetOn(bool on, QString* why) const;

    // The entry's text: \a desktopEntry's main group with Exec starting
    // \a program with kArgument, and nothing that would start anything else.
    static QString EntryText(const QString& desktopEntry, const QString& program);
    // One argument as an Exec value holds it (quoted where the desktop entry
    // rules ask for it), and the arguments back from an Exec value.
    static QString ExecArgument(const QString& argument);
    static QStringList ExecArguments(const QString& execValue);

private:
    QString program_;
    QString folder_;
    QString desktopEntry_;
};
