#include "app/CMainFrame.h"

#include "app/AppIcons.h"
#include "app/CAboutDlg.h"
#include "app/CChildFrame.h"
#include "app/CaptureRequestSink.h"
#include "app/CloseSequence.h"
#include "app/CommandIds.h"
#include "app/CommandTable.h"
#include "app/DialogClosePrompts.h"
#include "app/DialogCommands.h"
#include "app/FrameBars.h"
#include "app/FrameClipboard.h"
#include "app/FramePrinter.h"
#include "app/FrameSettingsCommands.h"
#include "app/FrameTabs.h"
#include "app/FrameTextCopy.h"
#include "app/TrayMinimise.h"
#include "editor/bars/CParamBar.h"
#include "editor/document/CKestrelDoc.h"
#include "editor/ui/CKestrelView.h"
#include "editor/ui/ViewObjectCommands.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QMdiArea>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>

using namespace CommandId;

namespace {
const char* const kLayoutKey = "GuiTabbedDemo/State";
} // namespace

CMainFrame::CMainFrame(FrameServices services, QWidget* parent)
    : QMainWindow(parent)
    , services_(std::move(services))
    , recentFiles_(4)
{
    setObjectName("mainFrame128");
    setWindowTitle("Lumora");
    setWindowIcon(AppIcons::Application());
    if (!services_.prompts)
        ownPrompts_ = std::make_unique<DialogClosePrompts>(this);
    prompts_ = services_.prompts ? services_.prompts : ownPrompts_.get();

    bars_ = std::make_unique<FrameBars>(*this, *this, recentFiles_, settings_);
    recentFiles_.Load(*UserSettings());
    bars_->RebuildRecentFileMenu();
    tabs_ = std::make_unique<FrameTabs>(*this, *bars_, recentFiles_, *prompts_);
    printer_ = std::make_unique<FramePrinter>(*this);
    RestoreLayout();

    settings_ = services_.settings ? services_.settings->Load() : ShellSettings {};
    desktop_ = new DesktopIntegration(settings_,
        services_.autostartPath.isEmpty() ? AutostartEntry() : AutostartEntry(services_.autostartPath),
        services_.executablePath.isEmpty() ? QCoreApplication::applicationFilePath() : services_.executablePath, this);
    connect(desktop_, &DesktopIntegration::CommandRequested, this, &CMainFrame::OnCommand);
    connect(desktop_, &DesktopIntegration::TrayToggleRequested, this, &CMainFrame::ToggleFromTray);
    desktop_->ApplySettings();
    settingsCommands_ = std::make_unique<FrameSettingsCommands>(*this, settings_,
        services_.record ? *services_.record : ownRecord_, services_.configPath, [this] { return desktop_; });
    bars_->UpdateCommandStates();
}

CMainFrame::~CMainFrame()
{
    // Closing the tabs while the frame is torn down must not update actions that
    // are already gone.
    disconnect(tabs_->Area(), nullptr, this, nullptr);
    for (CChildFrame* child : findChildren<CChildFrame*>())
        disconnect(child, nullptr, this, nullptr);
}

std::unique_ptr<QSettings> CMainFrame::UserSettings() const
{
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "Lumora", "Lumora");
}

void CMainFrame::RestoreLayout()
{
    const QByteArray state = UserSettings()->value(kLayoutKey).toByteArray();
    if (!state.isEmpty())
        restoreState(state);
}

void CMainFrame::SaveLayout()
{
    auto settings = UserSettings();
    settings->setValue(kLayoutKey, saveState());
    recentFiles_.Save(*settings);
}

QUrl CMainFrame::HomePage() const
{
    const QString folder
        = services_.helpFolder.isEmpty() ? QCoreApplication::applicationDirPath() + "/help" : services_.helpFolder;
    return QUrl::fromLocalFile(folder + "/index.html");
}

QUrl CMainFrame::SupportPage() const
{
    QUrl page = HomePage();
    page.setPath(page.path().replace("index.html", "support.html"));
    return page;
}

void CMainFrame::AddRecentFile(const QString& path)
{
    recentFiles_.Add(path);
    bars_->RebuildRecentFileMenu();
}

void CMainFrame::RunImageCommand(int id)
{
    CChildFrame* child = ActiveDocument();
    if (!child)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    child->Document().RunImageCommand(id);
    QApplication::restoreOverrideCursor();
}

void CMainFrame::RunDialogImageCommand(int id)
{
    if (CChildFrame* child = ActiveDocument())
        DialogCommands::Run(child->Document(), id, this);
}

void CMainFrame::OnCommand(int id)
{
    if (CommandTable::IsCaptureCommand(id)) {
        if (services_.capture)
            services_.capture->RequestCapture(id);
        return;
    }
    if (CommandTable::IsDirectImageCommand(id)) {
        RunImageCommand(id);
        bars_->UpdateCommandStates();
        return;
    }
    if (DialogCommands::IsDialogCommand(id)) {
        RunDialogImageCommand(id);
        bars_->UpdateCommandStates();
        return;
    }
    CChildFrame* child = ActiveDocument();
    CKestrelView* view = child ? &child->View() : nullptr;
    if (const int tool = CommandTable::ToolNumber(id); tool >= 0) {
        if (view)
            view->SelectTool(tool);
        bars_->UpdateCommandStates();
        return;
    }
    switch (id) {
    case FileNew:
        NewDocument();
        tabs_->ShowActiveInParamBar();
        break;
    case FileOpen:
        tabs_->OpenFileDialog();
        tabs_->ShowActiveInParamBar();
        break;
    case FileClose:
        if (CChildFrame* child = ActiveDocument())
            tabs_->CloseDocument(*child);
        break;
    case FileSave:
        tabs_->SaveActive(false);
        break;
    case FileSaveAs:
        tabs_->SaveActive(true);
        break;
    case FilePrintSetup:
        printer_->PageSetup();
        break;
    case FilePrint:
        printer_->Print(view);
        break;
    case FilePrintPreview:
        printer_->Preview(view);
        break;
    case FilePrintDirect:
        printer_->PrintDirect(view);
        break;
    case NextPane:
        MdiArea()->activateNextSubWindow();
        break;
    case PrevPane:
        MdiArea()->activatePreviousSubWindow();
        break;
    // Reached by keys and calls too, so the ends of the zoom table and empty
    // histories are checked here.
    case ZoomIn:
        if (view && view->CanZoomIn())
            view->OnZoomIn();
        break;
    case ZoomOut:
        if (view && view->CanZoomOut())
            view->OnZoomOut();
        break;
    case ZoomActual:
        if (view && view->CanActualSize())
            view->OnActualSize();
        break;
    case EditUndo:
        if (child && child->Document().CanUndo())
            child->Document().Undo();
        break;
    case EditRedo:
        if (child && child->Document().CanRedo())
            child->Document().Redo();
        break;
    case EditCopyText:
        if (view)
            FrameTextCopy::RunOnView(*view, (services_.record ? *services_.record : ownRecord_).OcrLanguage);
        break;
    case EditCopy:
    case EditCut:
    case EditPaste:
        if (view) {
            if (!clipboard_)
                clipboard_ = std::make_unique<FrameClipboard>(services_.askExpand);
            clipboard_->Run(id, *view);
        }
        break;
    case EditPinToScreen:
        if (child && services_.pinDocument)
            services_.pinDocument(child->Document());
        break;
    case DeleteObject:
        if (view)
            view->Commands().DeleteSelected();
        break;
    case AppExit:
        close();
        break;
    case AppAbout:
        ShowAbout();
        break;
    case ViewToolbar:
        bars_->ToggleToolbar();
        break;
    case ViewStatusBar:
        statusBar()->setVisible(statusBar()->isHidden());
        break;
    case TrayMode:
        desktop_->ToggleTrayMode();
        break;
    case EnableHotkey:
        desktop_->ToggleHotkeys();
        break;
    case AutoStartup:
        desktop_->ToggleAutostart();
        break;
    case CaptureSetting:
        settingsCommands_->RunCaptureSetting();
        break;
    case DefineHotkey:
        settingsCommands_->RunDefineHotkey();
        break;
    case WindowNew:
        tabs_->NewWindow();
        break;
    case WindowCascade:
        MdiArea()->cascadeSubWindows();
        break;
    case WindowTile:
    case WindowArrange:
        MdiArea()->tileSubWindows();
        break;
    case Help:
        ShowHelp();
        break;
    case VisitHomepage:
        QDesktopServices::openUrl(HomePage());
        break;
    case CommandId::ShowHideMainWindow:
        ShowOrHide();
        break;
    default:
        break;
    }
    bars_->UpdateCommandStates();
}

void CMainFrame::HighlightWindow(uint64_t window)
{
    if (services_.capture)
        services_.capture->HighlightWindow(window);
}

void CMainFrame::CaptureWindow(bool capture, uint64_t window)
{
    if (services_.capture)
        services_.capture->CaptureWindow(capture, window);
}

void CMainFrame::ShowAbout()
{
    CAboutDlg dialog(HomePage(), SupportPage(), this);
    dialog.exec();
}

void CMainFrame::ShowHelp()
{
    // A missing page is left to the viewer to report.
    QDesktopServices::openUrl(HomePage());
}

void CMainFrame::ToggleFromTray()
{
    if (isVisible()) {
        showMinimized();
        hide();
    } else {
        showNormal();
        raise();
        activateWindow();
    }
}

void CMainFrame::ShowOrHide()
{
    if (!isVisible()) {
        showNormal();
    } else {
        showMinimized();
        hide();
    }
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (closed_) {
        event->accept();
        return;
    }
    std::vector<ClosableDocument*> documents;
    for (CChildFrame* child : Documents())
        documents.push_back(child);
    CloseSequence sequence(*prompts_);
    if (!sequence.Run(documents)) {
        event->ignore();
        return;
    }
    desktop_->Shutdown();
    if (services_.settings)
        services_.settings->SaveOnClose(settings_);
    SaveLayout();
    MdiArea()->closeAllSubWindows();
    closed_ = true;
    event->accept();
    emit Closed();
}

void CMainFrame::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // In tray mode a minimised window leaves the task bar and lives on in the
    // tray.
    if (event->type() == QEvent::WindowStateChange && isMinimized() && HidesIntoTray(*this, settings_.trayMode))
        QTimer::singleShot(0, this, [this] {
            if (isMinimized())
                hide();
        });
}

void CMainFrame::keyPressEvent(QKeyEvent* event)
{
    // Keys nobody inside the frame took end here and go no further; Esc also
    // stops a scrolling capture.
    if (event->key() == Qt::Key_Escape)
        stopScrolling_ = 1;
    event->accept();
}

void CMainFrame::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    tabs_->UpdateTitle();
}
