#pragma once

#include "app/CaptureRequestSink.h"
#include "app/DesktopIntegration.h"
#include "app/FrameBars.h"
#include "app/FrameTabs.h"
#include "app/RecentFileList.h"
#include "app/ShellSettings.h"
#include "editor/document/ImageClipboard.h"
#include "settings/CaptureSettings.h"

#include <QMainWindow>
#include <QUrl>

#include <functional>
#include <memory>
#include <vector>

class CChildFrame;
class CKestrelDoc;
class CKestrelView;
class CParamBar;
class CloseSequencePrompts;
class FrameClipboard;
class FramePrinter;
class FrameSettingsCommands;
class GlobalHotKeys;
class QLabel;
class QMdiArea;
class QSettings;
class QTabBar;
class TrayIcon;

// What the frame works with that lives elsewhere; every member may be left
// empty.
struct FrameServices {
    ShellSettingsStore* settings = nullptr; // none: defaults, nothing saved
    CaptureRequestSink* capture = nullptr; // none: capture commands do nothing
    CloseSequencePrompts* prompts = nullptr; // none: the program's own dialogs
    QString autostartPath; // empty: the desktop's autostart folder
    QString executablePath; // empty: this process's executable
    QString helpFolder; // empty: "help" beside the executable
    ImageClipboard::AskExpand askExpand; // empty: a message box asks before a paste expands the picture
    CaptureSettings* record = nullptr; // none: a record of the frame's own
    std::string configPath; // empty: the settings dialogs write no file
    std::function<void(const CKestrelDoc&)> pinDocument; // empty: Edit > Pin to Screen does nothing
};

// The top-level window and its command dispatch. The bars (FrameBars), the
// tabbed documents (FrameTabs), printing (FramePrinter) and what lives on the
// desktop outside the window (DesktopIntegration) are its parts; the frame owns
// them and the closing sequence.
class CMainFrame : public QMainWindow, public CaptureRequestSink, public FrameBars::Host {
    Q_OBJECT
public:
    explicit CMainFrame(FrameServices services = {}, QWidget* parent = nullptr);
    ~CMainFrame() override;

    void OnCommand(int id) override;
    // Where capture requests go once the capture routines exist (they need the
    // frame to hide it).
    void SetCaptureSink(CaptureRequestSink* sink) { services_.capture = sink; }

    // Requests from other programs and hot keys enter here, as the menu commands
    // do.
    void RequestCapture(int commandId) override { OnCommand(commandId); }
    void HighlightWindow(uint64_t window) override;
    void CaptureWindow(bool capture, uint64_t window) override;
    QAction* Action(int id) const { return bars_->Action(id); }
    QMdiArea* MdiArea() const { return tabs_->Area(); }
    QMenu* TabMenu() const { return bars_->TabMenu(); }
    CParamBar* ParamBar() const { return bars_->ParamBar(); }
    QTabBar* TabBar() const { return tabs_->TabBar(); }
    QLabel* StatusPane(int paneId) const { return bars_->StatusPane(paneId); }
    TrayIcon* Tray() const { return desktop_->Tray(); }
    GlobalHotKeys* HotKeys() const { return desktop_->HotKeys(); }
    const ShellSettings& Settings() const { return settings_; }
    RecentFileList& RecentFiles() { return recentFiles_; }
    void AddRecentFile(const QString& path);
    QUrl HomePage() const;
    QUrl SupportPage() const;

    std::vector<CChildFrame*> Documents() const override { return tabs_->Documents(); }
    CChildFrame* ActiveDocument() const override { return tabs_->ActiveDocument(); }
    CKestrelView* ActiveView() const { return tabs_->ActiveView(); }
    CChildFrame* AddDocument(CChildFrame* child) { return tabs_->AddDocument(child); }
    // File New: a document with the 640 x 480 white picture, modified.
    CChildFrame* NewDocument() { return tabs_->NewDocument(); }
    // A capture's new document: no picture yet, the capture is copied in.
    CChildFrame* NewCaptureDocument() { return tabs_->NewCaptureDocument(); }
    void OpenDocumentFile(const QString& path) override { tabs_->OpenDocumentFile(path); }

    // Left click on the tray icon, and the tray menu's "Show/Hide Main window".
    void ToggleFromTray();
    void ShowOrHide();

    // Set by Esc reaching the frame; a running scrolling capture polls it.
    int StopScrolling() const { return stopScrolling_; }
    void SetStopScrolling(int value) { stopScrolling_ = value; }
    // The steps a running scrolling capture has taken, in the status bar.
    void ShowScrollingSteps(int steps) { bars_->ShowScrollingSteps(steps); }

signals:
    // The close was accepted; the program ends.
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void RestoreLayout();
    void SaveLayout();
    std::unique_ptr<QSettings> UserSettings() const;

    void ShowAbout();
    void ShowHelp();
    void RunImageCommand(int id);
    void RunDialogImageCommand(int id);

    FrameServices services_;
    std::unique_ptr<CloseSequencePrompts> ownPrompts_;
    CaptureSettings ownRecord_;
    std::unique_ptr<FrameSettingsCommands> settingsCommands_;
    CloseSequencePrompts* prompts_;
    ShellSettings settings_;
    RecentFileList recentFiles_;
    std::unique_ptr<FrameClipboard> clipboard_;
    std::unique_ptr<FrameBars> bars_;
    std::unique_ptr<FrameTabs> tabs_;
    std::unique_ptr<FramePrinter> printer_;
    DesktopIntegration* desktop_ = nullptr;
    int stopScrolling_ = 0;
    bool closed_ = false;
};
