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

TAlarmLog::TAlarmLog(QString path, std::mutex& lock, bool logging)
    : path_(std::move(path)), lock_(lock), logging_(logging)
{}

QString TAlarmLog::Stamp(const QDateTime& when)
{
    return QLocale().toString(when, QStringLiteral("dd MMMM yyyy HH:mm:ss"));
}

bool TAlarmLog::ReadFile(bool& existed)
{
    lines_.emplace();
    QFile file(path_);
    existed = file.exists();
    if (!existed)
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        lines_.reset();
        return false;
    }
    const qint64 size = file.size();
    if (size > kMaxReadBytes && !file.seek(size - kMaxReadBytes)) {
        lines_.reset();
        return false;
    }
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
    lines_->reserve(raw.size() + 8);
    for (QByteArray& line : raw) {
        if (line.endsWith('\r'))
            line.chop(1);
        lines_->append(QString::fromLocal8Bit(line));
    }
    return Trim();
}

bool TAlarmLog::Open()
{
    bool existed = false;
    if (!ReadFile(existed))
        return false;
    if (existed) {
        lines_->append(QString());
    } else {
        if (!Add(QStringLiteral("Logfile \"Sound Alarm\"")) || !Add(QString()))
            return false;
    }
    return Add(QStringLiteral("Date: ") + Stamp(IlxNow())) && Add(QString());
}

bool TAlarmLog::AppendEvent(const QString& path, std::mutex& lock, const QString& line)
{
    TAlarmLog log(path, lock, true);
    bool existed = false;
    if (!log.ReadFile(existed))
        return false;
    if (!existed && (!log.Add(QStringLiteral("Logfile \"Sound Alarm\"")) || !log.Add(QString())))
        return false;
    return log.Add(line);
}

bool TAlarmLog::Add(const QString& line)
{
    if (!logging_ || !lines_)
        return true;
    lines_->append(line);
    return WriteAll() && Trim();
}

bool TAlarmLog::Close()
{
    if (!Add(QStringLiteral("End of Thread \"Sound Alarm\"")))
        return false;
    return Add(QStringLiteral("Date: ") + Stamp(IlxNow()));
}

bool TAlarmLog::WriteAll()
{
    QByteArray bytes;
    for (const QString& line : *lines_)
        bytes += encodeLine(line);

    bool ok = false;
    {
        const std::lock_guard guard(lock_);
        // Write then rename: a crash or a full disk leaves the old log or the new one.
        QSaveFile file(path_);
        ok = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    }
    if (!ok)
        lines_.reset();
    return ok;
}

// Drops the oldest lines, 51 at a time, while the file is over 32 KiB and the
// list holds at least 56 lines. The rounds are counted in memory and the file
// written once: the same result as writing after every round, without
// rewriting a large file thousands of times.
bool TAlarmLog::Trim()
{
    if (!lines_)
        return true;
    qint64 size = QFileInfo(path_).size();
    if (size <= kTrimSize || lines_->size() < kTrimMinLines)
        return true;

    QList<qint64> lengths;
    lengths.reserve(lines_->size());
    qint64 listSize = 0;
    for (const QString& line : *lines_) {
        lengths.append(encodeLine(line).size());
        listSize += lengths.last();
    }
    qsizetype dropped = 0;
    do {
        for (int i = 0; i < kTrimDropLines; ++i)
            listSize -= lengths[dropped + i];
        dropped += kTrimDropLines;
        size = listSize;
    } while (size > kTrimSize && lines_->size() - dropped >= kTrimMinLines);

    lines_->remove(0, dropped);
    return WriteAll();
}
