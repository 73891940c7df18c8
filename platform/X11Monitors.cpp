#include "platform/X11Monitors.h"

#include "platform/X11Display.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

std::vector<MonitorArea> ListX11Monitors(const X11Display& display)
{
    Display* dpy = display.Get();
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    if (!XRRQueryExtension(dpy, &eventBase, &errorBase) || !XRRQueryVersion(dpy, &major, &minor)
        || (major == 1 && minor < 5))
        return {};
    int count = 0;
    XRRMonitorInfo* list = XRRGetMonitors(dpy, display.Root(), True, &count);
    std::vector<MonitorArea> monitors;
    for (int i = 0; list && i < count; ++i) {
        const XRRMonitorInfo& m = list[i];
        if (m.width > 0 && m.height > 0)
            monitors.push_back({ { m.x, m.y, m.x + m.width, m.y + m.height }, m.primary != 0 });
    }
    if (list)
        XRRFreeMonitors(list);
    return monitors;
}

ImageRect PrimaryMonitorRect(const std::vector<MonitorArea>& monitors, const ImageRect& desktop)
{
    for (const MonitorArea& monitor : monitors)
        if (monitor.primary)
            return monitor.rect;
    for (const MonitorArea& monitor : monitors)
        if (monitor.rect.left == desktop.left && monitor.rect.top == desktop.top)
            return monitor.rect;
    return monitors.empty() ? desktop : monitors.front().rect;
}
