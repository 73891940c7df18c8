#include "platform/PortalRequestWaiter.h"

#include <QDBusConnection>

#include <unistd.h>

#include <atomic>

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
