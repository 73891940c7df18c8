#pragma once

#include <QObject>
#include <QVariantMap>

#include <optional>

class QDBusConnection;

// Receives the portal's Request.Response signal, which names the answer of one call.
class PortalRequestWaiter final : public QObject {
    Q_OBJECT

public:
    struct Answer {
        uint response = 2;
        QVariantMap results;
    };

    using QObject::QObject;

    // Whether the desktop portal on the session bus offers the interface (it answers for its version).
    static bool PortalOffers(const QString& interface, int limitMs);
    // A handle_token unique in this process.
    static QString NewToken();
    // The portal answers on /org/freedesktop/portal/desktop/request/SENDER/TOKEN, SENDER being our unique
    // name without the colon and with dots as underscores; sessions live under .../session/ the same way.
    static QString HandlePath(const QDBusConnection& bus, const QString& kind, const QString& token);
    // Subscribes to the Response of the request at path: before the call, since a fast portal answers
    // before the call returns.
    bool Listen(QDBusConnection& bus, const QString& path);

    const std::optional<Answer>& Received() const { return answer_; }

public slots:
    void OnResponse(uint response, const QVariantMap& results);

signals:
    void Answered();

private:
    std::optional<Answer> answer_;
};
