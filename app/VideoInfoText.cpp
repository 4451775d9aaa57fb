#include "VideoInfoText.h"

#include <QLocale>

QString ColourCountText(int bitCount)
{
    // Depths beyond 32 bits do not exist; clamp so the shift stays defined.
    const int bits = std::clamp(bitCount, 0, 32);
    const qulonglong colours = qulonglong(1) << bits;
    QLocale locale = QLocale::system();
    locale.setNumberOptions(QLocale::DefaultNumberOptions);
    return locale.toString(colours);
}

QString VideoInfoText(const QString& lead, int width, int height, int bitCount)
{
    return lead + QString::number(width) + QStringLiteral("x") + QString::number(height) +
           QStringLiteral(" ") + QString::number(bitCount) + QStringLiteral(" bits RGB") +
           QStringLiteral(" (") + ColourCountText(bitCount) + QStringLiteral(" colors)");
}
