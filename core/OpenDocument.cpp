#include "OpenDocument.h"

#include "EIlxError.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <optional>

namespace {

constexpr int kFileNotFound = 2;
constexpr int kPathNotFound = 3;
constexpr int kAccessDenied = 5;
constexpr int kNoAssociation = 31;
constexpr int kUnknown = 1;
// How long the opener may take to say it failed. Openers that hand the
// document to a running program return at once; those that run the viewer
// themselves stay alive, which means it opened.
constexpr int kOpenerVerdictMs = 3000;

QString& openerProgram()
{
    static QString program;
    return program;
}

// The local file a document names, if it names one (a plain path or a file URL).
std::optional<QString> localPath(const QString& document)
{
    const QUrl url(document);
    if (url.isValid() && url.scheme().size() > 1) {
        if (url.isLocalFile())
            return url.toLocalFile();
        return std::nullopt; // an address: the opener decides
    }
    return document;
}

// Failures that can be told before asking the desktop, as the shell reports them.
std::optional<int> checkLocal(const QString& path)
{
    if (path.isEmpty())
        return kFileNotFound;
    const QFileInfo info(path);
    if (!info.exists()) {
        const QFileInfo parent(info.absolutePath());
        return parent.isDir() ? kFileNotFound : kPathNotFound;
    }
    if (!info.isReadable())
        return kAccessDenied;
    return std::nullopt;
}

// xdg-open's exit codes on the shell's failure codes.
int fromOpenerExit(int exitCode)
{
    switch (exitCode) {
    case 2:
        return kFileNotFound;
    case 3: // no program found for the document
    case 4: // the program chosen failed
        return kNoAssociation;
    default:
        return kUnknown;
    }
}

[[noreturn]] void raiseOpenError(int code, const QString& document)
{
    throw EIlxError(QStringLiteral("Error%1 on open request\n%2\n\n%3")
                        .arg(code)
                        .arg(document, OpenFailureReason(code)));
}

} // namespace

QString OpenFailureReason(int code)
{
    switch (code) {
    case 0:
        return QStringLiteral("Insufficient memory");
    case 2:
        return QStringLiteral("File not found");
    case 3:
        return QStringLiteral("Path not found");
    case 5:
        return QStringLiteral("Forbiden access");
    case 8:
        return QStringLiteral("Insufficient memory to complete operation");
    case 11:
        return QStringLiteral("Exe file unavailable");
    case 26:
        return QStringLiteral("Sharing violation ");
    case 27:
        return QStringLiteral("Extension file not available or incomplete");
    case 28:
        return QStringLiteral("DDE link fail, timeout");
    case 29:
        return QStringLiteral("DDE link fail");
    case 30:
        return QStringLiteral("DDE link in use");
    case 31:
        return QStringLiteral("No application associated with this extension");
    case 32:
        return QStringLiteral("DLL file not found");
    default:
        return QStringLiteral("Unknow error");
    }
}

/*!
 * \brief Opens \a document with the desktop's program for it.
 *
 * Waits (letting pending events run) until the opener either fails or has
 * plainly handed the document on; an opener still running then is left to
 * run on its own, owned by the application.
 * \return the opener's process id, at least 33.
 */
int OpenDocument(QWidget* /*owner*/, const QString& document)
{
    if (const auto path = localPath(document)) {
        if (const auto failure = checkLocal(*path))
            raiseOpenError(*failure, document);
    }

    const QString program =
        openerProgram().isEmpty() ? QStringLiteral("xdg-open") : openerProgram();
    // Parented to the application so an opener still running when we return
    // is not killed, and deleted once it ends.
    auto* opener = new QProcess(QCoreApplication::instance());
    opener->setProgram(program);
    opener->setArguments({document});
    opener->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    opener->setStandardOutputFile(QProcess::nullDevice());

    QEventLoop wait;
    QTimer verdict;
    verdict.setSingleShot(true);
    QObject::connect(&verdict, &QTimer::timeout, &wait, &QEventLoop::quit);
    QObject::connect(opener, &QProcess::finished, &wait, &QEventLoop::quit);
    QObject::connect(opener, &QProcess::errorOccurred, &wait, &QEventLoop::quit);
    QObject::connect(opener, &QProcess::finished, opener, &QObject::deleteLater);

    opener->start();
    if (!opener->waitForStarted(kOpenerVerdictMs)) {
        opener->deleteLater();
        raiseOpenError(kNoAssociation, document);
    }
    const qint64 pid = opener->processId();
    verdict.start(kOpenerVerdictMs);
    if (opener->state() != QProcess::NotRunning)
        wait.exec(QEventLoop::ExcludeUserInputEvents);

    if (opener->state() == QProcess::NotRunning) {
        const bool failed = opener->exitStatus() != QProcess::NormalExit || opener->exitCode() != 0;
        const int code = opener->exitStatus() == QProcess::NormalExit
                             ? fromOpenerExit(opener->exitCode())
                             : kUnknown;
        opener->deleteLater();
        if (failed)
            raiseOpenError(code, document);
    }
    return static_cast<int>(std::max<qint64>(pid, 33));
}

void SetDocumentOpener(const QString& program)
{
    openerProgram() = program;
}
