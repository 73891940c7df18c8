#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

#include <vector>

// The program's whole command set as data: the menus, the tray and tab menus,
// both toolbars and the accelerators. The frame builds its widgets from these
// tables, so the tables are what tests check.
struct MenuEntry {
    int id; // 0 is a separator
    const char* text; // as shown, "&New\tCtrl+N" style: the part after the tab
                      // names the accelerator
};

struct PopupSpec {
    const char* title;
    std::vector<MenuEntry> items;
};

struct ToolbarEntry {
    int id; // 0 is a separator
    const char* tip;
    const char* themeIcon; // freedesktop icon name tried first
    const char* pictogram; // our own drawn picture otherwise (Pictograms)
};

class CommandTable {
public:
    // Menu 129, shown while documents are open.
    static const std::vector<PopupSpec>& DocumentMenu();
    // Menu 128, shown with no document: menu 129 with "Crop Selection" first in
    // the Image menu.
    static std::vector<PopupSpec> FrameMenu();
    static const std::vector<MenuEntry>& TrayMenu();
    static const std::vector<MenuEntry>& TabMenu();
    static const std::vector<ToolbarEntry>& MainToolbar();
    static const std::vector<ToolbarEntry>& ToolsToolbar();
    // The view's tool number for a tool command; -1 for any other id.
    static int ToolNumber(int id);
    // The six capture commands, which leave for the capture routines.
    static bool IsCaptureCommand(int id);
    // The Image menu's commands that run on the document without a dialog.
    static bool IsDirectImageCommand(int id);

    // Every key combination bound to a command; empty for commands without one.
    static QList<QKeySequence> Accelerators(int id);
    // Commands that only have accelerators (no menu item).
    static std::vector<int> AcceleratorOnlyCommands();

    // The visible label of a menu text: the part before the tab.
    static QString Label(const char* text);
};
