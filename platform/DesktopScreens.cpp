#include "platform/DesktopScreens.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace {

std::vector<const QScreen*> PrimaryFirst()
{
    std::vector<const QScreen*> screens;
    QScreen* primary = QGuiApplication::primaryScreen();
    if (primary)
        screens.push_back(primary);
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen != primary)
            screens.push_back(screen);
    return screens;
}

} // namespace

std::vector<LogicalScreen> DesktopScreens()
{
    std::vector<LogicalScreen> screens;
    for (const QScreen* screen : PrimaryFirst()) {
        const QRect g = screen->geometry();
        screens.push_back({ { g.x(), g.y(), g.x() + g.width(), g.y() + g.height() }, screen->devicePixelRatio() });
    }
    return screens;
}

ImageRect ScreenInPicture(const QScreen& screen, int pictureWidth)
{
    const std::vector<const QScreen*> order = PrimaryFirst();
    const std::vector<ImageRect> places = MapScreensToPicture(DesktopScreens(), pictureWidth);
    for (size_t i = 0; i < order.size() && i < places.size(); ++i)
        if (order[i] == &screen)
            return places[i];
    return {};
}

ImageRect ToolkitDeviceRect(const QScreen& screen)
{
    const QRect g = screen.geometry();
    const double scale = screen.devicePixelRatio();
    return { g.x(), g.y(), g.x() + int(std::lround(g.width() * scale)), g.y() + int(std::lround(g.height() * scale)) };
}

QScreen* ScreenAtDevice(int x, int y)
{
    for (QScreen* screen : QGuiApplication::screens()) {
        const ImageRect device = ToolkitDeviceRect(*screen);
        if (x >= device.left && x < device.right && y >= device.top && y < device.bottom)
            return screen;
    }
    return nullptr;
}

QPoint LogicalOf(int x, int y)
{
    const QScreen* screen = ScreenAtDevice(x, y);
    if (!screen)
        return { x, y };
    const QPoint origin = screen->geometry().topLeft();
    const double scale = screen->devicePixelRatio();
    return origin + QPoint(int(std::lround((x - origin.x()) / scale)), int(std::lround((y - origin.y()) / scale)));
}
