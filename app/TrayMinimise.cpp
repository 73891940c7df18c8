#include "app/TrayMinimise.h"

#include <QSystemTrayIcon>
#include <QWidget>

namespace {
// Set only while the program itself minimises: the state change arrives within showMinimized().
constexpr const char* kPlainMinimise = "lumoraPlainMinimise";
} // namespace

bool HidesIntoTray(const QWidget& window, bool trayMode)
{
    return trayMode && !window.property(kPlainMinimise).toBool() && QSystemTrayIcon::isSystemTrayAvailable();
}

void MinimisePlainly(QWidget& window)
{
    window.setProperty(kPlainMinimise, true);
    window.showMinimized();
    window.setProperty(kPlainMinimise, false);
}
