#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <mutex>
#include <optional>

// The alarm log in memory during one sound run: every added line is appended
// and the whole list written over the file, under the lock the run shares with
// the options dialog. A failed write discards the list; the rest of the run
// then writes nothing and the file keeps what was last written.
//
// The sound thread opens it and adds the run's lines; the main thread adds the
// closing lines after the thread has ended. Never used by two threads at once.
class TAlarmLog
{
public:
    TAlarmLog(QString path, std::mutex& lock, bool logging);

    // First step of every run: reads the existing file (trimming it whether or
    // not logging is on), then the heading lines. False when the existing file
    // could not be read or written; the list is then gone.
    bool Open();
    // Appends one line and writes the file; nothing when logging is off or the
    // list is gone. False when the write failed.
    bool Add(const QString& line);
    // The closing lines of a run. False when a write failed (the caller beeps).
    bool Close();

    bool HasLines() const { return lines_.has_value(); }
    const QStringList* Lines() const { return lines_ ? &*lines_ : nullptr; }

    // One line between runs (a camera lost or back), appended to the file as
    // the runs' lines are, trimmed the same way. Never while a run holds the log.
    static bool AppendEvent(const QString& path, std::mutex& lock, const QString& line);

    // "dd mmmm yyyy hh:nn:ss", the month named by the locale (the system's unless pinned).
    static QString Stamp(const QDateTime& when);

    static constexpr qint64 kTrimSize = 32768;
    static constexpr int kTrimMinLines = 56;
    static constexpr int kTrimDropLines = 51;

private:
    // The existing file's lines, trimmed; `existed` says whether there was one.
    bool ReadFile(bool& existed);
    bool WriteAll();
    bool Trim();

    QString path_;
    std::mutex& lock_;
    bool logging_;
    std::optional<QStringList> lines_;
};
