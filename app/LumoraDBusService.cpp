#include "app/LumoraDBusService.h"

#include "app/CaptureRequestSink.h"
#include "app/CommandIds.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QTimer>

LumoraDBusService::LumoraDBusService(CaptureRequestSink& sink, QObject* parent)
    : QObject(parent)
    , sink_(sink)
{
}

LumoraDBusService::~LumoraDBusService()
{
    if (!registered_)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(kServiceName);
    bus.unregisterObject(kObjectPath);
}

bool LumoraDBusService::Register()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    if (!bus.registerObject(kObjectPath, this, QDBusConnection::ExportAllSlots))
        return false;
    // Queued behind an instance that already holds the name, this one answers once that one ends.
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply = bus.interface()->registerService(
        kServiceName, QDBusConnectionInterface::QueueService, QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid() || reply.value() == QDBusConnectionInterface::ServiceNotRegistered) {
        bus.unregisterObject(kObjectPath);
        return false;
    }
    registered_ = true;
    return true;
}

int LumoraDBusService::CommandForKind(int kind)
{
    switch (kind) {
    case 0:
        return CommandId::CaptureFullScreen;
    case 1:
        return CommandId::CaptureWindowObject;
    case 2:
        return CommandId::CaptureRegion;
    case 3:
        return CommandId::CaptureActiveWindow;
    default:
        return 0;
    }
}

void LumoraDBusService::HighlightWindow(qulonglong window)
{
    QTimer::singleShot(0, this, [this, window] { sink_.HighlightWindow(window); });
}

void LumoraDBusService::CaptureWindow(bool capture, qulonglong window)
{
    QTimer::singleShot(0, this, [this, capture, window] { sink_.CaptureWindow(capture, window); });
}

void LumoraDBusService::CaptureByType(int kind)
{
    const int command = CommandForKind(kind);
    if (command != 0)
        QTimer::singleShot(0, this, [this, command] { sink_.RequestCapture(command); });
}
