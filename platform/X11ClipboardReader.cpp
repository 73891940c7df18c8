#include "platform/X11ClipboardReader.h"

#include <xcb/xcb.h>

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace {

using Clock = std::chrono::steady_clock;

template <typename T> struct FreeDeleter {
    void operator()(T* p) const { std::free(p); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeDeleter<T>>;

bool IsBitmapType(const std::string& type)
{
    return type == "image/bmp" || type == "image/x-bmp" || type == "image/x-MS-bmp" || type == "image/x-win-bitmap";
}

} // namespace

struct X11ClipboardReader::Impl {
    std::string displayName;
    xcb_connection_t* connection = nullptr;
    xcb_window_t window = 0;
    xcb_atom_t clipboard = 0, targets = 0, incr = 0, property = 0;

    ~Impl()
    {
        if (connection)
            xcb_disconnect(connection);
    }
    bool Connect();
    xcb_atom_t Atom(const std::string& name);
    std::string AtomName(xcb_atom_t atom);
    Reply<xcb_generic_event_t> WaitFor(uint8_t type, Clock::time_point deadline);
    Reply<xcb_get_property_reply_t> TakeProperty();
    bool Convert(xcb_atom_t target, std::vector<char>& bytes, xcb_atom_t* type = nullptr);
    bool ReadIncrements(std::vector<char>& bytes);
};

bool X11ClipboardReader::Impl::Connect()
{
    if (connection)
        return !xcb_connection_has_error(connection);
    int screenNumber = 0;
    connection = xcb_connect(displayName.empty() ? nullptr : displayName.c_str(), &screenNumber);
    if (xcb_connection_has_error(connection))
        return false;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    if (!screens.rem)
        return false;
    window = xcb_generate_id(connection);
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screens.data->root, -10, -10, 1, 1, 0,
        XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
    clipboard = Atom("CLIPBOARD");
    targets = Atom("TARGETS");
    incr = Atom("INCR");
    property = Atom("LUMORA_CLIPBOARD");
    return clipboard && targets && incr && property;
}

xcb_atom_t X11ClipboardReader::Impl::Atom(const std::string& name)
{
    Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(name.size()), name.data()), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

std::string X11ClipboardReader::Impl::AtomName(xcb_atom_t atom)
{
    Reply<xcb_get_atom_name_reply_t> reply(
        xcb_get_atom_name_reply(connection, xcb_get_atom_name(connection, atom), nullptr));
    if (!reply)
        return {};
    return std::string(xcb_get_atom_name_name(reply.get()), size_t(xcb_get_atom_name_name_length(reply.get())));
}

Reply<xcb_generic_event_t> X11ClipboardReader::Impl::WaitFor(uint8_t type, Clock::time_point deadline)
{
    pollfd descriptor { xcb_get_file_descriptor(connection), POLLIN, 0 };
    xcb_flush(connection);
    for (;;) {
        Reply<xcb_generic_event_t> event(xcb_poll_for_event(connection));
        if (event) {
            const uint8_t kind = event->response_type & 0x7F;
            if (kind == type
                && (kind != XCB_PROPERTY_NOTIFY
                    || (reinterpret_cast<xcb_property_notify_event_t*>(event.get())->atom == property
                        && reinterpret_cast<xcb_property_notify_event_t*>(event.get())->state
                            == XCB_PROPERTY_NEW_VALUE)))
                return event;
            continue;
        }
        if (xcb_connection_has_error(connection))
            return nullptr;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0 || poll(&descriptor, 1, int(left)) <= 0)
            return nullptr;
    }
}

// Reads and deletes our property; the deletion asks an incremental sender for its next piece.
Reply<xcb_get_property_reply_t> X11ClipboardReader::Impl::TakeProperty()
{
    return Reply<xcb_get_property_reply_t>(xcb_get_property_reply(connection,
        xcb_get_property(connection, 1, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, uint32_t(kMaxBytes / 4)),
        nullptr));
}

bool X11ClipboardReader::Impl::Convert(xcb_atom_t target, std::vector<char>& bytes, xcb_atom_t* type)
{
    bytes.clear();
    xcb_delete_property(connection, window, property);
    xcb_convert_selection(connection, window, clipboard, target, property, XCB_CURRENT_TIME);
    Reply<xcb_generic_event_t> event
        = WaitFor(XCB_SELECTION_NOTIFY, Clock::now() + std::chrono::milliseconds(kTimeoutMs));
    if (!event || reinterpret_cast<xcb_selection_notify_event_t*>(event.get())->property == XCB_ATOM_NONE)
        return false;
    Reply<xcb_get_property_reply_t> reply = TakeProperty();
    if (!reply)
        return false;
    if (type)
        *type = reply->type;
    if (reply->type == incr)
        return ReadIncrements(bytes);
    const auto* value = static_cast<const char*>(xcb_get_property_value(reply.get()));
    const int length = xcb_get_property_value_length(reply.get());
    bytes.assign(value, value + std::max(length, 0));
    return true;
}

bool X11ClipboardReader::Impl::ReadIncrements(std::vector<char>& bytes)
{
    for (;;) {
        if (!WaitFor(XCB_PROPERTY_NOTIFY, Clock::now() + std::chrono::milliseconds(kTimeoutMs)))
            return false;
        Reply<xcb_get_property_reply_t> piece = TakeProperty();
        if (!piece)
            return false;
        const int length = xcb_get_property_value_length(piece.get());
        if (length <= 0)
            return true;
        if (bytes.size() + size_t(length) > kMaxBytes)
            return false;
        const auto* value = static_cast<const char*>(xcb_get_property_value(piece.get()));
        bytes.insert(bytes.end(), value, value + length);
    }
}

X11ClipboardReader::X11ClipboardReader(std::string displayName)
    : impl_(std::make_unique<Impl>())
{
    impl_->displayName = std::move(displayName);
}

X11ClipboardReader::~X11ClipboardReader() = default;

std::vector<std::string> X11ClipboardReader::Targets()
{
    std::vector<char> bytes;
    xcb_atom_t type = 0;
    if (!impl_->Connect() || !impl_->Convert(impl_->targets, bytes, &type) || type != XCB_ATOM_ATOM)
        return {};
    std::vector<std::string> names;
    for (size_t i = 0; i + sizeof(xcb_atom_t) <= bytes.size(); i += sizeof(xcb_atom_t)) {
        xcb_atom_t atom;
        std::memcpy(&atom, bytes.data() + i, sizeof atom);
        names.push_back(impl_->AtomName(atom));
    }
    return names;
}

bool X11ClipboardReader::Read(const std::string& target, std::vector<char>& bytes)
{
    if (!impl_->Connect())
        return false;
    const xcb_atom_t atom = impl_->Atom(target);
    return atom != XCB_ATOM_NONE && impl_->Convert(atom, bytes);
}

bool X11ClipboardReader::ReadImage(std::string& mimeType, std::vector<char>& bytes)
{
    const std::vector<std::string> offered = Targets();
    std::vector<std::string> images;
    for (const auto& type : offered)
        if (IsBitmapType(type))
            images.push_back(type);
    for (const auto& type : offered)
        if (type == "image/png")
            images.push_back(type);
    for (const auto& type : offered)
        if (type.starts_with("image/") && !IsBitmapType(type) && type != "image/png")
            images.push_back(type);
    for (const auto& type : images) {
        if (Read(type, bytes) && !bytes.empty()) {
            mimeType = type;
            return true;
        }
    }
    return false;
}
