#include "controls/LinkOpener.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {

constexpr int kFileNotFound = 2;
constexpr int kPathNotFound = 3;
constexpr int kAssociationInvalid = 27;
constexpr int kNoAssociation = 31;
// xdg-open may stay until the application it started ends; after this it counts as opened.
constexpr int kOpenerWaitMs = 3000;

// A target with a scheme is a URL; anything else is a path (a one-letter scheme would be a drive).
QUrl ToUrl(const QString& target)
{
    const QUrl url(target, QUrl::TolerantMode);
    if (url.isValid() && url.scheme().size() > 1)
        return url;
    return QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath());
}

int MissingLocalFile(const QUrl& url)
{
    if (!url.isLocalFile())
        return 0;
    const QFileInfo file(url.toLocalFile());
    if (file.exists())
        return 0;
    return file.dir().exists() ? kFileNotFound : kPathNotFound;
}

// xdg-open's exit codes: 1 bad arguments, 2 missing file, 3 no tool found, 4 the action failed.
int FromOpenerExit(int code)
{
    switch (code) {
    case 0:
        return LinkOpener::kOpened;
    case 1:
        return kAssociationInvalid;
    case 2:
        return kFileNotFound;
    case 3:
    case 4:
        return kNoAssociation;
    default:
        return -code;
    }
}

int RunOpener(const QUrl& url)
{
    const QString program = QStandardPaths::findExecutable("xdg-open");
    if (program.isEmpty())
        return kNoAssociation;
    auto* process = new QProcess(QCoreApplication::instance());
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    process->start(program, { url.isLocalFile() ? url.toLocalFile() : url.toString() });
    if (!process->waitForStarted()) {
        process->deleteLater();
        return kNoAssociation;
    }
    if (!process->waitForFinished(kOpenerWaitMs))
        return LinkOpener::kOpened;
    if (process->exitStatus() != QProcess::NormalExit)
        return -1;
    return FromOpenerExit(process->exitCode());
}

} // namespace

int LinkOpener::Open(const QString& target)
{
    if (target.trimmed().isEmpty())
        return kFileNotFound;
    const QUrl url = ToUrl(target.trimmed());
    if (const int missing = MissingLocalFile(url))
        return missing;
    if (QDesktopServices::openUrl(url))
        return kOpened;
    return RunOpener(url);
}

QString LinkOpener::ErrorMessage(int result)
{
    QString text;
    switch (result) {
    case 0:
        text = "The operating system is out\nof memory or resources.";
        break;
    case 2:
        text = "The specified file was not found.";
        break;
    case 3:
        text = "The specified path was not found.";
        break;
    case 5:
        text = "The operating system denied\naccess to the specified file.";
        break;
    case 8:
        text = "There was not enough memory to complete the operation.";
        break;
    case 11:
        text = "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
        break;
    case 26:
        text = "A sharing violation occurred. ";
        break;
    case 27:
        text = "The filename association is\nincomplete or invalid.";
        break;
    case 28:
        text = "The DDE transaction could not\nbe completed because the request timed out.";
        break;
    case 29:
        text = "The DDE transaction failed.";
        break;
    case 30:
        text = "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.";
        break;
    case 31:
        text = "There is no application associated\nwith the given filename extension.";
        break;
    case 32:
        text = "The specified dynamic-link library was not found.";
        break;
    default:
        text = QString("Unknown Error (%1) occurred.").arg(result);
        break;
    }
    return "Unable to open hyperlink:\n\n" + text;
}
