#pragma once

#include "platform/DesktopNotifier.h"

#include <QObject>
#include <QString>

#include <map>

// Notifications through the freedesktop notification service on the session bus. Calls are
// asynchronous: a missing service or bus costs the caller nothing.
class DBusDesktopNotifier final : public QObject, public DesktopNotifier {
    Q_OBJECT
public:
    static constexpr const char* kService = "org.freedesktop.Notifications";
    static constexpr const char* kPath = "/org/freedesktop/Notifications";
    static constexpr const char* kInterface = "org.freedesktop.Notifications";

    explicit DBusDesktopNotifier(QString appName, QString iconName, QObject* parent = nullptr);
    ~DBusDesktopNotifier() override;

    void Notify(const std::string& summary, const std::string& body, std::function<void()> activated) override;

private slots:
    void OnActionInvoked(uint id, const QString& action);
    void OnNotificationClosed(uint id, uint reason);

private:
    QString appName_;
    QString iconName_;
    bool listening_ = false;
    // What each shown notification does when activated, until the service says it closed.
    std::map<uint, std::function<void()>> pending_;
};
