#pragma once

#include "app/CaptureRequestSink.h"
#include "app/DesktopIntegration.h"
#include "app/RecentFileList.h"
#include "app/ShellSettings.h"
#include "editor/document/ImageClipboard.h"
#include "settings/CaptureSettings.h"

#include <QHash>
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
class FrameSettingsCommands;
class GlobalHotKeys;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QPrinter;
class QSettings;
class QTabBar;
class QToolBar;
class TrayIcon;

// What the frame works with that lives elsewhere; every member may be left empty.
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
};

// The top-level window: tabbed documents, menus, bars, status panes, tray icon, global hot keys,
// the autostart entry and the closing sequence.
class CMainFrame : public QMainWindow, public CaptureRequestSink {
    Q_OBJECT
public:
    explicit CMainFrame(FrameServices services = {}, QWidget* parent = nullptr);
    ~CMainFrame() override;

    void OnCommand(int id);
    // Where capture requests go once the capture routines exist (they need the frame to hide it).
    void SetCaptureSink(CaptureRequestSink* sink) { services_.capture = sink; }

    // Requests from other programs and hot keys enter here, as the menu commands do.
    void RequestCapture(int commandId) override { OnCommand(commandId); }
    void HighlightWindow(uint64_t window) override;
    void CaptureWindow(bool capture, uint64_t window) override;
    QAction* Action(int id) const { return actions_.value(id); }
    QMdiArea* MdiArea() const { return mdiArea_; }
    QMenu* TabMenu() const { return tabMenu_; }
    CParamBar* ParamBar() const { return paramBar_; }
    QTabBar* TabBar() const;
    QLabel* StatusPane(int paneId) const;
    TrayIcon* Tray() const { return desktop_->Tray(); }
    GlobalHotKeys* HotKeys() const { return desktop_->HotKeys(); }
    const ShellSettings& Settings() const { return settings_; }
    RecentFileList& RecentFiles() { return recentFiles_; }
    void AddRecentFile(const QString& path);
    QUrl HomePage() const;
    QUrl SupportPage() const;

    std::vector<CChildFrame*> Documents() const;
    CChildFrame* ActiveDocument() const;
    CKestrelView* ActiveView() const;
    CChildFrame* AddDocument(CChildFrame* child);
    // File New: a document with the 640 x 480 white picture, modified.
    CChildFrame* NewDocument();
    // A capture's new document: no picture yet, the capture is copied in.
    CChildFrame* NewCaptureDocument();
    void OpenDocumentFile(const QString& path);

    // Left click on the tray icon, and the tray menu's "Show/Hide Main window".
    void ToggleFromTray();
    void ShowOrHide();

    // Set by Esc reaching the frame; a running scrolling capture polls it.
    int StopScrolling() const { return stopScrolling_; }
    void SetStopScrolling(int value) { stopScrolling_ = value; }
    // The steps a running scrolling capture has taken, in the status bar.
    void ShowScrollingSteps(int steps);

signals:
    // The close was accepted; the program ends.
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<CKestrelDoc> MakeDocument();
    void CreateActions();
    QAction* MakeAction(int id, const QString& text);
    void BuildMenus();
    void BuildToolbars();
    void BuildStatusBar();
    void BuildParamBar();
    void SetUpTabs();
    void RestoreLayout();
    void SaveLayout();
    std::unique_ptr<QSettings> UserSettings() const;

    void UpdateCommandStates();
    void RebuildRecentFileMenu();
    void UpdateTitle();
    void ShowTabMenu(const QPoint& pos);
    void SaveActive(bool askPath);
    bool MayCloseDocument(CChildFrame& child);
    void OpenFileDialog();
    void ShowAbout();
    void ShowHelp();
    void PrintSetup();
    QPrinter& Printer();
    void Print();
    void PrintPreview();
    void RunImageCommand(int id);
    void RunDialogImageCommand(int id);
    void UpdateStatusPanes();
    void UpdateViewCommandStates(CChildFrame& child);

    FrameServices services_;
    std::unique_ptr<CloseSequencePrompts> ownPrompts_;
    CaptureSettings ownRecord_;
    std::unique_ptr<FrameSettingsCommands> settingsCommands_;
    CloseSequencePrompts* prompts_;
    ShellSettings settings_;
    RecentFileList recentFiles_;
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<FrameClipboard> clipboard_;
    QHash<int, QAction*> actions_;
    QMdiArea* mdiArea_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* tabMenu_ = nullptr;
    QAction* cropSeparator_ = nullptr;
    QAction* recentAnchor_ = nullptr;
    QList<QAction*> recentActions_;
    QToolBar* mainToolbar_ = nullptr;
    QToolBar* toolsToolbar_ = nullptr;
    CParamBar* paramBar_ = nullptr;
    QHash<int, QLabel*> statusPanes_;
    DesktopIntegration* desktop_ = nullptr;
    int stopScrolling_ = 0;
    bool closed_ = false;
};
