#include "platform/SelectionServer.h"

#include "process/WriteAll.h"

#include <xcb/xcb.h>

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <list>

namespace {

// Larger data goes in increments (ICCCM INCR), so every requestor can take it.
constexpr size_t kChunkBytes = 256 * 1024;
// A requestor that stops taking increments is given up after this long once the clipboard is lost.
constexpr int kAbandonMs = 10000;

struct Transfer {
    xcb_window_t requestor;
    xcb_atom_t property;
    xcb_atom_t type;
    const std::vector<char>* data;
    size_t offset;
};

xcb_atom_t InternAtom(xcb_connection_t* connection, const char* name)
{
    xcb_intern_atom_reply_t* reply
        = xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return atom;
}

// Reads exactly size bytes at offset, which must lie within the file of fileSize bytes.
bool ReadAt(int fd, void* data, uint64_t size, uint64_t& offset, uint64_t fileSize)
{
    if (size > fileSize - offset)
        return false;
    auto* bytes = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t got = pread(fd, bytes, size, off_t(offset));
        if (got <= 0)
            return false;
        bytes += got;
        size -= uint64_t(got);
        offset += uint64_t(got);
    }
    return true;
}

} // namespace

bool SelectionServer::WriteOffers(int fd, const std::vector<Offer>& offers)
{
    const uint64_t count = offers.size();
    bool ok = WriteAll(fd, &count, sizeof count);
    for (const Offer& offer : offers) {
        const uint64_t sizes[2] = { offer.mimeType.size(), offer.data.size() };
        ok = ok && WriteAll(fd, sizes, sizeof sizes) && WriteAll(fd, offer.mimeType.data(), offer.mimeType.size())
            && WriteAll(fd, offer.data.data(), offer.data.size());
    }
    return ok;
}

bool SelectionServer::ReadOffers(int fd, std::vector<Offer>& offers)
{
    struct stat file { };
    if (fstat(fd, &file) != 0 || file.st_size <= 0)
        return false;
    const uint64_t fileSize = uint64_t(file.st_size);
    uint64_t offset = 0;
    uint64_t count = 0;
    if (!ReadAt(fd, &count, sizeof count, offset, fileSize) || count > 16)
        return false;
    offers.resize(count);
    for (Offer& offer : offers) {
        uint64_t sizes[2] = {};
        if (!ReadAt(fd, sizes, sizeof sizes, offset, fileSize) || sizes[0] > 256 || sizes[1] > fileSize)
            return false;
        offer.mimeType.resize(sizes[0]);
        offer.data.resize(sizes[1]);
        if (!ReadAt(fd, offer.mimeType.data(), sizes[0], offset, fileSize)
            || !ReadAt(fd, offer.data.data(), sizes[1], offset, fileSize))
            return false;
    }
    return offset == fileSize;
}

struct SelectionServer::Impl {
    std::string displayName;
    std::vector<Offer> offers;
    xcb_connection_t* connection = nullptr;
    xcb_window_t window = 0;
    xcb_timestamp_t ownedSince = XCB_CURRENT_TIME;
    xcb_atom_t clipboard = 0, targets = 0, timestamp = 0, incr = 0, atomType = 0, integer = 0;
    std::vector<xcb_atom_t> offerAtoms;
    std::list<Transfer> transfers;

    xcb_timestamp_t ServerTime();
    void Answer(const xcb_selection_request_event_t& request);
    void Notify(const xcb_selection_request_event_t& request, xcb_atom_t property);
    void Continue(const xcb_property_notify_event_t& event);
};

SelectionServer::SelectionServer(std::string displayName, std::vector<Offer> offers)
    : impl_(new Impl)
{
    impl_->displayName = std::move(displayName);
    impl_->offers = std::move(offers);
}

SelectionServer::~SelectionServer()
{
    if (impl_->connection)
        xcb_disconnect(impl_->connection);
    delete impl_;
}

// A server timestamp, taken from the property change it causes (ICCCM: never own with CurrentTime).
xcb_timestamp_t SelectionServer::Impl::ServerTime()
{
    xcb_change_property(connection, XCB_PROP_MODE_APPEND, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 0, "");
    xcb_flush(connection);
    while (xcb_generic_event_t* event = xcb_wait_for_event(connection)) {
        const bool found = (event->response_type & 0x7F) == XCB_PROPERTY_NOTIFY;
        const xcb_timestamp_t time = found ? reinterpret_cast<xcb_property_notify_event_t*>(event)->time : 0;
        free(event);
        if (found)
            return time;
    }
    return XCB_CURRENT_TIME;
}

bool SelectionServer::Own()
{
    Impl& d = *impl_;
    int screenNumber = 0;
    d.connection = xcb_connect(d.displayName.empty() ? nullptr : d.displayName.c_str(), &screenNumber);
    if (xcb_connection_has_error(d.connection))
        return false;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(d.connection));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    if (!screens.rem)
        return false;
    d.window = xcb_generate_id(d.connection);
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(d.connection, XCB_COPY_FROM_PARENT, d.window, screens.data->root, -10, -10, 1, 1, 0,
        XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
    d.clipboard = InternAtom(d.connection, "CLIPBOARD");
    d.targets = InternAtom(d.connection, "TARGETS");
    d.timestamp = InternAtom(d.connection, "TIMESTAMP");
    d.incr = InternAtom(d.connection, "INCR");
    d.atomType = XCB_ATOM_ATOM;
    d.integer = XCB_ATOM_INTEGER;
    for (const Offer& offer : d.offers)
        d.offerAtoms.push_back(InternAtom(d.connection, offer.mimeType.c_str()));
    d.ownedSince = d.ServerTime();
    xcb_set_selection_owner(d.connection, d.window, d.clipboard, d.ownedSince);
    xcb_get_selection_owner_reply_t* owner
        = xcb_get_selection_owner_reply(d.connection, xcb_get_selection_owner(d.connection, d.clipboard), nullptr);
    const bool owned = owner && owner->owner == d.window;
    free(owner);
    return owned;
}

void SelectionServer::Impl::Notify(const xcb_selection_request_event_t& request, xcb_atom_t property)
{
    xcb_selection_notify_event_t notify {};
    notify.response_type = XCB_SELECTION_NOTIFY;
    notify.time = request.time;
    notify.requestor = request.requestor;
    notify.selection = request.selection;
    notify.target = request.target;
    notify.property = property;
    xcb_send_event(connection, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&notify));
}

void SelectionServer::Impl::Answer(const xcb_selection_request_event_t& request)
{
    // Obsolete requestors name no property; the target's name is used instead.
    const xcb_atom_t property = request.property == XCB_ATOM_NONE ? request.target : request.property;
    if (request.target == targets) {
        std::vector<xcb_atom_t> list { targets, timestamp };
        list.insert(list.end(), offerAtoms.begin(), offerAtoms.end());
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, request.requestor, property, atomType, 32,
            uint32_t(list.size()), list.data());
        return Notify(request, property);
    }
    if (request.target == timestamp) {
        xcb_change_property(
            connection, XCB_PROP_MODE_REPLACE, request.requestor, property, integer, 32, 1, &ownedSince);
        return Notify(request, property);
    }
    const auto offer = std::find(offerAtoms.begin(), offerAtoms.end(), request.target);
    if (offer == offerAtoms.end())
        return Notify(request, XCB_ATOM_NONE);
    const std::vector<char>& data = offers[size_t(offer - offerAtoms.begin())].data;
    if (data.size() <= kChunkBytes) {
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, request.requestor, property, request.target, 8,
            uint32_t(data.size()), data.data());
        return Notify(request, property);
    }
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(connection, request.requestor, XCB_CW_EVENT_MASK, &events);
    const uint32_t size = uint32_t(data.size());
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, request.requestor, property, incr, 32, 1, &size);
    transfers.push_back({ request.requestor, property, request.target, &data, 0 });
    Notify(request, property);
}

void SelectionServer::Impl::Continue(const xcb_property_notify_event_t& event)
{
    if (event.state != XCB_PROPERTY_DELETE)
        return;
    for (auto transfer = transfers.begin(); transfer != transfers.end(); ++transfer) {
        if (transfer->requestor != event.window || transfer->property != event.atom)
            continue;
        // Each deletion asks for the next piece; an empty piece ends the transfer.
        const size_t length = std::min(kChunkBytes, transfer->data->size() - transfer->offset);
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, transfer->requestor, transfer->property, transfer->type,
            8, uint32_t(length), transfer->data->data() + transfer->offset);
        transfer->offset += length;
        if (length == 0)
            transfers.erase(transfer);
        return;
    }
}

void SelectionServer::Serve()
{
    Impl& d = *impl_;
    bool lost = false;
    pollfd descriptor { xcb_get_file_descriptor(d.connection), POLLIN, 0 };
    while (!(lost && d.transfers.empty())) {
        xcb_flush(d.connection);
        xcb_generic_event_t* event = xcb_poll_for_event(d.connection);
        if (!event) {
            if (xcb_connection_has_error(d.connection))
                return;
            if (poll(&descriptor, 1, lost ? kAbandonMs : -1) == 0)
                return;
            continue;
        }
        switch (event->response_type & 0x7F) {
        case XCB_SELECTION_REQUEST:
            d.Answer(*reinterpret_cast<xcb_selection_request_event_t*>(event));
            break;
        case XCB_PROPERTY_NOTIFY:
            d.Continue(*reinterpret_cast<xcb_property_notify_event_t*>(event));
            break;
        case XCB_SELECTION_CLEAR:
            lost = true;
            break;
        default:
            break;
        }
        free(event);
    }
    xcb_flush(d.connection);
}
