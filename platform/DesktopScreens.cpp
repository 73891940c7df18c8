#include "platform/DesktopScreens.h"

#include <QGuiApplication>
#include <QScreen>

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
