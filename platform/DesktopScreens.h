#pragma once

#include "platform/PortalScreenSource.h"

#include <vector>

class QScreen;

// The monitors the running QGuiApplication sees, the primary one first.
std::vector<LogicalScreen> DesktopScreens();

// The part of a picture of the whole desktop (pictureWidth pixels wide, as the portal takes it) that the
// screen shows; empty for a screen the application does not know.
ImageRect ScreenInPicture(const QScreen& screen, int pictureWidth);
