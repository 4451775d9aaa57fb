#include "AboutText.h"

#if __has_include("ProductTexts.h")
#include "ProductTexts.h"
#define ILX_PRODUCT_TEXTS 1
#else
#define ILX_PRODUCT_TEXTS 0
#endif

#include <QStringList>

QString AboutComments()
{
#if !ILX_PRODUCT_TEXTS
    constexpr const char* kProductName = "i-Lumerix Light Edition";
    constexpr const char* kProductVersion = "3.1 LE-EN";
    constexpr const char* kProductPlatform = "for Windows Me/XP/2000/NT/98/95";
    return QStringList{QString::fromLatin1(kProductName),
                       QStringLiteral("Written by the i-Lumerix developers"),
                       QStringLiteral("Version ") + QString::fromLatin1(kProductVersion),
                       QString(),
                       QStringLiteral("Copyright (c) the i-Lumerix developers"),
                       QString::fromLatin1(kProductPlatform)}
        .join(QLatin1Char('\n'));
#else
    return QStringList{QString::fromLatin1(kProductName),
                       UnscrambledText(ProductText::Purpose),
                       QStringLiteral("Version ") + QString::fromLatin1(kProductVersion),
                       QString(),
                       UnscrambledText(ProductText::Copyright),
                       QString::fromLatin1(kProductPlatform)}
        .join(QLatin1Char('\n'));
#endif
}

QString ViewerOwnerLine()
{
    return QStringLiteral("i-Lumerix Light Edition 3.1 LE-EN");
}
