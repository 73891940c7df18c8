#include "platform/X11PointerWatch.h"

#include <QCoreApplication>

#include <xcb/xcb.h>
// The XInput 2 wire format; its enum names clash with nothing used here.
#include <X11/extensions/XI2.h>
#include <X11/extensions/XI2proto.h>

#include <cmath>
#include <cstring>

namespace {

constexpr size_t kWireHeader = 32;

std::optional<PointerEvent> FromCore(const xcb_generic_event_t& event)
{
    switch (event.response_type & 0x7F) {
    case XCB_BUTTON_PRESS:
    case XCB_BUTTON_RELEASE: {
        const auto& button = reinterpret_cast<const xcb_button_press_event_t&>(event);
        const bool press = (event.response_type & 0x7F) == XCB_BUTTON_PRESS;
        return PointerEvent { press ? PointerEvent::Kind::Press : PointerEvent::Kind::Release, int(button.detail),
            button.root_x, button.root_y };
    }
    case XCB_MOTION_NOTIFY: {
        const auto& motion = reinterpret_cast<const xcb_motion_notify_event_t&>(event);
        return PointerEvent { PointerEvent::Kind::Move, 0, motion.root_x, motion.root_y };
    }
    default:
        return std::nullopt;
    }
}

std::optional<PointerEvent> FromXInput2(const xcb_generic_event_t& generic)
{
    // xcb keeps a 32-bit full sequence number after the first 32 bytes of a generic event, where the wire
    // format goes on with the event's fields.
    xXIDeviceEvent event {};
    const auto* bytes = reinterpret_cast<const uint8_t*>(&generic);
    std::memcpy(&event, bytes, kWireHeader);
    std::memcpy(reinterpret_cast<uint8_t*>(&event) + kWireHeader, bytes + kWireHeader + 4, sizeof(event) - kWireHeader);
    PointerEvent pointer;
    switch (event.evtype) {
    case XI_ButtonPress:
        pointer.kind = PointerEvent::Kind::Press;
        break;
    case XI_ButtonRelease:
        pointer.kind = PointerEvent::Kind::Release;
        break;
    case XI_Motion:
        pointer.kind = PointerEvent::Kind::Move;
        break;
    default:
        return std::nullopt;
    }
    if (pointer.kind != PointerEvent::Kind::Move)
        pointer.button = int(event.detail);
    // Positions are 16.16 fixed point; whole pixels on every pointer that reports device pixels.
    pointer.x = int(std::floor(double(int32_t(event.root_x)) / 65536.0));
    pointer.y = int(std::floor(double(int32_t(event.root_y)) / 65536.0));
    return pointer;
}

} // namespace

X11PointerWatch::X11PointerWatch(int xinputOpcode, std::function<void(const PointerEvent&)> handler)
    : xinputOpcode_(xinputOpcode)
    , handler_(std::move(handler))
{
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11PointerWatch::~X11PointerWatch()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool X11PointerWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t" || !message)
        return false;
    const auto& event = *static_cast<const xcb_generic_event_t*>(message);
    std::optional<PointerEvent> pointer;
    if ((event.response_type & 0x7F) != XCB_GE_GENERIC)
        pointer = FromCore(event);
    else if (reinterpret_cast<const xXIDeviceEvent&>(event).extension == xinputOpcode_)
        pointer = FromXInput2(event);
    if (pointer && handler_)
        handler_(*pointer);
    // The toolkit still gets the event: its windows see the pointer as usual.
    return false;
}
