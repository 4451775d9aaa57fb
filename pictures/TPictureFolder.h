#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

// The pictures of one folder as the viewer sees them: the names that follow
// the picture name pattern, sorted by name ignoring case (so by prefix, then
// by time), their total size, and the grouping by day. Display-free.
class TPictureFolder
{
public:
    // Lists `folder` again from scratch. A missing folder lists nothing.
    void List(const QString& folder);

    const QString& Folder() const { return folder_; }
    const QStringList& Names() const { return names_; }
    qint64 TotalSize() const { return totalSize_; }
    QString PathOf(const QString& name) const { return folder_ + QLatin1Char('/') + name; }

    // Takes a deleted name out of the folder list; the total keeps its bytes,
    // as it describes the folder as it was listed.
    bool Remove(const QString& name);

    // "All days" followed by the day text of each run of names of one day.
    // `todayIndex` receives the item of `today`, or 0 when there is none.
    QStringList DayItems(const QDate& today, int* todayIndex) const;

    // The names of one day item, or all names for item 0 ("All days").
    QStringList NamesOfDay(int itemIndex, const QString& itemText) const;

    // "12.3 Ko total".
    QString TotalText() const;

private:
    QString folder_;
    QStringList names_;
    qint64 totalSize_ = 0;
};

inline const QString kAllDays = QStringLiteral("All days");
inline const QString kDateError = QStringLiteral("Date error !");

// Case-blind name order shared by the folder and the shown lists.
void SortPictureNames(QStringList& names);

// "Monday, December 7, 2026" (in the program's locale), or "Date error !".
QString PictureDayText(const QString& name);
QString DayText(const QDate& date);
// "Monday 7 December 2026 14:03:59.042", or "Date error !".
QString PictureText(const QString& name);
// "%.1f Ko" of a byte count.
QString KiloText(qint64 bytes);
