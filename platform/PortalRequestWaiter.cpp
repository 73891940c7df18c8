#include "platform/PortalRequestWaiter.h"

#include <QDBusConnection>
#include <QDBusMessage>

#include <unistd.h>

#include <atomic>

bool PortalRequestWaiter::PortalOffers(const QString& interface, int limitMs)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage ask = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.portal.Desktop"),
        QStringLiteral("/org/freedesktop/portal/desktop"), QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    ask << interface << QStringLiteral("version");
    return bus.call(ask, QDBus::Block, limitMs).type() == QDBusMessage::ReplyMessage;
}

QString PortalRequestWaiter::NewToken()
{
    static std::atomic<int> counter { 0 };
    return QStringLiteral("lumora_%1_%2").arg(getpid()).arg(++counter);
}

QString PortalRequestWaiter::HandlePath(const QDBusConnection& bus, const QString& kind, const QString& token)
{
    QString sender = bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QStringLiteral("/org/freedesktop/portal/desktop/") + kind + QLatin1Char('/') + sender + QLatin1Char('/')
        + token;
}

bool PortalRequestWaiter::Listen(QDBusConnection& bus, const QString& path)
{
    return bus.connect(QString(), path, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"),
        this, SLOT(OnResponse(uint, QVariantMap)));
}

void PortalRequestWaiter::OnResponse(uint response, const QVariantMap& results)
{
    if (answer_)
        return;
    answer_ = Answer { response, results };
    emit Answered();
}
