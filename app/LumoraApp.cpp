#include "LumoraApp.h"

#include "CMainFrame.h"
#include "LumoraDBusService.h"

LumoraApp::LumoraApp(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setApplicationName("Lumora");
    setOrganizationName("Lumora");
    // The frame may live hidden in the tray while dialogs come and go; the program ends with the frame.
    setQuitOnLastWindowClosed(false);
}

LumoraApp::~LumoraApp()
{
    bus_.reset();
    frame_.reset();
}

bool LumoraApp::InitInstance()
{
    frame_ = std::make_unique<CMainFrame>();
    connect(frame_.get(), &CMainFrame::Closed, this, &QCoreApplication::quit, Qt::QueuedConnection);
    frame_->show();
    // Without a session bus, or with another instance holding the name, only the bus requests are lost.
    bus_ = std::make_unique<LumoraDBusService>(*frame_);
    bus_->Register();
    return true;
}

int RunLumoraGui(int argc, char** argv)
{
    LumoraApp app(argc, argv);
    if (!app.InitInstance())
        return 1;
    return app.exec();
}
