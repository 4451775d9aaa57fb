#pragma once

#include <QString>

// Profile files: the classic INI form ("[Section]" lines, then "key=value"
// lines), read and written one key at a time.
//
// Sections and keys match case-insensitively, blanks around keys and values
// are ignored, a value enclosed in matching quotes loses them, LF and CR LF
// line ends both read, the first of duplicated keys wins, and a read returns
// at most kProfileValueMax characters. A missing file, section or key gives the
// default. A write changes that one key and keeps every other byte of the file
// as it was; the file is replaced atomically, so a crash or a full disk leaves
// the old file or the new one. A failed write raises EIlxError
// "Ne peut écrire dans <path>".
inline constexpr int kProfileValueMax = 1023;
// A settings file is a few hundred bytes; anything beyond this is not one.
inline constexpr qint64 kProfileFileMax = 1024 * 1024;

QString ReadProfileString(const QString& path, const QString& section, const QString& key,
                          const QString& defaultValue);

// Who may read a file once written: whoever could before (a new file follows
// the umask), or its owner alone, for a file that holds a secret. A file once
// made its owner's alone stays so through later writes of either kind.
enum class TProfileAccess
{
    AsBefore,
    OwnerOnly
};
void WriteProfileString(const QString& path, const QString& section, const QString& key,
                        const QString& value, TProfileAccess access = TProfileAccess::AsBefore);
// Takes every permission from the group and others; false when it cannot.
// A missing file is no failure.
bool MakeProfileOwnerOnly(const QString& path);
