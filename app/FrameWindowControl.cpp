#include "app/FrameWindowControl.h"

#include "app/TrayMinimise.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWidget>

void FrameWindowControl::ShowWindow(ShowCommand command)
{
    switch (command) {
    case ShowCommand::Hide:
        window_.hide();
        break;
    case ShowCommand::Show:
        window_.show();
        break;
    case ShowCommand::ShowMinimized:
        MinimisePlainly(window_);
        break;
    case ShowCommand::ShowNoActivate: {
        const bool was = window_.testAttribute(Qt::WA_ShowWithoutActivating);
        window_.setAttribute(Qt::WA_ShowWithoutActivating);
        window_.show();
        window_.setAttribute(Qt::WA_ShowWithoutActivating, was);
        break;
    }
    case ShowCommand::ShowNormal:
        window_.showNormal();
        break;
    }
    // The capture sleeps next, without an event loop: the change must reach the X server now.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void FrameWindowControl::MakeForeground()
{
    window_.raise();
    window_.activateWindow();
}

void FrameWindowControl::Invalidate()
{
    window_.update();
}

WindowId FrameWindowControl::NativeWindow() const
{
    // Only on X11 is the window id one the capture's window system knows.
    if (QGuiApplication::platformName() != "xcb" || !window_.isVisible())
        return 0;
    return WindowId(window_.winId());
}
