#include "platform/X11WindowSystem.h"

#include "platform/X11Display.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>

X11WindowSystem::X11WindowSystem(X11Display& display)
    : display_(display)
{
}

std::vector<unsigned long> X11WindowSystem::ReadProperty(WindowId window, const char* name, unsigned long type) const
{
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> values;
    const X11Display::ErrorTrap trap(display_);
    const int status = XGetWindowProperty(display_.Get(), window, display_.Atom(name), 0, 1 << 16, False, type,
        &actualType, &format, &count, &remaining, &data);
    if (status == Success && !trap.Failed() && data && format == 32 && actualType == type) {
        // Xlib returns 32-bit items as longs.
        const unsigned long* items = reinterpret_cast<const unsigned long*>(data);
        values.assign(items, items + count);
    }
    if (data)
        XFree(data);
    return values;
}

WindowId X11WindowSystem::ForegroundWindow()
{
    const std::vector<unsigned long> active = ReadProperty(display_.Root(), "_NET_ACTIVE_WINDOW", XA_WINDOW);
    if (!active.empty() && active.front() != None)
        return active.front();
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display_.Get(), &focus, &revert);
    if (focus == None || focus == PointerRoot || focus == display_.Root())
        return 0;
    return focus;
}

std::optional<ImageRect> X11WindowSystem::WindowRect(WindowId window)
{
    if (window == 0)
        return std::nullopt;
    Display* display = display_.Get();
    const X11Display::ErrorTrap trap(display_);
    XWindowAttributes attributes {};
    if (!XGetWindowAttributes(display, window, &attributes) || trap.Failed())
        return std::nullopt;
    int x = 0;
    int y = 0;
    Window child = None;
    if (!XTranslateCoordinates(display, window, display_.Root(), 0, 0, &x, &y, &child) || trap.Failed())
        return std::nullopt;
    const int border = attributes.border_width;
    ImageRect rect { x - border, y - border, x + attributes.width + border, y + attributes.height + border };
    // A window manager's frame lies around the window; a frame the program draws itself lies inside it,
    // with invisible shadow margins that are no part of what the user sees as the window.
    const std::vector<unsigned long> frame = ReadProperty(window, "_NET_FRAME_EXTENTS", XA_CARDINAL);
    if (frame.size() == 4) {
        rect.left -= int(frame[0]);
        rect.right += int(frame[1]);
        rect.top -= int(frame[2]);
        rect.bottom += int(frame[3]);
    }
    const std::vector<unsigned long> margins = ReadProperty(window, "_GTK_FRAME_EXTENTS", XA_CARDINAL);
    if (margins.size() == 4 && std::all_of(margins.begin(), margins.end(), [](unsigned long m) { return m < 65536; })) {
        const ImageRect inner { rect.left + int(margins[0]), rect.top + int(margins[2]), rect.right - int(margins[1]),
            rect.bottom - int(margins[3]) };
        // Margins that leave nothing are not believed.
        if (!inner.IsEmpty())
            rect = inner;
    }
    return rect;
}

WindowId X11WindowSystem::TopLevelAncestor(WindowId window) const
{
    const X11Display::ErrorTrap trap(display_);
    while (window != 0) {
        Window root = None;
        Window parent = None;
        Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display_.Get(), window, &root, &parent, &children, &count))
            return 0;
        if (children)
            XFree(children);
        if (parent == root || parent == None)
            return window;
        window = parent;
    }
    return 0;
}

bool X11WindowSystem::IsShown(WindowId window) const
{
    const X11Display::ErrorTrap trap(display_);
    XWindowAttributes attributes {};
    return XGetWindowAttributes(display_.Get(), window, &attributes) && !trap.Failed()
        && attributes.map_state == IsViewable;
}

std::vector<WindowId> X11WindowSystem::RootChildren() const
{
    Window root = None;
    Window parent = None;
    Window* children = nullptr;
    unsigned count = 0;
    std::vector<WindowId> list;
    if (XQueryTree(display_.Get(), display_.Root(), &root, &parent, &children, &count))
        list.assign(children, children + count);
    if (children)
        XFree(children);
    return list;
}

std::vector<WindowId> X11WindowSystem::StackingOrder()
{
    // The window manager's list names client windows, bottom to top; without one, the root's children do.
    std::vector<WindowId> order = ReadProperty(display_.Root(), "_NET_CLIENT_LIST_STACKING", XA_WINDOW);
    if (order.empty())
        order = RootChildren();
    std::erase_if(order, [this](WindowId window) { return !IsShown(window); });
    return order;
}

WindowId X11WindowSystem::WindowBelow(WindowId window)
{
    if (window == 0)
        return 0;
    const std::vector<unsigned long> clients = ReadProperty(display_.Root(), "_NET_CLIENT_LIST_STACKING", XA_WINDOW);
    const bool managed = std::find(clients.begin(), clients.end(), window) != clients.end();
    const std::vector<WindowId> order = managed ? clients : RootChildren();
    const WindowId self = managed ? window : TopLevelAncestor(window);
    const auto at = std::find(order.begin(), order.end(), self);
    if (self == 0 || at == order.end())
        return 0;
    for (auto below = std::make_reverse_iterator(at); below != order.rend(); ++below)
        if (IsShown(*below))
            return *below;
    return 0;
}

void X11WindowSystem::BringToTop(WindowId window)
{
    if (window == 0)
        return;
    Display* display = display_.Get();
    const X11Display::ErrorTrap trap(display_);
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = display_.Atom("_NET_ACTIVE_WINDOW");
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2; // a request from a pager-like tool, which window managers honour
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, display_.Root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XRaiseWindow(display, window);
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    trap.Failed();
}

void X11WindowSystem::DrawHighlight(WindowId window)
{
    if (window == 0)
        return;
    Display* display = display_.Get();
    const X11Display::ErrorTrap trap(display_);
    XWindowAttributes attributes {};
    if (!XGetWindowAttributes(display, window, &attributes) || trap.Failed())
        return;
    constexpr int kPen = 3;
    XGCValues values {};
    values.foreground = BlackPixel(display, DefaultScreen(display));
    values.line_width = kPen;
    values.line_style = LineSolid;
    values.cap_style = CapProjecting;
    values.join_style = JoinMiter;
    values.subwindow_mode = IncludeInferiors; // the frame lies over the window's children too
    GC gc = XCreateGC(display, window,
        GCForeground | GCLineWidth | GCLineStyle | GCCapStyle | GCJoinStyle | GCSubwindowMode, &values);
    // A wide line is centred on its path: a path one pixel in covers the outer three pixels.
    XDrawRectangle(display, window, gc, 1, 1, unsigned(std::max(attributes.width - 3, 0)),
        unsigned(std::max(attributes.height - 3, 0)));
    XFreeGC(display, gc);
    XFlush(display);
    trap.Failed();
}

void X11WindowSystem::EraseHighlight(WindowId window)
{
    if (window == 0)
        return;
    const X11Display::ErrorTrap trap(display_);
    ClearWithChildren(window, 0);
    XFlush(display_.Get());
    trap.Failed();
}

// Clears each window to its background and asks its owner to repaint it, children included, since the
// frame was drawn across them.
void X11WindowSystem::ClearWithChildren(unsigned long window, int depth) const
{
    constexpr int kMaxDepth = 8;
    Display* display = display_.Get();
    XClearArea(display, window, 0, 0, 0, 0, True);
    if (depth >= kMaxDepth)
        return;
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count))
        return;
    for (unsigned i = 0; i < count; ++i)
        ClearWithChildren(children[i], depth + 1);
    if (children)
        XFree(children);
}
