#pragma once

#include <QString>

// The About box's comment: product name, author, version, an empty line,
// copyright and platform, one a line.
QString AboutComments();

// The line the picture viewer prints as its owner.
QString ViewerOwnerLine();
