#pragma once

#include "platform/PortalScreenSource.h"

#include <vector>

// The monitors the running QGuiApplication sees, the primary one first.
std::vector<LogicalScreen> DesktopScreens();
