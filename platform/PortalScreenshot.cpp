#include "platform/PortalScreenshot.h"

#include "platform/PngFileReader.h"
#include "platform/PortalRequestWaiter.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

#include <cstring>

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.Screenshot");
constexpr int kAskLimitMs = 5000;

bool InTemporaryFolder(const QString& file)
{
    const QString folder = QFileInfo(file).canonicalPath();
    for (const QString& temp : { QDir::tempPath(), QStringLiteral("/tmp"), QStringLiteral("/var/tmp") }) {
        const QString canonical = QFileInfo(temp).canonicalFilePath();
        if (!canonical.isEmpty() && (folder == canonical || folder.startsWith(canonical + QLatin1Char('/'))))
            return true;
    }
    return false;
}

ImageBuffer ToImageBuffer(const QImage& picture)
{
    ImageBuffer image;
    const QImage rgb = picture.convertToFormat(QImage::Format_BGR888);
    if (rgb.isNull() || !image.Create(rgb.width(), rgb.height(), 24))
        return {};
    for (int y = 0; y < rgb.height(); ++y)
        std::memcpy(image.Row(y), rgb.constScanLine(y), size_t(rgb.width()) * 3);
    return image;
}

PortalScreenshot::Result Failure(const std::string& error)
{
    return { {}, error };
}

} // namespace

bool PortalScreenshot::Available()
{
    return PortalRequestWaiter::PortalOffers(kInterface, kAskLimitMs);
}

std::unique_ptr<PortalScreenshot::Request> PortalScreenshot::Start(std::chrono::milliseconds limit)
{
    auto request = std::make_unique<Request>();
    request->limit = limit;
    request->deadline = std::chrono::steady_clock::now() + limit;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        request->error = "no D-Bus session bus to reach the desktop portal";
        return request;
    }
    const QString token = PortalRequestWaiter::NewToken();
    const QString predicted = PortalRequestWaiter::HandlePath(bus, QStringLiteral("request"), token);
    if (!request->waiter.Listen(bus, predicted)) {
        request->error = "cannot listen for the desktop portal's answer";
        return request;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Screenshot"));
    QVariantMap options;
    options.insert(QStringLiteral("handle_token"), token);
    options.insert(QStringLiteral("interactive"), false);
    call << QString() << options;
    const QDBusReply<QDBusObjectPath> handle = bus.call(call, QDBus::Block, int(limit.count()));
    if (!handle.isValid()) {
        request->error = "the desktop portal refused the screenshot: " + handle.error().message().toStdString();
        return request;
    }
    // Portals older than the handle_token option answer on a path of their own choosing.
    if (handle.value().path() != predicted)
        request->waiter.Listen(bus, handle.value().path());
    return request;
}

bool PortalScreenshot::Accepted(const Request& request)
{
    return request.error.empty();
}

PortalScreenshot::Result PortalScreenshot::Take(std::chrono::milliseconds limit)
{
    return Finish(*Start(limit));
}

PortalScreenshot::Result PortalScreenshot::Finish(Request& request)
{
    if (!request.error.empty())
        return Failure(request.error);
    PortalRequestWaiter& waiter = request.waiter;
    const auto left
        = std::chrono::duration_cast<std::chrono::milliseconds>(request.deadline - std::chrono::steady_clock::now());
    if (!waiter.Received() && left.count() > 0) {
        QEventLoop loop;
        QObject::connect(&waiter, &PortalRequestWaiter::Answered, &loop, &QEventLoop::quit);
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(left);
        // An answer that came before is waiting in the queue, and the loop delivers it first.
        loop.exec();
    }
    if (!waiter.Received())
        return Failure("the desktop portal gave no screenshot within "
            + QString::number(double(request.limit.count()) / 1000.0).toStdString() + " s");
    const PortalRequestWaiter::Answer& answer = *waiter.Received();
    if (answer.response == 1)
        return Failure("the screenshot was cancelled on the desktop");
    if (answer.response != 0)
        return Failure("the desktop portal could not take the screenshot");

    const QUrl uri(answer.results.value(QStringLiteral("uri")).toString());
    if (!uri.isLocalFile())
        return Failure("the desktop portal's screenshot is not a local file: " + uri.toString().toStdString());
    const QString file = uri.toLocalFile();
    // Portals write PNG, read straight into our buffer; anything else goes through the toolkit.
    ImageBuffer image = ReadPngFile(file.toStdString());
    if (image.IsEmpty())
        image = ToImageBuffer(QImage(file));
    if (InTemporaryFolder(file))
        QFile::remove(file);
    if (image.IsEmpty())
        return Failure("cannot read the desktop portal's screenshot " + file.toStdString());
    return { std::move(image), {} };
}
