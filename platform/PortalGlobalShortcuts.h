#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <vector>

class QDBusObjectPath;

// System-wide hot keys on Wayland through the desktop portal's GlobalShortcuts interface: one portal
// session holds our shortcuts, the desktop decides which keys trigger them (the combinations we give are
// only its suggestion, and it may ask the user first), and each press arrives as the Activated signal.
// Everything is asynchronous: the answers come through the event loop.
class PortalGlobalShortcuts : public QObject {
    Q_OBJECT
public:
    struct Shortcut {
        int id; // what the handler receives
        QString name; // stable across runs: the desktop remembers the user's choice by it
        QString description; // shown by the desktop
        int virtualKey; // the suggested combination as the settings file keeps it; 0 for none
        int modBits;
    };
    using Handler = std::function<void(int id)>;

    explicit PortalGlobalShortcuts(QObject* parent = nullptr);
    ~PortalGlobalShortcuts() override;

    // Whether the session bus's portal offers the interface (asking may start the portal service).
    static bool Available();
    // The trigger in the shortcuts' text form ("CTRL+SHIFT+f"); empty for a key without a name.
    static QString TriggerText(int virtualKey, int modBits);

    // Replaces the bound shortcuts: the old session is closed, a new one asks for these.
    void Bind(std::vector<Shortcut> shortcuts);
    void UnbindAll();
    // The ids the desktop confirmed, empty until it answered.
    std::vector<int> BoundIds() const { return bound_; }
    void SetHandler(Handler handler) { handler_ = std::move(handler); }

signals:
    // The desktop answered a Bind: bound or not (then BoundIds() is empty).
    void BindAnswered();

private slots:
    void OnActivated(
        const QDBusObjectPath& session, const QString& name, qulonglong timestamp, const QVariantMap& options);

private:
    void OnSessionAnswer(uint response, const QVariantMap& results);
    void OnBindAnswer(uint response, const QVariantMap& results);
    // Sends a request whose answer goes to then; false when the call could not be sent.
    bool Ask(const QString& method, const QList<QVariant>& arguments, QVariantMap options,
        void (PortalGlobalShortcuts::*then)(uint, const QVariantMap&));
    void CloseSession();

    QString session_;
    std::vector<Shortcut> wanted_;
    std::vector<int> bound_;
    Handler handler_;
    int generation_ = 0; // answers of a replaced Bind are ignored
};
