#pragma once

#include <QHash>
#include <QList>

class CChildFrame;
class CMainFrame;
class CParamBar;
class QAction;
class QLabel;
class QMenu;
class QString;
class QToolBar;

// The frame's menus, toolbars, parameter bar and status panes, and the actions
// behind them: built once from the command table, enabled and checked from the
// frame's state after every command. Every widget and action belongs to the
// frame, and every connection has the frame as its context.
class FrameBars {
public:
    explicit FrameBars(CMainFrame& frame);

    QAction* Action(int id) const { return actions_.value(id); }
    QMenu* TabMenu() const { return tabMenu_; }
    CParamBar* ParamBar() const { return paramBar_; }
    QLabel* StatusPane(int paneId) const { return statusPanes_.value(paneId); }
    void ToggleToolbar();

    // The File menu's entries for the frame's recent files.
    void RebuildRecentFileMenu();
    void UpdateCommandStates();
    // The active view's size and zoom texts.
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

    CMainFrame& frame_;
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
