#include "TPictureFolder.h"

#include "PictureName.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>

namespace {

QString upperFirst(QString text)
{
    if (!text.isEmpty())
        text[0] = text.at(0).toUpper();
    return text;
}

} // namespace

void SortPictureNames(QStringList& names)
{
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int blind = a.compare(b, Qt::CaseInsensitive);
        // Names equal but for case keep one fixed order.
        return blind != 0 ? blind < 0 : a < b;
    });
}

QString DayText(const QDate& date)
{
    return upperFirst(QLocale().toString(date, QStringLiteral("dddd, MMMM d, yyyy")));
}

QString PictureDayText(const QString& name)
{
    const auto date = PictureNameDate(name);
    return date ? DayText(*date) : kDateError;
}

QString PictureText(const QString& name)
{
    const auto when = PictureNameTime(name);
    if (!when)
        return kDateError;
    return upperFirst(QLocale().toString(when->date(), QStringLiteral("dddd d MMMM yyyy")) +
                      QLatin1Char(' ') + when->time().toString(QStringLiteral("hh:mm:ss.zzz")));
}

QString KiloText(qint64 bytes)
{
    return QString::asprintf("%.1f Ko", static_cast<double>(bytes) / 1024.0);
}

void TPictureFolder::List(const QString& folder)
{
    names_.clear();
    totalSize_ = 0;
    folder_ = folder;
    while (folder_.size() > 1 && folder_.endsWith(QLatin1Char('/')))
        folder_.chop(1);
    // Hidden and system files count too; folders with a picture's name do not.
    QDirIterator it(folder_, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        if (!MatchesPictureName(info.fileName()))
            continue;
        names_.append(info.fileName());
        totalSize_ += info.size();
    }
    SortPictureNames(names_);
}

bool TPictureFolder::Remove(const QString& name)
{
    return names_.removeOne(name);
}

QStringList TPictureFolder::DayItems(const QDate& today, int* todayIndex) const
{
    QStringList items{kAllDays};
    int found = 0;
    const QString todayText = DayText(today);
    for (const QString& name : names_) {
        const QString day = PictureDayText(name);
        if (day == items.last())
            continue;
        items.append(day);
        if (found == 0 && day.compare(todayText, Qt::CaseInsensitive) == 0)
            found = static_cast<int>(items.size()) - 1;
    }
    if (todayIndex)
        *todayIndex = found;
    return items;
}

QStringList TPictureFolder::NamesOfDay(int itemIndex, const QString& itemText) const
{
    QStringList shown;
    if (itemIndex == 0) {
        shown = names_;
    } else {
        for (const QString& name : names_)
            if (PictureDayText(name) == itemText)
                shown.append(name);
    }
    SortPictureNames(shown);
    return shown;
}

QString TPictureFolder::TotalText() const
{
    return KiloText(totalSize_) + QStringLiteral(" total");
}
