#pragma once

#include <QString>

// The product's fixed texts and the About box's comment built from them.
namespace ProductTexts {

QString ProductName();
QString Version();
QString Platform();
QString AuthorLine();
QString VersionLine();
QString CopyrightLine();

// Name, author, version, an empty line, copyright, platform, one per line.
QString AboutComments();

} // namespace ProductTexts
