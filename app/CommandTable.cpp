#include "app/CommandTable.h"

#include <utility>

#include "app/CommandIds.h"
#include "editor/document/ImageCommands.h"

using namespace CommandId;

const std::vector<PopupSpec>& CommandTable::DocumentMenu()
{
    static const std::vector<PopupSpec> menu = {
        { "&File",
            { { FileNew, "&New\tCtrl+N" }, { FileOpen, "&Open...\tCtrl+O" }, { FileClose, "&Close" },
                { FileSave, "&Save\tCtrl+S" }, { FileSaveAs, "Save &As..." }, { 0, nullptr },
                { FilePrint, "&Print...\tCtrl+P" }, { FilePrintPreview, "Print Pre&view" },
                { FilePrintSetup, "P&rint Setup..." }, { 0, nullptr }, { FileMruFirst, "Recent File" }, { 0, nullptr },
                { AppExit, "E&xit" } } },
        { "&Edit",
            { { EditUndo, "&Undo\tCtrl+Z" }, { EditRedo, "&Redo\t" }, { 0, nullptr }, { EditCut, "Cu&t\tCtrl+X" },
                { EditCopy, "&Copy\tCtrl+C" }, { EditPaste, "&Paste\tCtrl+V" }, { 0, nullptr },
                { EditPinToScreen, "Pin to Screen" }, { EditCopyText, "Copy Te&xt" } } },
        { "&View",
            { { ViewToolbar, "&Main Toolbar" }, { ViewStatusBar, "&Status Bar" }, { 0, nullptr }, { ZoomIn, "Zoom In" },
                { ZoomActual, "Acture" }, { ZoomOut, "Zoom Out" } } },
        { "&Capture",
            { { CaptureFullScreen, "&Full Screen" }, { CaptureRegion, "&Rectangle Region" },
                { CaptureWindowObject, "&Window / Object" }, { CaptureActiveWindow, "&Active Window" },
                { CaptureScrollingWindow, "&Scrolling Window" }, { CaptureFixedRect, "Fixed Rectangle" } } },
        { "&Image",
            { { 20004, "&Rotate 90" }, { 20007, "Rotate 270" }, { 20002, "Rotate..." }, { 20009, "Resize..." },
                { 0, nullptr }, { 20010, "Brightness/Contrast" }, { 20012, "Hue/Saturation" }, { 20016, "&RGB Value" },
                { 20017, "&Color Level" }, { 20051, "Auto Color Level" }, { 0, nullptr },
                { 20005, "Filp Horizontally" }, { 20006, "Filp Vertically" }, { 0, nullptr }, { 20019, "&GrayImage" },
                { 20020, "&Invert" }, { 20014, "Color Tone" } } },
        { "F&ilter",
            { { 20033, "Noisy" }, { 20034, "Blot" }, { 20035, "Emboss" }, { 20036, "OilPaint" }, { 20037, "Splash" },
                { 20038, "Posterize" }, { 20040, "Mosaic" }, { 20041, "Halftone" }, { 20042, "Blur" },
                { 20050, "3D Grid" } } },
        { "&Setting",
            { { CaptureSetting, "&Capture Setting" }, { DefineHotkey, "Define hotkey" },
                { EnableHotkey, "Enable hotkey" }, { TrayMode, "Run as &tray mode" },
                { AutoStartup, "AutoRun when startup" } } },
        { "&Window",
            { { WindowNew, "&New Window" }, { WindowCascade, "&Cascade" }, { WindowTile, "&Tile" },
                { WindowArrange, "&Arrange Icons" } } },
        { "&Help",
            { { VisitHomepage, "Visit &Homepage" }, { Help, "Help" }, { 0, nullptr }, { AppAbout, "&About..." } } },
    };
    return menu;
}

std::vector<PopupSpec> CommandTable::FrameMenu()
{
    std::vector<PopupSpec> menu = DocumentMenu();
    for (PopupSpec& popup : menu) {
        if (QString(popup.title) == "&Image")
            popup.items.insert(popup.items.begin(), { { CropSelection, "Crop Selection" }, { 0, nullptr } });
    }
    return menu;
}

const std::vector<MenuEntry>& CommandTable::TrayMenu()
{
    static const std::vector<MenuEntry> menu = {
        { ShowHideMainWindow, "Show/Hide Main window" },
        { CaptureFullScreen, "Capture Full screen" },
        { CaptureWindowObject, "Capture Windows" },
        { CaptureRegion, "Capture Region" },
        { CaptureActiveWindow, "Capture Active window" },
        { 0, nullptr },
        { AppExit, "Exit Lumora" },
    };
    return menu;
}

const std::vector<MenuEntry>& CommandTable::TabMenu()
{
    static const std::vector<MenuEntry> menu = {
        { FileSave, "Save" },
        { FileSaveAs, "Save As" },
        { FileClose, "Close" },
    };
    return menu;
}

const std::vector<ToolbarEntry>& CommandTable::MainToolbar()
{
    static const std::vector<ToolbarEntry> bar = {
        { FileNew, "New", "document-new", "new" },
        { FileOpen, "Open", "document-open", "open" },
        { FileSave, "Save", "document-save", "save" },
        { 0, nullptr, nullptr, nullptr },
        { CaptureFullScreen, "Full Screen", "view-fullscreen", "fullscreen" },
        { CaptureRegion, "Rectangle Region", "select-rectangular", "region" },
        { CaptureWindowObject, "Window / Object", "window-new", "window" },
        { CaptureScrollingWindow, "Scrolling Window", "go-down", "scroll" },
        { 0, nullptr, nullptr, nullptr },
        { EditUndo, "Undo", "edit-undo", "undo" },
        { EditRedo, "Redo", "edit-redo", "redo" },
        { 0, nullptr, nullptr, nullptr },
        { ZoomIn, "Zoom In", "zoom-in", "zoomin" },
        { ZoomOut, "Zoom Out", "zoom-out", "zoomout" },
        { ZoomActual, "Actual", "zoom-original", "actual" },
    };
    return bar;
}

const std::vector<ToolbarEntry>& CommandTable::ToolsToolbar()
{
    static const std::vector<ToolbarEntry> bar = {
        { ToolMove, "Move", "transform-move", "move" },
        { ToolSelect, "Select", "edit-select", "select" },
        { ToolCrop, "Crop", "transform-crop", "crop" },
        { ToolZoom, "Zoom", "zoom-select", "zoom" },
        { 0, nullptr, nullptr, nullptr },
        { ToolText, "Text", "draw-text", "text" },
        { ToolLine, "Line", "draw-line", "line" },
        { ToolRectangle, "Rectangle", "draw-rectangle", "rect" },
        { ToolHighlight, "Highlight", "draw-highlight", "highlight" },
        { ToolArrow, "Arrow", "draw-arrow", "arrow" },
        { ToolStamp, "Stamp", "draw-stamp", "stamp" },
        { ToolRedact, "Redact", "", "redact" },
        { ToolStep, "Step", "", "step" },
        { ToolPen, "Pen", "draw-freehand", "pen" },
        { 0, nullptr, nullptr, nullptr },
        { DeleteObject, "Delete object", "edit-delete", "delete" },
    };
    return bar;
}

int CommandTable::ToolNumber(int id)
{
    static const std::pair<int, int> tools[] = { { ToolSelect, 0 }, { ToolMove, 1 }, { ToolCrop, 2 }, { ToolText, 3 },
        { ToolZoom, 4 }, { ToolLine, 5 }, { ToolArrow, 6 }, { ToolRectangle, 7 }, { ToolHighlight, 8 },
        { ToolStamp, 9 }, { ToolRedact, 10 }, { ToolStep, 11 }, { ToolPen, 12 } };
    for (const auto& [command, number] : tools) {
        if (command == id)
            return number;
    }
    return -1;
}

bool CommandTable::IsCaptureCommand(int id)
{
    return id == CaptureFullScreen || id == CaptureRegion || id == CaptureWindowObject || id == CaptureActiveWindow
        || id == CaptureScrollingWindow || id == CaptureFixedRect;
}

bool CommandTable::IsDirectImageCommand(int id)
{
    const ImageCommand* command = FindImageCommand(id);
    return command && command->kind == ImageCommandKind::Direct;
}

QList<QKeySequence> CommandTable::Accelerators(int id)
{
    switch (id) {
    case EditCopy:
        return { QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert) };
    case EditCut:
        return { QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete) };
    case EditPaste:
        return { QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert) };
    case EditUndo:
        return { QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace) };
    case EditRedo:
        return { QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z) };
    case ZoomIn:
        // Ctrl+= is the same key without Shift on most layouts.
        return { QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal) };
    case ZoomOut:
        return { QKeySequence(Qt::CTRL | Qt::Key_Minus) };
    case ZoomActual:
        return { QKeySequence(Qt::CTRL | Qt::Key_0) };
    case FileNew:
        return { QKeySequence(Qt::CTRL | Qt::Key_N) };
    case FileOpen:
        return { QKeySequence(Qt::CTRL | Qt::Key_O) };
    case FilePrint:
        return { QKeySequence(Qt::CTRL | Qt::Key_P) };
    case FileSave:
        return { QKeySequence(Qt::CTRL | Qt::Key_S) };
    case Help:
        return { QKeySequence(Qt::Key_F1) };
    case NextPane:
        return { QKeySequence(Qt::Key_F6) };
    case PrevPane:
        return { QKeySequence(Qt::SHIFT | Qt::Key_F6) };
    default:
        return {};
    }
}

std::vector<int> CommandTable::AcceleratorOnlyCommands()
{
    return { NextPane, PrevPane };
}

QString CommandTable::Label(const char* text)
{
    const QString full = QString::fromUtf8(text);
    const qsizetype tab = full.indexOf('\t');
    return tab < 0 ? full : full.left(tab);
}
