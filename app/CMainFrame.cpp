#include "app/CMainFrame.h"

#include "app/AppIcons.h"
#include "app/CAboutDlg.h"
#include "app/CChildFrame.h"
#include "app/CaptureRequestSink.h"
#include "app/CloseSequence.h"
#include "app/CommandIds.h"
#include "app/CommandTable.h"
#include "app/DialogClosePrompts.h"
#include "app/FrameClipboard.h"
#include "app/FrameSettingsCommands.h"
#include "app/QtFileFilters.h"
#include "app/StatusProgress.h"
#include "app/TrayMinimise.h"
#include "editor/bars/CParamBar.h"
#include "editor/bars/PropertyChangeTarget.h"
#include "editor/document/CKestrelDoc.h"
#include "editor/document/ImageCommands.h"
#include "editor/ui/CKestrelView.h"
#include "editor/ui/ViewObjectCommands.h"
#include "imaging/dialogs/DialogCommands.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSettings>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>

using namespace CommandId;

namespace {
const char* const kOpenFilter = "All Support Files|*.bmp;*.jpg;*.jpeg;*.gif;*.png;*.tiff;*.tif;*.pcx|BMP (*.bmp)|*.bmp|"
                                "JPEG (*.jpg, *.jpeg)|*.jpg;*.jpeg|PNG (*.png)|*.png|GIF (*.gif)|*.gif|"
                                "TIFF (*.tif, *.tiff)|*.tif;*.tiff|PCX (*.pcx)|*.pcx||";
const char* const kLayoutKey = "GuiTabbedDemo/State";

bool IsCaptureCommand(int id)
{
    return id == CaptureFullScreen || id == CaptureRegion || id == CaptureWindowObject || id == CaptureActiveWindow
        || id == CaptureScrollingWindow || id == CaptureFixedRect;
}

bool IsDirectImageCommand(int id)
{
    const ImageCommand* command = FindImageCommand(id);
    return command && command->kind == ImageCommandKind::Direct;
}
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

    CreateActions();
    BuildMenus();
    BuildStatusBar();
    BuildToolbars();
    BuildParamBar();
    SetUpTabs();
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
    UpdateCommandStates();
}

CMainFrame::~CMainFrame()
{
    // Closing the tabs while the frame is torn down must not update actions that are already gone.
    disconnect(mdiArea_, nullptr, this, nullptr);
    for (CChildFrame* child : findChildren<CChildFrame*>())
        disconnect(child, nullptr, this, nullptr);
}

QAction* CMainFrame::MakeAction(int id, const QString& text)
{
    if (QAction* existing = actions_.value(id))
        return existing;
    auto* action = new QAction(text, this);
    action->setData(id);
    action->setObjectName(QString("command%1").arg(id));
    const QList<QKeySequence> keys = CommandTable::Accelerators(id);
    if (!keys.isEmpty()) {
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
    }
    connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    actions_.insert(id, action);
    return action;
}

void CMainFrame::CreateActions()
{
    for (const PopupSpec& popup : CommandTable::FrameMenu()) {
        for (const MenuEntry& entry : popup.items) {
            if (entry.id != 0)
                MakeAction(entry.id, CommandTable::Label(entry.text));
        }
    }
    for (const auto* bar : { &CommandTable::MainToolbar(), &CommandTable::ToolsToolbar() }) {
        for (const ToolbarEntry& entry : *bar) {
            if (entry.id == 0)
                continue;
            QAction* action = MakeAction(entry.id, entry.tip);
            action->setToolTip(entry.tip);
            action->setIcon(
                AppIcons::ThemeOr(entry.themeIcon, entry.pictogram, bar == &CommandTable::MainToolbar() ? 32 : 24));
        }
    }
    for (int id : CommandTable::AcceleratorOnlyCommands())
        addAction(MakeAction(id, QString()));
    for (int id : { ViewToolbar, ViewStatusBar, TrayMode, EnableHotkey, AutoStartup })
        actions_[id]->setCheckable(true);
    for (const ToolbarEntry& entry : CommandTable::ToolsToolbar()) {
        if (entry.id != 0 && entry.id != DeleteObject)
            actions_[entry.id]->setCheckable(true);
    }
    actions_[ZoomActual]->setToolTip("Actual");
    MakeAction(CommandId::ShowHideMainWindow, "Show/Hide Main window");
}

void CMainFrame::BuildMenus()
{
    for (const PopupSpec& popup : CommandTable::FrameMenu()) {
        QMenu* menu = menuBar()->addMenu(popup.title);
        bool afterCrop = false;
        for (const MenuEntry& entry : popup.items) {
            if (entry.id == 0) {
                QAction* separator = menu->addSeparator();
                if (afterCrop)
                    cropSeparator_ = separator;
                afterCrop = false;
                continue;
            }
            menu->addAction(actions_[entry.id]);
            afterCrop = entry.id == CropSelection;
            if (entry.id == FileMruFirst) {
                fileMenu_ = menu;
                recentAnchor_ = actions_[entry.id];
            }
        }
    }
    tabMenu_ = new QMenu(this);
    tabMenu_->setObjectName("menu190");
    for (const MenuEntry& entry : CommandTable::TabMenu()) {
        QAction* action = tabMenu_->addAction(entry.text);
        action->setData(entry.id);
        const int id = entry.id;
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    }
    recentFiles_.Load(*UserSettings());
    RebuildRecentFileMenu();
}

void CMainFrame::BuildToolbars()
{
    mainToolbar_ = new QToolBar("Standard", this);
    mainToolbar_->setObjectName("toolbar157");
    mainToolbar_->setIconSize(QSize(32, 32));
    toolsToolbar_ = new QToolBar("Tools", this);
    toolsToolbar_->setObjectName("toolbar165");
    toolsToolbar_->setIconSize(QSize(24, 24));
    toolsToolbar_->setOrientation(Qt::Vertical);
    toolsToolbar_->setAllowedAreas(Qt::LeftToolBarArea | Qt::RightToolBarArea);
    for (auto [bar, entries] : { std::pair { mainToolbar_, &CommandTable::MainToolbar() },
             std::pair { toolsToolbar_, &CommandTable::ToolsToolbar() } }) {
        for (const ToolbarEntry& entry : *entries) {
            if (entry.id == 0)
                bar->addSeparator();
            else
                bar->addAction(actions_[entry.id]);
        }
    }
    addToolBar(Qt::TopToolBarArea, mainToolbar_);
    addToolBar(Qt::LeftToolBarArea, toolsToolbar_);
    connect(mainToolbar_, &QToolBar::visibilityChanged, this, [this] { UpdateCommandStates(); });
}

void CMainFrame::BuildStatusBar()
{
    const std::pair<int, const char*> panes[] = {
        { StatusPaneId::ImageSize, "  Size: 0 x 0          " },
        { StatusPaneId::Zoom, "Zoom: 100%    " },
        { StatusPaneId::Stretch, "  " },
    };
    for (const auto& [id, text] : panes) {
        auto* label = new QLabel(text, this);
        label->setObjectName(QString("pane%1").arg(id));
        statusPanes_.insert(id, label);
        // The initial texts set the widths, so shorter texts later do not shift the panes.
        if (id != StatusPaneId::Stretch)
            label->setMinimumWidth(label->sizeHint().width());
        // The last pane takes whatever width is left.
        statusBar()->addWidget(label, id == StatusPaneId::Stretch ? 1 : 0);
    }
}

void CMainFrame::BuildParamBar()
{
    paramBar_ = new CParamBar(this);
    // A view that takes property changes implements PropertyChangeTarget; the others hear nothing.
    paramBar_->SetTargetResolver([this] { return dynamic_cast<PropertyChangeTarget*>(ActiveView()); });
    addDockWidget(Qt::BottomDockWidgetArea, paramBar_);
}

void CMainFrame::SetUpTabs()
{
    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName("mdiArea");
    mdiArea_->setViewMode(QMdiArea::TabbedView);
    mdiArea_->setDocumentMode(true);
    setCentralWidget(mdiArea_);
    if (QTabBar* tabs = TabBar()) {
        tabs->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(tabs, &QTabBar::customContextMenuRequested, this, &CMainFrame::ShowTabMenu);
    }
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, [this] {
        UpdateCommandStates();
        UpdateTitle();
        UpdateStatusPanes();
    });
}

QTabBar* CMainFrame::TabBar() const
{
    return mdiArea_->findChild<QTabBar*>();
}

void CMainFrame::ShowTabMenu(const QPoint& pos)
{
    QTabBar* tabs = TabBar();
    const int index = tabs->tabAt(pos);
    const QList<QMdiSubWindow*> windows = mdiArea_->subWindowList(QMdiArea::CreationOrder);
    if (index < 0 || index >= windows.size())
        return;
    mdiArea_->setActiveSubWindow(windows[index]);
    tabMenu_->popup(tabs->mapToGlobal(pos));
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

QLabel* CMainFrame::StatusPane(int paneId) const
{
    return statusPanes_.value(paneId);
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

std::vector<CChildFrame*> CMainFrame::Documents() const
{
    std::vector<CChildFrame*> documents;
    for (QMdiSubWindow* sub : mdiArea_->subWindowList(QMdiArea::CreationOrder)) {
        auto* child = qobject_cast<CChildFrame*>(sub->widget());
        // A closed window lingers until its deferred deletion.
        if (child && !sub->isHidden())
            documents.push_back(child);
    }
    return documents;
}

CChildFrame* CMainFrame::ActiveDocument() const
{
    QMdiSubWindow* sub = mdiArea_->activeSubWindow();
    return sub ? qobject_cast<CChildFrame*>(sub->widget()) : nullptr;
}

CKestrelView* CMainFrame::ActiveView() const
{
    CChildFrame* child = ActiveDocument();
    return child ? &child->View() : nullptr;
}

CChildFrame* CMainFrame::AddDocument(CChildFrame* child)
{
    child->SetCloseGuard([this](CChildFrame& closing) { return MayCloseDocument(closing); });
    QMdiSubWindow* sub = mdiArea_->addSubWindow(child);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    connect(child, &CChildFrame::TitleChanged, this, &CMainFrame::UpdateTitle);
    // Every tab's view reports; only the active one reaches the panes and the commands.
    CKestrelView* view = &child->View();
    view->SetParamBar(paramBar_);
    connect(view, &CKestrelView::EditStateChanged, this, [this, view] {
        if (view == ActiveView())
            UpdateCommandStates();
    });
    connect(view, &CKestrelView::SizeTextChanged, this, [this, view](const QString& text) {
        if (view == ActiveView())
            StatusPane(StatusPaneId::ImageSize)->setText(text);
    });
    connect(view, &CKestrelView::ZoomTextChanged, this, [this, view](const QString& text) {
        if (view == ActiveView())
            StatusPane(StatusPaneId::Zoom)->setText(text);
    });
    connect(view, &CKestrelView::ZoomChanged, this, [this, view] {
        if (view == ActiveView())
            UpdateCommandStates();
    });
    connect(&child->Document(), &CKestrelDoc::Updated, this, [this, child] {
        if (child == ActiveDocument())
            UpdateCommandStates();
    });
    connect(child, &QObject::destroyed, this, [this] {
        QTimer::singleShot(0, this, [this] {
            UpdateCommandStates();
            UpdateTitle();
        });
    });
    sub->showMaximized();
    mdiArea_->setActiveSubWindow(sub);
    UpdateCommandStates();
    UpdateTitle();
    UpdateStatusPanes();
    return child;
}

std::unique_ptr<CKestrelDoc> CMainFrame::MakeDocument()
{
    auto document = std::make_unique<CKestrelDoc>();
    // Long image commands show their progress in the status bar and the wait cursor.
    document->SetProgressFactory(
        [this] { return std::make_unique<StatusProgress>(StatusPane(StatusPaneId::Stretch)); });
    document->SetBusyHandler([](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });
    return document;
}

CChildFrame* CMainFrame::NewDocument()
{
    CChildFrame* child = NewCaptureDocument();
    child->Document().MakeNewImage();
    child->Document().UpdateAllViews();
    return child;
}

CChildFrame* CMainFrame::NewCaptureDocument()
{
    std::unique_ptr<CKestrelDoc> document = MakeDocument();
    document->OnNewDocument();
    return AddDocument(new CChildFrame(std::move(document)));
}

void CMainFrame::OpenDocumentFile(const QString& path)
{
    std::unique_ptr<CKestrelDoc> document = MakeDocument();
    if (document->OnOpenDocument(path.toStdString())) {
        AddDocument(new CChildFrame(std::move(document)));
        recentFiles_.Add(path);
    } else {
        recentFiles_.Remove(path);
    }
    RebuildRecentFileMenu();
}

void CMainFrame::OpenFileDialog()
{
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix("bmp");
    dialog.setNameFilters(QtFileFilters(kOpenFilter));
    dialog.selectFile("Untitled");
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        OpenDocumentFile(dialog.selectedFiles().front());
}

void CMainFrame::SaveActive(bool askPath)
{
    CChildFrame* child = ActiveDocument();
    if (!child)
        return;
    std::optional<QString> path;
    if (!askPath && !child->Document().PathName().empty())
        path = QString::fromStdString(child->Document().PathName());
    else
        path = prompts_->AskSavePath(child->Title(), "png");
    if (!path)
        return;
    if (!child->SaveTo(*path)) {
        prompts_->ReportSaveFailure(*path);
        return;
    }
    child->SetModified(false);
    recentFiles_.Add(*path);
    RebuildRecentFileMenu();
}

bool CMainFrame::MayCloseDocument(CChildFrame& child)
{
    if (!child.IsModified())
        return true;
    switch (prompts_->AskSaveImage()) {
    case SaveImageAnswer::No:
        return true;
    case SaveImageAnswer::Cancel:
        return false;
    case SaveImageAnswer::Yes:
        break;
    }
    const std::optional<QString> path = prompts_->AskSavePath(child.Title(), "png");
    if (!path)
        return false;
    // A failed save keeps the window, and the work, open.
    if (!child.SaveTo(*path)) {
        prompts_->ReportSaveFailure(*path);
        return false;
    }
    child.SetModified(false);
    return true;
}

void CMainFrame::AddRecentFile(const QString& path)
{
    recentFiles_.Add(path);
    RebuildRecentFileMenu();
}

void CMainFrame::RebuildRecentFileMenu()
{
    if (!fileMenu_)
        return;
    for (QAction* action : recentActions_) {
        fileMenu_->removeAction(action);
        action->deleteLater();
    }
    recentActions_.clear();
    const QStringList& entries = recentFiles_.Entries();
    recentAnchor_->setVisible(entries.isEmpty());
    for (int i = 0; i < entries.size(); ++i) {
        auto* action = new QAction(QString("&%1 %2").arg(i + 1).arg(entries[i]), fileMenu_);
        action->setData(FileMruFirst + i);
        const QString path = entries[i];
        connect(action, &QAction::triggered, this, [this, path] { OpenDocumentFile(path); });
        fileMenu_->insertAction(recentAnchor_, action);
        recentActions_ << action;
    }
}

void CMainFrame::UpdateTitle()
{
    CChildFrame* child = ActiveDocument();
    setWindowTitle(child ? "Lumora - " + child->Title() : QString("Lumora"));
}

void CMainFrame::UpdateCommandStates()
{
    const bool hasDocument = !Documents().empty();
    // Commands whose handlers belong to the document or the view stay disabled
    // until one is present; "Crop Selection" has no handler at all.
    static const int alwaysEnabled[]
        = { FileNew, FileOpen, FilePrintSetup, AppExit, AppAbout, ViewToolbar, ViewStatusBar, CaptureFullScreen,
              CaptureRegion, CaptureWindowObject, CaptureActiveWindow, CaptureScrollingWindow, CaptureFixedRect,
              EnableHotkey, TrayMode, AutoStartup, Help, VisitHomepage, CommandId::ShowHideMainWindow };
    static const int withDocument[]
        = { FileClose, FileSave, FileSaveAs, WindowCascade, WindowTile, WindowArrange, NextPane, PrevPane };
    for (QAction* action : actions_)
        action->setEnabled(false);
    for (int id : alwaysEnabled)
        actions_[id]->setEnabled(true);
    actions_[CaptureSetting]->setEnabled(true);
    actions_[DefineHotkey]->setEnabled(true);
    for (int id : withDocument)
        actions_[id]->setEnabled(hasDocument);
    recentAnchor_->setEnabled(false);

    actions_[ViewToolbar]->setChecked(mainToolbar_ && !mainToolbar_->isHidden());
    actions_[ViewStatusBar]->setChecked(!statusBar()->isHidden());
    actions_[TrayMode]->setChecked(settings_.trayMode);
    actions_[EnableHotkey]->setChecked(settings_.enableHotkey);
    actions_[AutoStartup]->setChecked(settings_.autoStartup);

    if (CChildFrame* child = ActiveDocument())
        UpdateViewCommandStates(*child);

    // Menu 128 (no document) differs from menu 129 only by its leading "Crop Selection".
    actions_[CropSelection]->setVisible(!hasDocument);
    if (cropSeparator_)
        cropSeparator_->setVisible(!hasDocument);
}

void CMainFrame::UpdateViewCommandStates(CChildFrame& child)
{
    const CKestrelView& view = child.View();
    actions_[ZoomIn]->setEnabled(view.CanZoomIn());
    actions_[ZoomOut]->setEnabled(view.CanZoomOut());
    actions_[ZoomActual]->setEnabled(view.CanActualSize());
    actions_[EditUndo]->setEnabled(child.Document().CanUndo());
    actions_[EditRedo]->setEnabled(child.Document().CanRedo());
    for (int id : { EditCopy, EditCut, EditPaste })
        actions_[id]->setEnabled(true);
    actions_[FilePrint]->setEnabled(true);
    for (const ToolbarEntry& entry : CommandTable::ToolsToolbar()) {
        if (const int tool = CommandTable::ToolNumber(entry.id); tool >= 0) {
            actions_[entry.id]->setEnabled(true);
            actions_[entry.id]->setChecked(view.CurrentTool() == tool);
        }
    }
    actions_[DeleteObject]->setEnabled(view.LiveSelectedObject() != nullptr);
    actions_[FilePrintPreview]->setEnabled(true);
    for (auto it = actions_.cbegin(); it != actions_.cend(); ++it) {
        if (IsDirectImageCommand(it.key()) || DialogCommands::IsDialogCommand(it.key()))
            it.value()->setEnabled(true);
    }
}

void CMainFrame::UpdateStatusPanes()
{
    if (const CKestrelView* view = ActiveView()) {
        StatusPane(StatusPaneId::ImageSize)->setText(view->SizeText());
        StatusPane(StatusPaneId::Zoom)->setText(view->ZoomText());
    }
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
    if (IsCaptureCommand(id)) {
        if (services_.capture)
            services_.capture->RequestCapture(id);
        return;
    }
    if (IsDirectImageCommand(id)) {
        RunImageCommand(id);
        UpdateCommandStates();
        return;
    }
    if (DialogCommands::IsDialogCommand(id)) {
        RunDialogImageCommand(id);
        UpdateCommandStates();
        return;
    }
    CChildFrame* child = ActiveDocument();
    CKestrelView* view = child ? &child->View() : nullptr;
    if (const int tool = CommandTable::ToolNumber(id); tool >= 0) {
        if (view)
            view->SelectTool(tool);
        UpdateCommandStates();
        return;
    }
    switch (id) {
    case FileNew:
        NewDocument();
        paramBar_->ShowKind(PanelKind::kNoParameter);
        break;
    case FileOpen:
        OpenFileDialog();
        paramBar_->ShowKind(PanelKind::kNoParameter);
        break;
    case FileClose:
        if (CChildFrame* child = ActiveDocument())
            child->CloseDocument();
        break;
    case FileSave:
        SaveActive(false);
        break;
    case FileSaveAs:
        SaveActive(true);
        break;
    case FilePrintSetup:
        PrintSetup();
        break;
    case FilePrint:
        Print();
        break;
    case FilePrintPreview:
        PrintPreview();
        break;
    case FilePrintDirect:
        // The default printer, or the one Print Setup chose, without asking.
        if (view)
            view->Print(&Printer());
        break;
    case NextPane:
        mdiArea_->activateNextSubWindow();
        break;
    case PrevPane:
        mdiArea_->activatePreviousSubWindow();
        break;
    // Reached by keys and calls too, so the ends of the zoom table and empty histories are checked here.
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
    case EditCopy:
    case EditCut:
    case EditPaste:
        if (view) {
            if (!clipboard_)
                clipboard_ = std::make_unique<FrameClipboard>(services_.askExpand);
            clipboard_->Run(id, *view);
        }
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
        mainToolbar_->setVisible(mainToolbar_->isHidden());
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
    case WindowCascade:
        mdiArea_->cascadeSubWindows();
        break;
    case WindowTile:
    case WindowArrange:
        mdiArea_->tileSubWindows();
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
    UpdateCommandStates();
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

QPrinter& CMainFrame::Printer()
{
    // Page setup, printing and the preview share one printer, so the chosen page carries over.
    if (!printer_)
        printer_ = std::make_unique<QPrinter>();
    return *printer_;
}

void CMainFrame::PrintSetup()
{
    QPageSetupDialog dialog(&Printer(), this);
    dialog.exec();
}

void CMainFrame::Print()
{
    CKestrelView* view = ActiveView();
    if (!view)
        return;
    QPrintDialog dialog(&Printer(), this);
    if (dialog.exec() == QDialog::Accepted)
        view->Print(&Printer());
}

void CMainFrame::PrintPreview()
{
    CKestrelView* view = ActiveView();
    if (!view)
        return;
    QPrintPreviewDialog dialog(&Printer(), this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, view, &CKestrelView::Print);
    dialog.exec();
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
    mdiArea_->closeAllSubWindows();
    closed_ = true;
    event->accept();
    emit Closed();
}

void CMainFrame::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // In tray mode a minimised window leaves the task bar and lives on in the tray.
    if (event->type() == QEvent::WindowStateChange && isMinimized() && HidesIntoTray(*this, settings_.trayMode))
        QTimer::singleShot(0, this, [this] {
            if (isMinimized())
                hide();
        });
}

void CMainFrame::ShowScrollingSteps(int steps)
{
    // The capture blocks the event loop: the bar paints at once.
    statusBar()->showMessage(QString("Scrolling capture: step %1").arg(steps));
    statusBar()->repaint();
}

void CMainFrame::keyPressEvent(QKeyEvent* event)
{
    // Keys nobody inside the frame took end here and go no further; Esc also stops a scrolling capture.
    if (event->key() == Qt::Key_Escape)
        stopScrolling_ = 1;
    event->accept();
}

void CMainFrame::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    UpdateTitle();
}
