#include "app/FrameBars.h"

#include "app/AppIcons.h"
#include "app/CChildFrame.h"
#include "app/CommandIds.h"
#include "app/CommandTable.h"
#include "app/DialogCommands.h"
#include "app/FrameTextCopy.h"
#include "app/RecentFileList.h"
#include "app/ShellSettings.h"
#include "app/TextLanguages.h"
#include "editor/bars/CParamBar.h"
#include "editor/bars/PropertyChangeTarget.h"
#include "editor/document/CKestrelDoc.h"
#include "editor/ui/CKestrelView.h"

#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include <utility>

using namespace CommandId;

namespace {
// What the panes say without a document; these texts also set the panes' widths.
constexpr std::pair<int, const char*> kOpeningPanes[] = {
    { StatusPaneId::ImageSize, "  Size: 0 x 0          " },
    { StatusPaneId::Zoom, "Zoom: 100%    " },
    { StatusPaneId::Stretch, "  " },
};
} // namespace

FrameBars::FrameBars(QMainWindow& window, Host& host, const RecentFileList& recentFiles, const ShellSettings& settings)
    : window_(window)
    , host_(host)
    , recentFiles_(recentFiles)
    , settings_(settings)
{
    CreateActions();
    BuildMenus();
    BuildStatusBar();
    BuildToolbars();
    BuildParamBar();
}

QAction* FrameBars::MakeAction(int id, const QString& text)
{
    if (QAction* existing = actions_.value(id))
        return existing;
    auto* action = new QAction(text, &window_);
    action->setData(id);
    action->setObjectName(QString("command%1").arg(id));
    const QList<QKeySequence> keys = CommandTable::Accelerators(id);
    if (!keys.isEmpty()) {
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
    }
    QObject::connect(action, &QAction::triggered, &window_, [host = &host_, id] { host->OnCommand(id); });
    actions_.insert(id, action);
    return action;
}

void FrameBars::CreateActions()
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
        window_.addAction(MakeAction(id, QString()));
    for (int id : { ViewToolbar, ViewStatusBar, TrayMode, EnableHotkey, AutoStartup })
        actions_[id]->setCheckable(true);
    for (const ToolbarEntry& entry : CommandTable::ToolsToolbar()) {
        if (entry.id != 0 && entry.id != DeleteObject)
            actions_[entry.id]->setCheckable(true);
    }
    actions_[ZoomActual]->setToolTip("Actual");
    if (!FrameTextCopy::Available()) {
        // Off, and the menu says why.
        actions_[EditCopyText]->setText("Copy Text (" + TextLanguages::MissingReason() + ")");
        actions_[EditCopyText]->setStatusTip("Copy Text: " + TextLanguages::MissingReason());
    }
    MakeAction(CommandId::ShowHideMainWindow, "Show/Hide Main window");
}

void FrameBars::BuildMenus()
{
    for (const PopupSpec& popup : CommandTable::FrameMenu()) {
        QMenu* menu = window_.menuBar()->addMenu(popup.title);
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
    tabMenu_ = new QMenu(&window_);
    tabMenu_->setObjectName("menu190");
    for (const MenuEntry& entry : CommandTable::TabMenu()) {
        QAction* action = tabMenu_->addAction(entry.text);
        action->setData(entry.id);
        const int id = entry.id;
        QObject::connect(action, &QAction::triggered, &window_, [host = &host_, id] { host->OnCommand(id); });
    }
}

void FrameBars::BuildToolbars()
{
    mainToolbar_ = new QToolBar("Standard", &window_);
    mainToolbar_->setObjectName("toolbar157");
    mainToolbar_->setIconSize(QSize(32, 32));
    toolsToolbar_ = new QToolBar("Tools", &window_);
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
    window_.addToolBar(Qt::TopToolBarArea, mainToolbar_);
    window_.addToolBar(Qt::LeftToolBarArea, toolsToolbar_);
    QObject::connect(mainToolbar_, &QToolBar::visibilityChanged, &window_, [this] { UpdateCommandStates(); });
}

void FrameBars::BuildStatusBar()
{
    for (const auto& [id, text] : kOpeningPanes) {
        auto* label = new QLabel(text, &window_);
        label->setObjectName(QString("pane%1").arg(id));
        statusPanes_.insert(id, label);
        // The initial texts set the widths, so shorter texts later do not shift the
        // panes.
        if (id != StatusPaneId::Stretch)
            label->setMinimumWidth(label->sizeHint().width());
        // The last pane takes whatever width is left.
        window_.statusBar()->addWidget(label, id == StatusPaneId::Stretch ? 1 : 0);
    }
}

void FrameBars::BuildParamBar()
{
    paramBar_ = new CParamBar(&window_);
    // A view that takes property changes implements PropertyChangeTarget; the
    // others hear nothing.
    paramBar_->SetTargetResolver([this]() -> PropertyChangeTarget* {
        CChildFrame* child = host_.ActiveDocument();
        return child ? dynamic_cast<PropertyChangeTarget*>(&child->View()) : nullptr;
    });
    window_.addDockWidget(Qt::BottomDockWidgetArea, paramBar_);
}

void FrameBars::ToggleToolbar()
{
    mainToolbar_->setVisible(mainToolbar_->isHidden());
}

void FrameBars::RebuildRecentFileMenu()
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
        QObject::connect(
            action, &QAction::triggered, &window_, [host = &host_, path] { host->OpenDocumentFile(path); });
        fileMenu_->insertAction(recentAnchor_, action);
        recentActions_ << action;
    }
}

void FrameBars::UpdateCommandStates()
{
    const bool hasDocument = !host_.Documents().empty();
    // Commands whose handlers belong to the document or the view stay disabled
    // until one is present; "Crop Selection" has no handler at all.
    static const int alwaysEnabled[]
        = { FileNew, FileOpen, FilePrintSetup, AppExit, AppAbout, ViewToolbar, ViewStatusBar, CaptureFullScreen,
              CaptureRegion, CaptureWindowObject, CaptureActiveWindow, CaptureScrollingWindow, CaptureFixedRect,
              EnableHotkey, TrayMode, AutoStartup, Help, VisitHomepage, CommandId::ShowHideMainWindow };
    static const int withDocument[]
        = { FileClose, FileSave, FileSaveAs, WindowNew, WindowCascade, WindowTile, WindowArrange, NextPane, PrevPane };
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
    actions_[ViewStatusBar]->setChecked(!window_.statusBar()->isHidden());
    actions_[TrayMode]->setChecked(settings_.trayMode);
    actions_[EnableHotkey]->setChecked(settings_.enableHotkey);
    actions_[AutoStartup]->setChecked(settings_.autoStartup);

    if (CChildFrame* child = host_.ActiveDocument())
        UpdateViewCommandStates(*child);

    // Menu 128 (no document) differs from menu 129 only by its leading "Crop
    // Selection".
    actions_[CropSelection]->setVisible(!hasDocument);
    if (cropSeparator_)
        cropSeparator_->setVisible(!hasDocument);
}

void FrameBars::UpdateViewCommandStates(CChildFrame& child)
{
    const CKestrelView& view = child.View();
    actions_[ZoomIn]->setEnabled(view.CanZoomIn());
    actions_[ZoomOut]->setEnabled(view.CanZoomOut());
    actions_[ZoomActual]->setEnabled(view.CanActualSize());
    actions_[EditUndo]->setEnabled(child.Document().CanUndo());
    actions_[EditRedo]->setEnabled(child.Document().CanRedo());
    for (int id : { EditCopy, EditCut, EditPaste, EditPinToScreen })
        actions_[id]->setEnabled(true);
    actions_[EditCopyText]->setEnabled(FrameTextCopy::Available());
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
        if (CommandTable::IsDirectImageCommand(it.key()) || DialogCommands::IsDialogCommand(it.key()))
            it.value()->setEnabled(true);
    }
}

void FrameBars::UpdateStatusPanes()
{
    const CChildFrame* child = host_.ActiveDocument();
    if (!child) {
        for (const auto& [id, text] : kOpeningPanes)
            if (id != StatusPaneId::Stretch)
                StatusPane(id)->setText(text);
        return;
    }
    StatusPane(StatusPaneId::ImageSize)->setText(child->View().SizeText());
    StatusPane(StatusPaneId::Zoom)->setText(child->View().ZoomText());
}

void FrameBars::ShowScrollingSteps(int steps)
{
    // The capture blocks the event loop: the bar paints at once.
    window_.statusBar()->showMessage(QString("Scrolling capture: step %1").arg(steps));
    window_.statusBar()->repaint();
}
