#pragma once

class QWidget;

// Tray mode takes a minimised window off the task bar into the tray, but only when the user minimised
// it and a tray is there to bring it back from: on a desktop without one (stock GNOME) a hidden window
// could never be shown again.
bool HidesIntoTray(const QWidget& window, bool trayMode);

// Minimises the window as the program's own step (after a capture): a plain minimise, never into the tray.
void MinimisePlainly(QWidget& window);
