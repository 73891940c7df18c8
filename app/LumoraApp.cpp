#include "app/LumoraApp.h"

#include "app/CMainFrame.h"
#include "app/FrameCapture.h"
#include "app/FrameDocuments.h"
#include "app/IniSettingsStore.h"
#include "app/LumoraDBusService.h"
#include "app/PinBoard.h"
#include "app/WaylandSession.h"
#include "settings/ModulePath.h"

#include <QMessageBox>

#include <unistd.h>

namespace {

// On a Wayland desktop read through X11, a note that does not block the window.
void ShowWaylandNotice(QWidget* parent, const FrameCapture& capture)
{
    if (!WaylandSession::Detected() || capture.ReadsThroughPortal())
        return;
    auto* box = new QMessageBox(
        QMessageBox::Information, "Lumora", QString::fromStdString(WaylandSession::Notice()), QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

} // namespace

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
    pins_.reset();
    if (frame_)
        frame_->SetCaptureSink(nullptr);
    capture_.reset();
    documents_.reset();
    frame_.reset();
}

bool LumoraApp::InitInstance()
{
    store_ = std::make_unique<IniSettingsStore>(ConfigFilePath(), settings_);
    FrameServices services;
    services.settings = store_.get();
    services.helpFolder = QString::fromStdString(DataFolderFor("help") + "help");
    services.record = &settings_;
    services.configPath = ConfigFilePath();
    // The autostart entry names what users run, the front beside this executable.
    const std::string front = ModulePath() + "lumora";
    if (access(front.c_str(), X_OK) == 0)
        services.executablePath = QString::fromStdString(front);
    pins_ = std::make_unique<PinBoard>([this](const ImageBuffer& picture) { OpenInEditor(picture); });
    services.pinDocument = [this](const CKestrelDoc& document) { pins_->PinDocument(document); };
    frame_ = std::make_unique<CMainFrame>(services);
    documents_ = std::make_unique<FrameDocuments>(*frame_);
    capture_ = std::make_unique<FrameCapture>(
        settings_, *frame_, documents_.get(), ConfigFilePath(), DataFolderFor("capture.wav"), pins_.get());
    frame_->SetCaptureSink(capture_.get());
    CMainFrame* frame = frame_.get();
    capture_->SetScrollingHooks([frame] { return frame->StopScrolling() != 0; },
        [frame] { frame->SetStopScrolling(0); }, [frame](int steps) { frame->ShowScrollingSteps(steps); });
    connect(frame_.get(), &CMainFrame::Closed, this, &LumoraApp::OnFrameClosed, Qt::QueuedConnection);
    connect(pins_.get(), &PinBoard::AllClosed, this, [this] {
        if (frameClosed_)
            quit();
    });
    frame_->show();
    ShowWaylandNotice(frame_.get(), *capture_);
    // Without a session bus, or with another instance holding the name, only the bus requests are lost.
    bus_ = std::make_unique<LumoraDBusService>(*frame_);
    bus_->Register();
    return true;
}

void LumoraApp::OpenInEditor(const ImageBuffer& picture)
{
    documents_->CreateNewCaptureDocument();
    documents_->ReplaceActiveImage(picture);
    frame_->showNormal();
    frame_->raise();
    frame_->activateWindow();
}

void LumoraApp::OnFrameClosed()
{
    frameClosed_ = true;
    // The editor has gone; the pins stay until the user closes them. Requests of other programs now go
    // to the next instance, which may take the bus name.
    pins_->SetOpenInEditor({});
    bus_.reset();
    if (pins_->Count() == 0)
        quit();
}

int RunLumoraGui(int argc, char** argv)
{
    LumoraApp app(argc, argv);
    if (!app.InitInstance())
        return 1;
    return app.exec();
}
