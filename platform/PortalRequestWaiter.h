#pragma once

#include <QObject>
#include <QVariantMap>

#include <optional>

// Receives the portal's Request.Response signal, which names the answer of one call.
class PortalRequestWaiter final : public QObject {
    Q_OBJECT

public:
    struct Answer {
        uint response = 2;
        QVariantMap results;
    };

    const std::optional<Answer>& Received() const { return answer_; }

public slots:
    void OnResponse(uint response, const QVariantMap& results);

signals:
    void Answered();

private:
    std::optional<Answer> answer_;
};
