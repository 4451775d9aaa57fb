#include "ProfileFile.h"

#include "EIlxError.h"

#include <QByteArrayList>
#include <QFile>
#include <QSaveFile>

#include <optional>

namespace {

// One line of the file as stored, without its line end.
struct Line
{
    QByteArray text;
    QByteArray end; // "\n", "\r\n" or empty for a last line without one
};

QByteArray trimmed(const QByteArray& b)
{
    return b.trimmed();
}

std::optional<QByteArray> readWhole(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    if (f.size() > kProfileFileMax)
        return std::nullopt;
    QByteArray all = f.read(kProfileFileMax + 1);
    if (all.size() > kProfileFileMax)
        return std::nullopt;
    return all;
}

std::vector<Line> splitLines(const QByteArray& all)
{
    std::vector<Line> lines;
    qsizetype start = 0;
    while (start < all.size()) {
        const qsizetype nl = all.indexOf('\n', start);
        if (nl < 0) {
            lines.push_back({all.mid(start), {}});
            break;
        }
        qsizetype textEnd = nl;
        QByteArray end = "\n";
        if (textEnd > start && all.at(textEnd - 1) == '\r') {
            --textEnd;
            end = "\r\n";
        }
        lines.push_back({all.mid(start, textEnd - start), end});
        start = nl + 1;
    }
    return lines;
}

QString decode(const QByteArray& bytes)
{
    // Files written by this program are UTF-8; older ones may be in a
    // single-byte code page, which Latin-1 keeps byte for byte.
    QString text = QString::fromUtf8(bytes);
    if (text.contains(QChar::ReplacementCharacter) && !bytes.contains("\xEF\xBF\xBD"))
        text = QString::fromLatin1(bytes);
    return text;
}

// The section name of a "[name]" line, or nothing for any other line.
std::optional<QByteArray> sectionOf(const QByteArray& text)
{
    const QByteArray t = trimmed(text);
    if (!t.startsWith('['))
        return std::nullopt;
    const qsizetype close = t.indexOf(']');
    if (close < 0)
        return trimmed(t.mid(1));
    return trimmed(t.mid(1, close - 1));
}

bool sameName(const QByteArray& stored, const QByteArray& wanted)
{
    return stored.compare(wanted, Qt::CaseInsensitive) == 0;
}

// For a "key=value" line: the key, trimmed. Comment lines and lines without
// "=" hold no key.
std::optional<QByteArray> keyOf(const QByteArray& text)
{
    const QByteArray t = trimmed(text);
    if (t.startsWith(';'))
        return std::nullopt;
    const qsizetype eq = t.indexOf('=');
    if (eq <= 0)
        return std::nullopt;
    return trimmed(t.left(eq));
}

QByteArray valueOf(const QByteArray& text)
{
    QByteArray v = trimmed(text.mid(text.indexOf('=') + 1));
    // The value ends at a NUL, as a C string does.
    if (const qsizetype nul = v.indexOf('\0'); nul >= 0)
        v = trimmed(v.left(nul));
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    return v;
}

struct Found
{
    std::optional<size_t> sectionLine; // the "[section]" line
    std::optional<size_t> keyLine;     // the first line of the key in it
    size_t lastEntryLine = 0;          // last non-blank line of the section
};

Found find(const std::vector<Line>& lines, const QByteArray& section, const QByteArray& key)
{
    Found found;
    bool inside = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (const auto name = sectionOf(lines[i].text)) {
            if (found.sectionLine && inside)
                break; // only the first section of that name counts
            inside = sameName(*name, section);
            if (inside) {
                found.sectionLine = i;
                found.lastEntryLine = i;
            }
            continue;
        }
        if (!inside)
            continue;
        if (!trimmed(lines[i].text).isEmpty())
            found.lastEntryLine = i;
        if (!found.keyLine) {
            if (const auto k = keyOf(lines[i].text); k && sameName(*k, key))
                found.keyLine = i;
        }
    }
    return found;
}

QByteArray encodeOneLine(const QString& text)
{
    // A line break inside a value would end the line and could forge other
    // keys; it is stored as a blank instead.
    QString flat = text;
    flat.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    flat.replace(QChar(0), QLatin1Char(' '));
    return flat.toUtf8();
}

// What the owner may do; Qt's "user" bits are the owner's on this system.
constexpr QFileDevice::Permissions kOwnerBits = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ExeOwner | QFileDevice::ReadUser |
                                                QFileDevice::WriteUser | QFileDevice::ExeUser;

[[noreturn]] void cannotWrite(const QString& path)
{
    throw EIlxError(QStringLiteral("Ne peut écrire dans %1").arg(path));
}

} // namespace

/*!
 * \brief Reads one value of a profile file.
 * \return the value, cut to kProfileValueMax characters, or \a defaultValue
 *         when the file, the section or the key is missing.
 */
QString ReadProfileString(const QString& path, const QString& section, const QString& key,
                          const QString& defaultValue)
{
    const auto all = readWhole(path);
    if (!all)
        return defaultValue;
    const std::vector<Line> lines = splitLines(*all);
    const Found found = find(lines, section.trimmed().toUtf8(), key.trimmed().toUtf8());
    if (!found.keyLine)
        return defaultValue;
    return decode(valueOf(lines[*found.keyLine].text)).left(kProfileValueMax);
}

/*!
 * \brief Sets one key of a profile file, creating the file, the section or
 *        the key as needed; every other line is kept as it was.
 */
void WriteProfileString(const QString& path, const QString& section, const QString& key,
                        const QString& value, TProfileAccess access)
{
    const bool ownerOnly = access == TProfileAccess::OwnerOnly;
    QByteArray old;
    if (QFile::exists(path)) {
        // A foreign or oversized file is not rewritten: refusing loses nothing.
        const auto all = readWhole(path);
        if (!all)
            cannotWrite(path);
        old = *all;
    }
    std::vector<Line> lines = splitLines(old);
    const QByteArray sectionName = encodeOneLine(section.trimmed());
    const QByteArray keyName = encodeOneLine(key.trimmed());
    const QByteArray entry = keyName + '=' + encodeOneLine(value);

    // New lines follow the file's own line ends.
    const QByteArray eol = old.contains("\r\n") ? QByteArray("\r\n") : QByteArray("\n");
    const Found found = find(lines, sectionName, keyName);
    if (found.keyLine) {
        lines[*found.keyLine].text = entry;
    } else if (found.sectionLine) {
        Line& last = lines[found.lastEntryLine];
        if (last.end.isEmpty())
            last.end = eol;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(found.lastEntryLine) + 1,
                     Line{entry, eol});
    } else {
        if (!lines.empty()) {
            if (lines.back().end.isEmpty())
                lines.back().end = eol;
            if (!trimmed(lines.back().text).isEmpty())
                lines.push_back({{}, eol});
        }
        lines.push_back({'[' + sectionName + ']', eol});
        lines.push_back({entry, eol});
    }

    QByteArray updated;
    updated.reserve(old.size() + entry.size() + sectionName.size() + 8);
    for (const Line& line : lines)
        updated += line.text + line.end;
    if (updated == old && QFile::exists(path)) {
        // Nothing to change; a read-only file with the right value is fine,
        // but a secret already in it is not left open to others.
        if (ownerOnly && !MakeProfileOwnerOnly(path))
            cannotWrite(path);
        return;
    }

    // The new file takes the old one's permissions before any byte is
    // written; a secret's file is closed to others first.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) ||
        (ownerOnly && !out.setPermissions(out.permissions() & kOwnerBits)) ||
        out.write(updated) != updated.size() || !out.commit())
        cannotWrite(path);
}

bool MakeProfileOwnerOnly(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return true;
    const QFileDevice::Permissions now = file.permissions();
    return (now & ~kOwnerBits) == 0 || file.setPermissions(now & kOwnerBits);
}
