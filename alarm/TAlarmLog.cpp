#include "TAlarmLog.h"

#include "Clock.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>

namespace {

// A log far larger than the trim size is damaged or foreign; reading its tail
// is enough to keep the most recent entries and bounds the memory a run uses.
constexpr qint64 kMaxReadBytes = 4 * 1024 * 1024;

QByteArray encodeLine(const QString& line)
{
    return line.toLocal8Bit() + "\r\n";
}

} // namespace

TAlarmLog::TAlarmLog(QString path) : path_(std::move(path)) {}

QString TAlarmLog::Stamp(const QDateTime& when)
{
    return QLocale().toString(when, QStringLiteral("dd MMMM yyyy HH:mm:ss"));
}

std::optional<QStringList> TAlarmLog::Lines() const
{
    const std::lock_guard guard(mutex_);
    return lines_;
}

bool TAlarmLog::ReadFile(QStringList& lines, bool& existed) const
{
    QFile file(path_);
    existed = file.exists();
    if (!existed)
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = file.size();
    if (size > kMaxReadBytes && !file.seek(size - kMaxReadBytes))
        return false;
    QByteArray bytes = file.readAll();
    if (size > kMaxReadBytes) {
        // The first line read is cut; it goes.
        const qsizetype firstEnd = bytes.indexOf('\n');
        bytes.remove(0, firstEnd < 0 ? bytes.size() : firstEnd + 1);
    }
    QList<QByteArray> raw = bytes.split('\n');
    // A file ended by a line break has no last line after it.
    if (!raw.isEmpty() && raw.last().isEmpty())
        raw.removeLast();
    lines.reserve(raw.size() + 8);
    for (QByteArray& line : raw) {
        if (line.endsWith('\r'))
            line.chop(1);
        lines.append(QString::fromLocal8Bit(line));
    }
    return Trim(lines);
}

/*!
 * \brief Starts a sound run. Runs on the sound thread.
 */
bool TAlarmLog::Open(bool logging)
{
    const std::lock_guard guard(mutex_);
    logging_ = logging;
    lines_.emplace();
    bool existed = false;
    if (!ReadFile(*lines_, existed)) {
        lines_.reset();
        return false;
    }
    if (existed) {
        // Written out together with the next line.
        lines_->append(QString());
    } else if (!AddToRun(QStringLiteral("Logfile \"Sound Alarm\"")) || !AddToRun(QString())) {
        return false;
    }
    return AddToRun(QStringLiteral("Date: ") + Stamp(IlxNow())) && AddToRun(QString());
}

/*!
 * \brief A line of the sound run. Runs on the sound thread.
 */
bool TAlarmLog::Add(const QString& line)
{
    const std::lock_guard guard(mutex_);
    return AddToRun(line);
}

/*!
 * \brief Ends the sound run. Runs on the main thread, after the sound thread
 * has ended; a no-op when no run is open.
 */
bool TAlarmLog::Close()
{
    const std::lock_guard guard(mutex_);
    const bool ok = AddToRun(QStringLiteral("End of Thread \"Sound Alarm\"")) &&
                    AddToRun(QStringLiteral("Date: ") + Stamp(IlxNow()));
    lines_.reset();
    logging_ = false;
    return ok;
}

/*!
 * \brief Writes one event line now, whatever the sound is doing. Runs on the
 * main thread.
 *
 * A logging run writes its whole list over the file at every line, so the
 * line joins that list: appended to the file behind the run's back, it would
 * be gone at the run's next line. A run that writes nothing more (logging
 * off, or after a failed write) leaves the file to the event.
 */
bool TAlarmLog::AppendEvent(const QString& line)
{
    const std::lock_guard guard(mutex_);
    if (logging_ && lines_)
        return AddToRun(line);
    QStringList lines;
    bool existed = false;
    if (!ReadFile(lines, existed))
        return false;
    if (!existed &&
        (!Append(lines, QStringLiteral("Logfile \"Sound Alarm\"")) || !Append(lines, QString())))
        return false;
    return Append(lines, line);
}

bool TAlarmLog::AddToRun(const QString& line)
{
    if (!logging_ || !lines_)
        return true;
    if (Append(*lines_, line))
        return true;
    lines_.reset();
    return false;
}

bool TAlarmLog::Append(QStringList& lines, const QString& line) const
{
    lines.append(line);
    return WriteAll(lines) && Trim(lines);
}

bool TAlarmLog::WriteAll(const QStringList& lines) const
{
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += encodeLine(line);
    // Write then rename: a crash or a full disk leaves the old log or the new one.
    QSaveFile file(path_);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

// Drops the oldest lines, 51 at a time, while the file is over 32 KiB and the
// list holds at least 56 lines. The rounds are counted in memory and the file
// written once: the same result as writing after every round, without
// rewriting a large file thousands of times.
bool TAlarmLog::Trim(QStringList& lines) const
{
    qint64 size = QFileInfo(path_).size();
    if (size <= kTrimSize || lines.size() < kTrimMinLines)
        return true;

    QList<qint64> lengths;
    lengths.reserve(lines.size());
    qint64 listSize = 0;
    for (const QString& line : std::as_const(lines)) {
        lengths.append(encodeLine(line).size());
        listSize += lengths.last();
    }
    qsizetype dropped = 0;
    do {
        for (int i = 0; i < kTrimDropLines; ++i)
            listSize -= lengths[dropped + i];
        dropped += kTrimDropLines;
        size = listSize;
    } while (size > kTrimSize && lines.size() - dropped >= kTrimMinLines);

    lines.remove(0, dropped);
    return WriteAll(lines);
}
