#include "app/SendCommand.h"

#include "app/LumoraDBusService.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>

#include <iostream>
#include <optional>

namespace {
// X11 window ids as xdotool and xwininfo print them: decimal or 0x-prefixed hexadecimal.
std::optional<qulonglong> ParseWindow(const std::string& text)
{
    bool ok = false;
    const qulonglong value = QString::fromStdString(text).toULongLong(&ok, 0);
    return ok ? std::optional(value) : std::nullopt;
}

std::optional<int> ParseKind(const std::string& text)
{
    if (text == "full")
        return 0;
    if (text == "window")
        return 1;
    if (text == "region")
        return 2;
    if (text == "active")
        return 3;
    bool ok = false;
    const int value = QString::fromStdString(text).toInt(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

int Usage()
{
    std::cerr << "usage: lumora send highlight WINDOW | capture-window WINDOW | capture KIND...\n"
                 "  KIND: 0 or full, 1 or window, 2 or region, 3 or active\n";
    return 2;
}

int Call(QDBusInterface& target, const char* method, const QVariantList& arguments)
{
    const QDBusMessage reply = target.callWithArgumentList(QDBus::Block, method, arguments);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        std::cerr << "lumora: no running Lumora answered: " << reply.errorMessage().toStdString() << "\n";
        return 1;
    }
    return 0;
}
} // namespace

int RunSendCommand(const std::vector<std::string>& args)
{
    if (args.size() < 2)
        return Usage();
    const std::string& what = args[0];
    std::vector<QVariantList> calls;
    const char* method = nullptr;
    if (what == "highlight" || what == "capture-window") {
        const auto window = ParseWindow(args[1]);
        if (!window || args.size() != 2)
            return Usage();
        method = what == "highlight" ? "HighlightWindow" : "CaptureWindow";
        calls.push_back(what == "highlight" ? QVariantList { QVariant::fromValue(*window) }
                                            : QVariantList { true, QVariant::fromValue(*window) });
    } else if (what == "capture") {
        method = "CaptureByType";
        for (size_t i = 1; i < args.size(); ++i) {
            const auto kind = ParseKind(args[i]);
            if (!kind)
                return Usage();
            calls.push_back(QVariantList { *kind });
        }
    } else {
        return Usage();
    }

    int argc = 1;
    char name[] = "lumora";
    char* argv[] = { name, nullptr };
    QCoreApplication app(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::cerr << "lumora: no session bus to reach a running Lumora\n";
        return 1;
    }
    QDBusInterface target(
        LumoraDBusService::kServiceName, LumoraDBusService::kObjectPath, LumoraDBusService::kInterface, bus);
    for (const QVariantList& call : calls) {
        const int code = Call(target, method, call);
        if (code != 0)
            return code;
    }
    return 0;
}
