#include "TSessionStart.h"

#include "DataPaths.h"
#include "ProductTexts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <utility>

namespace {

// A copy without an installed menu entry (a portable one) writes this.
const char* const kBuiltInEntry = "[Desktop Entry]\n"
                                  "Type=Application\n"
                                  "Name=i-Lumerix Light Edition\n"
                                  "Comment=Watch a webcam for motion, save pictures and sound an "
                                  "alarm\n"
                                  "Icon=org.ilumerix.LightEdition\n"
                                  "Terminal=false\n";

const QString kMainGroup = QStringLiteral("[Desktop Entry]");

// Keys of the menu entry that would start something other than this copy, or
// that an autostart entry has no use for.
bool droppedKey(const QString& key)
{
    static const QStringList dropped = {QStringLiteral("Exec"),
                                        QStringLiteral("TryExec"),
                                        QStringLiteral("DBusActivatable"),
                                        QStringLiteral("Actions"),
                                        QStringLiteral("MimeType"),
                                        QStringLiteral("Hidden"),
                                        QStringLiteral("NoDisplay"),
                                        QStringLiteral("X-GNOME-Autostart-enabled")};
    return dropped.contains(key);
}

// The lines of the main group, "key=value" as written (comments dropped).
QStringList mainGroupLines(const QString& text)
{
    QStringList lines;
    bool inMain = false;
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inMain = line == kMainGroup;
            continue;
        }
        if (inMain && !line.isEmpty() && !line.startsWith(QLatin1Char('#')))
            lines << line;
    }
    return lines;
}

QString keyOf(const QString& line)
{
    return line.section(QLatin1Char('='), 0, 0).trimmed();
}

QString valueOf(const QString& line)
{
    return line.section(QLatin1Char('='), 1).trimmed();
}

// The string escapes every desktop entry value may hold.
QString unescapeString(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar next = value.at(++i);
        switch (next.unicode()) {
        case 's':
            out += QLatin1Char(' ');
            break;
        case 'n':
            out += QLatin1Char('\n');
            break;
        case 't':
            out += QLatin1Char('\t');
            break;
        case 'r':
            out += QLatin1Char('\r');
            break;
        case '\\':
            out += next;
            break;
        default:
            // Not an escape of a desktop entry: kept as written.
            out += c;
            out += next;
            break;
        }
    }
    return out;
}

QString escapeString(const QString& value)
{
    QString out = value;
    out.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    out.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    out.replace(QLatin1Char('\t'), QStringLiteral("\\t"));
    out.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    return out;
}

QString sameFile(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(path) : canonical;
}

} // namespace

TSessionStart::TSessionStart(QString program, QString autostartFolder, QString desktopEntry)
    : program_(std::move(program)), folder_(std::move(autostartFolder)),
      desktopEntry_(std::move(desktopEntry))
{}

TSessionStart TSessionStart::ForThisCopy()
{
    const QString exe = QCoreApplication::applicationFilePath();
    const QString exeFolder = QFileInfo(exe).absolutePath();
    // An installed copy's menu entry lies in the shared applications folder
    // of its prefix; a portable copy has none of its own.
    QString menuEntry;
    QFile installed(QDir::cleanPath(exeFolder + QStringLiteral("/" ILX_APPS_FROM_BIN "/") +
                                    QLatin1String(kProductDesktopId) + QStringLiteral(".desktop")));
    if (!InstalledHelpFile(exeFolder).isEmpty() && installed.open(QIODevice::ReadOnly))
        menuEntry = QString::fromUtf8(installed.readAll());
    return TSessionStart(exe,
                         QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                             QStringLiteral("/autostart"),
                         menuEntry);
}

QString TSessionStart::EntryPath() const
{
    return folder_ + QLatin1Char('/') + QLatin1String(kProductDesktopId) +
           QStringLiteral(".desktop");
}

bool TSessionStart::IsOn() const
{
    QFile file(EntryPath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QString exec;
    for (const QString& line : mainGroupLines(QString::fromUtf8(file.readAll()))) {
        const QString key = keyOf(line);
        const QString value = valueOf(line);
        // Desktops switch an entry off without removing it.
        if ((key == QLatin1String("Hidden") && value == QLatin1String("true")) ||
            (key == QLatin1String("X-GNOME-Autostart-enabled") && value == QLatin1String("false")))
            return false;
        if (key == QLatin1String("Exec"))
            exec = value;
    }
    const QStringList arguments = ExecArguments(exec);
    return !arguments.isEmpty() && sameFile(arguments.first()) == sameFile(program_);
}

bool TSessionStart::SetOn(bool on, QString* why) const
{
    const QString path = EntryPath();
    if (!on) {
        if (!IsOn() || QFile::remove(path))
            return true;
        if (why)
            *why = QStringLiteral("%1 cannot be removed.").arg(QDir::toNativeSeparators(path));
        return false;
    }
    if (!QDir().mkpath(folder_)) {
        if (why)
            *why = QStringLiteral("The folder %1 cannot be made.")
                       .arg(QDir::toNativeSeparators(folder_));
        return false;
    }
    QSaveFile file(path);
    const QByteArray text =
        EntryText(desktopEntry_.isEmpty() ? QString::fromUtf8(kBuiltInEntry) : desktopEntry_,
                  program_)
            .toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        if (why)
            *why = QStringLiteral("%1 cannot be written: %2")
                       .arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    return true;
}

QString TSessionStart::EntryText(const QString& desktopEntry, const QString& program)
{
    QString text = kMainGroup + QLatin1Char('\n');
    for (const QString& line : mainGroupLines(desktopEntry))
        if (!droppedKey(keyOf(line)))
            text += line + QLatin1Char('\n');
    // A copy removed or moved away leaves an entry that desktops skip
    // quietly rather than fail to start at every login.
    text += QStringLiteral("TryExec=") + escapeString(program) + QLatin1Char('\n');
    text += QStringLiteral("Exec=") + escapeString(ExecArgument(program)) + QLatin1Char(' ') +
            QLatin1String(kArgument) + QLatin1Char('\n');
    return text;
}

QString TSessionStart::ExecArgument(const QString& argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool quote = argument.isEmpty();
    for (const QChar c : argument)
        quote = quote || reserved.contains(c);
    QString out;
    if (quote)
        out += QLatin1Char('"');
    for (const QChar c : argument) {
        if (quote && (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
                      c == QLatin1Char('\\')))
            out += QLatin1Char('\\');
        // A lone percent sign would be read as a field code.
        if (c == QLatin1Char('%'))
            out += QLatin1Char('%');
        out += c;
    }
    if (quote)
        out += QLatin1Char('"');
    return out;
}

QStringList TSessionStart::ExecArguments(const QString& execValue)
{
    const QString value = unescapeString(execValue);
    QStringList arguments;
    QString current;
    bool inArgument = false;
    bool quoted = false;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == QLatin1Char('%') && i + 1 < value.size()) {
            // Desktops expand field codes before they split the line, quoted
            // or not: "%%" is a percent sign; any other code stands for files
            // the desktop would pass, none of which this entry is given.
            if (value.at(++i) == QLatin1Char('%')) {
                current += c;
                inArgument = true;
            }
        } else if (quoted) {
            static const QString escapable = QStringLiteral("\"`$\\");
            if (c == QLatin1Char('\\') && i + 1 < value.size() &&
                escapable.contains(value.at(i + 1)))
                current += value.at(++i);
            else if (c == QLatin1Char('"'))
                quoted = false;
            else
                current += c;
        } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            if (inArgument)
                arguments << current;
            current.clear();
            inArgument = false;
        } else if (c == QLatin1Char('"')) {
            quoted = inArgument = true;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        arguments << current;
    return arguments;
}
