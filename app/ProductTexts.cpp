#include "ProductTexts.h"

#include <QStringList>

namespace ProductTexts {

QString ProductName()
{
    return QStringLiteral("i-Lumerix Light Edition");
}

QString Version()
{
    return QStringLiteral("3.1 LE-EN");
}

QString Platform()
{
    return QStringLiteral("for Windows Me/XP/2000/NT/98/95");
}

QString AuthorLine()
{
    return QStringLiteral("Written by the i-Lumerix team");
}

QString VersionLine()
{
    return QStringLiteral("Version ") + Version();
}

QString CopyrightLine()
{
    return QStringLiteral("Copyright (c) the i-Lumerix authors");
}

QString AboutComments()
{
    return QStringList{ProductName(), AuthorLine(),    VersionLine(),
                       QString(),     CopyrightLine(), Platform()}
        .join(QLatin1Char('\n'));
}

} // namespace ProductTexts
