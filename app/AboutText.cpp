#include "AboutText.h"

#include "ProductTexts.h"

#include <QStringList>

QString AboutComments()
{
    return QStringList{QString::fromLatin1(kProductName),
                       UnscrambledText(ProductText::Purpose),
                       QStringLiteral("Version ") + QString::fromLatin1(kProductVersion),
                       QString(),
                       UnscrambledText(ProductText::Copyright),
                       QString::fromLatin1(kProductPlatform)}
        .join(QLatin1Char('\n'));
}

QString ViewerOwnerLine()
{
    return QStringLiteral("i-Lumerix Light Edition 3.1 LE-EN");
}
