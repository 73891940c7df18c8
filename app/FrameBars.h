#pragma once

#include <QHash>
#include <QList>

#include <vector>

class CChildFrame;
class CParamBar;
class QAction;
class QLabel;
class QMainWindow;
class QMenu;
class QString;
class QToolBar;
class RecentFileList;
struct ShellSettings;

// The frame's menus, toolbars, parameter bar and status panes, and the actions
// behind them: built once from the command table, enabled and checked from the
// frame's state after every command. Every widget and action belongs to the
// window, and every connection has the window as its context.
class FrameBars {
public:
    // Where the actions' commands go, and the documents whose state they show.
    class Host {
    public:
        virtual void OnCommand(int id) = 0;
        virtual void OpenDocumentFile(const QString& path) = 0;
        virtual std::vector<CChildFrame*> Documents() const = 0;
        virtual CChildFrame* ActiveDocument() const = 0;

    protected:
        ~Host() = default;
    };

    FrameBars(QMainWindow& window, Host& host, const RecentFileList& recentFiles, const ShellSettings& settings);

    QAction* Action(int id) const { return actions_.value(id); }
    QMenu* TabMenu() const { return tabMenu_; }
    CParamBar* ParamBar() const { return paramBar_; }
    QLabel* StatusPane(int paneId) const { return statusPanes_.value(paneId); }
    void ToggleToolbar();

    // The File menu's entries for the frame's recent files.
    void RebuildRecentFileMenu();
    void UpdateCommandStates();
    // The active view's size and zoom texts; the opening ones without a document.
    void UpdateStatusPanes();
    void ShowScrollingSteps(int steps);

private:
    void CreateActions();
    QAction* MakeAction(int id, const QString& text);
    void BuildMenus();
    void BuildToolbars();
    void BuildStatusBar();
    void BuildParamBar();
    void UpdateViewCommandStates(CChildFrame& child);

    QMainWindow& window_;
    Host& host_;
    const RecentFileList& recentFiles_;
    const ShellSettings& settings_;
    QHash<int, QAction*> actions_;
    QMenu* fileMenu_ = nullptr;
    QMenu* tabMenu_ = nullptr;
    QAction* cropSeparator_ = nullptr;
    QAction* recentAnchor_ = nullptr;
    QList<QAction*> recentActions_;
    QToolBar* mainToolbar_ = nullptr;
    QToolBar* toolsToolbar_ = nullptr;
    CParamBar* paramBar_ = nullptr;
    QHash<int, QLabel*> statusPanes_;
};
