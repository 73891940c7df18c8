#pragma once

#include "platform/PortalScreenSource.h"

#include <vector>

class QPoint;
class QScreen;

// The monitors the running QGuiApplication sees, the primary one first.
std::vector<LogicalScreen> DesktopScreens();

// The part of a picture of the whole desktop (pictureWidth pixels wide, as the portal takes it) that the
// screen shows; empty for a screen the application does not know.
ImageRect ScreenInPicture(const QScreen& screen, int pictureWidth);

// The screen in device pixels of the X11 desktop: the toolkit keeps a screen's top-left corner in device
// pixels and scales only its size.
ImageRect ToolkitDeviceRect(const QScreen& screen);
// The screen showing a desktop position in device pixels, or null.
QScreen* ScreenAtDevice(int x, int y);
// A desktop position in device pixels as the toolkit's logical one; unchanged off every screen.
QPoint LogicalOf(int x, int y);
