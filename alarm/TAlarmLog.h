#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <mutex>
#include <optional>

// The alarm log file and the one door to it: every writer (a sound run on its
// thread, the closing lines and the camera events on the main thread) goes
// through here, and its own lock keeps any two from overlapping.
//
// A sound run holds the whole file in memory as a list: every added line is
// appended and the whole list written over the file. A failed write discards
// the list; the rest of that run then writes nothing and the file keeps what
// was last written. One run at a time.
class TAlarmLog
{
public:
    explicit TAlarmLog(QString path);
    TAlarmLog(const TAlarmLog&) = delete;
    TAlarmLog& operator=(const TAlarmLog&) = delete;

    // First step of a run: reads the existing file (trimming it whether or
    // not `logging` is on), then the heading lines. False when the existing
    // file could not be read or written; the list is then gone.
    bool Open(bool logging);
    // Appends one line of the run and writes the file; nothing when the run
    // does not log or its list is gone. False when the write failed.
    bool Add(const QString& line);
    // The closing lines of the run, then the run is over and its list goes.
    // False when a write failed (the caller beeps).
    bool Close();

    // One line outside the run's own (a camera lost or back), written at
    // once: joined to a logging run's list, otherwise appended to the file;
    // trimmed the same way either way.
    bool AppendEvent(const QString& line);

    // The running list, as a copy: none between runs or after a failure.
    std::optional<QStringList> Lines() const;
    bool HasLines() const { return Lines().has_value(); }

    // "dd mmmm yyyy hh:nn:ss", the month named by the locale (the system's unless pinned).
    static QString Stamp(const QDateTime& when);

    static constexpr qint64 kTrimSize = 32768;
    static constexpr int kTrimMinLines = 56;
    static constexpr int kTrimDropLines = 51;

private:
    // The helpers below run with mutex_ held; the list is the run's or, for
    // an event between runs, one read for that line alone.
    // The existing file's lines, trimmed; `existed` says whether there was one.
    bool ReadFile(QStringList& lines, bool& existed) const;
    // Appends, writes the whole list over the file and trims.
    bool Append(QStringList& lines, const QString& line) const;
    bool WriteAll(const QStringList& lines) const;
    bool Trim(QStringList& lines) const;
    // A line of the running list; a failed write ends the run's writing.
    bool AddToRun(const QString& line);

    const QString path_;
    mutable std::mutex mutex_;
    bool logging_ = false;
    std::optional<QStringList> lines_;
};
