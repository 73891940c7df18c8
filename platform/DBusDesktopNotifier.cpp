#include "platform/DBusDesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

#include <utility>

namespace {
constexpr const char* kDefaultAction = "default";
// The service's own choice of how long a notification stays.
constexpr int kServerTimeout = -1;
} // namespace

DBusDesktopNotifier::DBusDesktopNotifier(QString appName, QString iconName, QObject* parent)
    : QObject(parent)
    , appName_(std::move(appName))
    , iconName_(std::move(iconName))
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    // Subscribed before any call, so that no answer to one of ours can slip past.
    listening_ = bus.connect(kService, kPath, kInterface, "ActionInvoked", this, SLOT(OnActionInvoked(uint, QString)))
        && bus.connect(kService, kPath, kInterface, "NotificationClosed", this, SLOT(OnNotificationClosed(uint, uint)));
}

DBusDesktopNotifier::~DBusDesktopNotifier() = default;

void DBusDesktopNotifier::Notify(const std::string& summary, const std::string& body, std::function<void()> activated)
{
    if (!listening_)
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "Notify");
    // No service is started for us: a session without one shows nothing rather than waiting for it.
    call.setAutoStartService(false);
    const QStringList actions { kDefaultAction, "Show" };
    QVariantMap hints;
    hints.insert("desktop-entry", appName_.toLower());
    call << appName_ << uint(0) << iconName_ << QString::fromStdString(summary) << QString::fromStdString(body)
         << actions << hints << kServerTimeout;
    auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
        [this, activated = std::move(activated)](QDBusPendingCallWatcher* finished) mutable {
            const QDBusPendingReply<uint> reply = *finished;
            if (reply.isValid() && activated)
                pending_[reply.value()] = std::move(activated);
            finished->deleteLater();
        });
}

void DBusDesktopNotifier::OnActionInvoked(uint id, const QString& action)
{
    const auto found = pending_.find(id);
    if (found == pending_.end() || action != kDefaultAction)
        return;
    // Copied out first: the callback may show windows and re-enter the event loop.
    const std::function<void()> activated = found->second;
    activated();
}

void DBusDesktopNotifier::OnNotificationClosed(uint id, uint)
{
    pending_.erase(id);
}
