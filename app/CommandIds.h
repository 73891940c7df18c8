#pragma once

// Command identifiers of menus, toolbars, tray and accelerators. The numbers are part of the program's
// interface (other programs and saved layouts refer to them), so they never change.
namespace CommandId {
// File
constexpr int FileNew = 57600;
constexpr int FileOpen = 57601;
constexpr int FileClose = 57602;
constexpr int FileSave = 57603;
constexpr int FileSaveAs = 57604;
constexpr int FilePrintSetup = 57606;
constexpr int FilePrint = 57607;
constexpr int FilePrintDirect = 57608;
constexpr int FilePrintPreview = 57609;
constexpr int FileMruFirst = 57616;
constexpr int FileMruLast = 57619;
constexpr int AppExit = 57665;
constexpr int AppAbout = 57664;
// Edit
constexpr int EditCopy = 57634;
constexpr int EditCut = 57635;
constexpr int EditPaste = 57637;
constexpr int EditUndo = 57643;
constexpr int EditRedo = 57644;
constexpr int EditPinToScreen = 32960;
// View
constexpr int ViewToolbar = 59392;
constexpr int ViewStatusBar = 59393;
constexpr int ZoomIn = 32830;
constexpr int ZoomOut = 32831;
constexpr int ZoomActual = 32832;
// Capture
constexpr int CaptureFullScreen = 32835;
constexpr int CaptureRegion = 32792;
constexpr int CaptureWindowObject = 32793;
constexpr int CaptureActiveWindow = 32794;
constexpr int CaptureScrollingWindow = 32921;
constexpr int CaptureFixedRect = 32929;
// Image and Filter: the document's effect range
constexpr int CropSelection = 10001;
constexpr int EffectFirst = 20000;
constexpr int EffectLast = 20100;
// Setting
constexpr int CaptureSetting = 32795;
constexpr int DefineHotkey = 32899;
constexpr int EnableHotkey = 32900;
constexpr int TrayMode = 32884;
constexpr int AutoStartup = 32955;
// Window
constexpr int WindowNew = 57648;
constexpr int WindowArrange = 57649;
constexpr int WindowCascade = 57650;
constexpr int WindowTile = 57651;
constexpr int NextPane = 57680;
constexpr int PrevPane = 57681;
// Help
constexpr int Help = 32877;
constexpr int VisitHomepage = 32878;
// Tray
constexpr int ShowHideMainWindow = 32891;
// Editing tools and the delete-object action of the tools toolbar
constexpr int ToolSelect = 32809;
constexpr int ToolMove = 32836;
constexpr int ToolCrop = 32838;
constexpr int ToolText = 32812;
constexpr int ToolZoom = 32859;
constexpr int ToolLine = 32923;
constexpr int ToolArrow = 32945;
constexpr int ToolRectangle = 32943;
constexpr int ToolHighlight = 32946;
constexpr int ToolStamp = 32944;
// Ours, clear of the ranges above.
constexpr int ToolRedact = 33600;
constexpr int ToolStep = 33601;
constexpr int ToolPen = 33602;
constexpr int EditCopyText = 33620;
constexpr int DeleteObject = 32924;
} // namespace CommandId

// Status bar panes.
namespace StatusPaneId {
constexpr int ImageSize = 13000;
constexpr int Zoom = 13001;
constexpr int Stretch = 13002;
} // namespace StatusPaneId

// Resource numbers of the menus and bars, kept as object names so layouts and tests can find them.
namespace ResourceId {
constexpr int FrameMenu = 128;
constexpr int DocumentMenu = 129;
constexpr int MainToolbar = 157;
constexpr int ToolsToolbar = 165;
constexpr int TrayMenu = 176;
constexpr int TabMenu = 190;
constexpr int ParamBar = 226;
} // namespace ResourceId
