#include "platform/DesktopScreens.h"

#include <QGuiApplication>
#include <QScreen>

std::vector<LogicalScreen> DesktopScreens()
{
    std::vector<LogicalScreen> screens;
    QScreen* primary = QGuiApplication::primaryScreen();
    auto add = [&screens](const QScreen* screen) {
        const QRect g = screen->geometry();
        screens.push_back({ { g.x(), g.y(), g.x() + g.width(), g.y() + g.height() }, screen->devicePixelRatio() });
    };
    if (primary)
        add(primary);
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen != primary)
            add(screen);
    return screens;
}
