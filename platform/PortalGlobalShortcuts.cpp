#include "platform/PortalGlobalShortcuts.h"

#include "platform/PortalRequestWaiter.h"
#include "platform/VirtualKeyMap.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include <X11/Xlib.h>

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
constexpr int kAskLimitMs = 5000;

} // namespace

// One entry of the a(sa{sv}) list BindShortcuts takes.
struct PortalShortcutEntry {
    QString name;
    QVariantMap properties;
};
Q_DECLARE_METATYPE(PortalShortcutEntry)

QDBusArgument& operator<<(QDBusArgument& out, const PortalShortcutEntry& entry)
{
    out.beginStructure();
    out << entry.name << entry.properties;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, PortalShortcutEntry& entry)
{
    in.beginStructure();
    in >> entry.name >> entry.properties;
    in.endStructure();
    return in;
}

PortalGlobalShortcuts::PortalGlobalShortcuts(QObject* parent)
    : QObject(parent)
{
    qDBusRegisterMetaType<PortalShortcutEntry>();
    qDBusRegisterMetaType<QList<PortalShortcutEntry>>();
    QDBusConnection::sessionBus().connect(kService, kPath, kInterface, QStringLiteral("Activated"), this,
        SLOT(OnActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
}

PortalGlobalShortcuts::~PortalGlobalShortcuts()
{
    CloseSession();
}

bool PortalGlobalShortcuts::Available()
{
    return PortalRequestWaiter::PortalOffers(kInterface, kAskLimitMs);
}

QString PortalGlobalShortcuts::TriggerText(int virtualKey, int modBits)
{
    const char* key = virtualKey ? XKeysymToString(VirtualKeyMap::KeysymFor(virtualKey)) : nullptr;
    if (!key)
        return {};
    QString text;
    if (modBits & VirtualKeyMap::ModControl)
        text += QStringLiteral("CTRL+");
    if (modBits & VirtualKeyMap::ModAlt)
        text += QStringLiteral("ALT+");
    if (modBits & VirtualKeyMap::ModShift)
        text += QStringLiteral("SHIFT+");
    if (modBits & VirtualKeyMap::ModWin)
        text += QStringLiteral("LOGO+");
    return text + QString::fromLatin1(key);
}

void PortalGlobalShortcuts::Bind(std::vector<Shortcut> shortcuts)
{
    CloseSession();
    ++generation_;
    wanted_ = std::move(shortcuts);
    QVariantMap options;
    options.insert(QStringLiteral("session_handle_token"), PortalRequestWaiter::NewToken());
    if (!Ask(QStringLiteral("CreateSession"), {}, options, &PortalGlobalShortcuts::OnSessionAnswer))
        emit BindAnswered();
}

void PortalGlobalShortcuts::UnbindAll()
{
    ++generation_;
    wanted_.clear();
    CloseSession();
}

bool PortalGlobalShortcuts::Ask(const QString& method, const QList<QVariant>& arguments, QVariantMap options,
    void (PortalGlobalShortcuts::*then)(uint, const QVariantMap&))
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    const QString token = PortalRequestWaiter::NewToken();
    auto* waiter = new PortalRequestWaiter(this);
    if (!waiter->Listen(bus, PortalRequestWaiter::HandlePath(bus, QStringLiteral("request"), token))) {
        delete waiter;
        return false;
    }
    const int generation = generation_;
    connect(waiter, &PortalRequestWaiter::Answered, this, [this, waiter, then, generation] {
        waiter->deleteLater();
        if (generation == generation_)
            (this->*then)(waiter->Received()->response, waiter->Received()->results);
    });
    options.insert(QStringLiteral("handle_token"), token);
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    call.setArguments(arguments);
    call << options;
    // The call returns at once with the request's path; only a refused call needs handling here.
    auto* pending = new QDBusPendingCallWatcher(bus.asyncCall(call, kAskLimitMs), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this, waiter, generation](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        if (w->isError()) {
            waiter->deleteLater();
            if (generation == generation_)
                emit BindAnswered();
        }
    });
    return true;
}

void PortalGlobalShortcuts::OnSessionAnswer(uint response, const QVariantMap& results)
{
    const QVariant handle = results.value(QStringLiteral("session_handle"));
    session_ = handle.canConvert<QDBusObjectPath>() ? handle.value<QDBusObjectPath>().path() : handle.toString();
    if (response != 0 || session_.isEmpty()) {
        session_.clear();
        emit BindAnswered();
        return;
    }
    QList<PortalShortcutEntry> entries;
    for (const Shortcut& shortcut : wanted_) {
        PortalShortcutEntry entry { shortcut.name, {} };
        entry.properties.insert(QStringLiteral("description"), shortcut.description);
        if (const QString trigger = TriggerText(shortcut.virtualKey, shortcut.modBits); !trigger.isEmpty())
            entry.properties.insert(QStringLiteral("preferred_trigger"), trigger);
        entries.append(entry);
    }
    if (!Ask(QStringLiteral("BindShortcuts"),
            { QVariant::fromValue(QDBusObjectPath(session_)), QVariant::fromValue(entries), QString() }, {},
            &PortalGlobalShortcuts::OnBindAnswer))
        emit BindAnswered();
}

void PortalGlobalShortcuts::OnBindAnswer(uint response, const QVariantMap& results)
{
    bound_.clear();
    if (response == 0) {
        QList<PortalShortcutEntry> confirmed;
        results.value(QStringLiteral("shortcuts")).value<QDBusArgument>() >> confirmed;
        for (const PortalShortcutEntry& entry : confirmed)
            for (const Shortcut& shortcut : wanted_)
                if (shortcut.name == entry.name)
                    bound_.push_back(shortcut.id);
    }
    emit BindAnswered();
}

void PortalGlobalShortcuts::OnActivated(
    const QDBusObjectPath& session, const QString& name, qulonglong, const QVariantMap&)
{
    if (session.path() != session_ || !handler_)
        return;
    for (const Shortcut& shortcut : wanted_)
        if (shortcut.name == name)
            handler_(shortcut.id);
}

void PortalGlobalShortcuts::CloseSession()
{
    bound_.clear();
    if (session_.isEmpty())
        return;
    QDBusConnection::sessionBus().asyncCall(QDBusMessage::createMethodCall(
        kService, session_, QStringLiteral("org.freedesktop.portal.Session"), QStringLiteral("Close")));
    session_.clear();
}
