#include "platform/X11WindowPlacement.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>

namespace {

xcb_connection_t* ToolkitConnection()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// The toolkit asks the window manager for sizes in steps of its scale (2 x 2 at a factor of 1.5 or 2),
// which would round the picture away from its device size: this position and size, in any step.
void SetSizeHints(xcb_connection_t* connection, xcb_window_t window, const ImageRect& rect)
{
    constexpr uint32_t kUserPosition = 1;
    constexpr uint32_t kUserSize = 2;
    constexpr uint32_t kGravity = 512;
    constexpr uint32_t kStaticGravity = 10;
    uint32_t hints[18] = {};
    hints[0] = kUserPosition | kUserSize | kGravity;
    hints[1] = uint32_t(rect.left);
    hints[2] = uint32_t(rect.top);
    hints[3] = uint32_t(rect.Width());
    hints[4] = uint32_t(rect.Height());
    hints[17] = kStaticGravity;
    xcb_change_property(
        connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32, 18, hints);
}

} // namespace

namespace X11WindowPlacement {

bool Place(WindowId window, const ImageRect& deviceRect)
{
    xcb_connection_t* connection = ToolkitConnection();
    if (!connection || deviceRect.IsEmpty())
        return false;
    const uint32_t values[] = { uint32_t(deviceRect.left), uint32_t(deviceRect.top), uint32_t(deviceRect.Width()),
        uint32_t(deviceRect.Height()) };
    SetSizeHints(connection, xcb_window_t(window), deviceRect);
    xcb_configure_window(connection, xcb_window_t(window),
        XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, values);
    xcb_flush(connection);
    return true;
}

std::optional<ImageRect> Rect(WindowId window)
{
    xcb_connection_t* connection = ToolkitConnection();
    if (!connection)
        return std::nullopt;
    xcb_get_geometry_reply_t* geometry
        = xcb_get_geometry_reply(connection, xcb_get_geometry(connection, xcb_window_t(window)), nullptr);
    if (!geometry)
        return std::nullopt;
    // The window manager's frame is the parent: the root's coordinates say where the window itself is.
    xcb_translate_coordinates_reply_t* origin = xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, xcb_window_t(window), geometry->root, 0, 0), nullptr);
    std::optional<ImageRect> rect;
    if (origin)
        rect = ImageRect { origin->dst_x, origin->dst_y, origin->dst_x + geometry->width,
            origin->dst_y + geometry->height };
    std::free(origin);
    std::free(geometry);
    return rect;
}

} // namespace X11WindowPlacement
