#pragma once

#include <Qt>

class CKestrelView;
struct PropertyChange;
class QMenu;
class QRect;
class StepObject;

// The view's commands on the selected object and the crop rectangle: the context menu's entries, the
// Delete, Enter and Escape keys, and the toolbar's Delete object. Every change of the document is
// undoable.
class ViewObjectCommands {
public:
    // The context menu's command ids.
    static constexpr int kEditText = 32939;
    static constexpr int kFlatten = 32940;
    static constexpr int kBringToFront = 32934;
    static constexpr int kSendToBack = 32935;
    static constexpr int kDelete = 32938;

    explicit ViewObjectCommands(CKestrelView& view)
        : view_(view)
    {
    }

    // False when id is none of the commands above or nothing is selected.
    bool Run(int id);
    // Opens the text dialog on a selected text object, or the number dialog on a step marker; true when
    // it was accepted (for a marker: with a new number).
    bool EditText();
    void Flatten();
    void BringToFront();
    void SendToBack();
    void DeleteSelected();
    // Enter with the Crop tool: the image cut down to the selection rectangle.
    void Crop();
    // Escape: the rubber band goes, in any tool.
    void ClearBand();
    // Enter crops with the Crop tool, Escape clears the band, Delete deletes the selected object.
    void HandleKey(int key, Qt::KeyboardModifiers modifiers);
    // The property that changed in the bar, copied into the selected object when the bar shows that
    // object's kind: one undo step, however many values one slider drag passes through.
    void ApplyBar(const PropertyChange& change);
    // Menu 234's first submenu, with its actions' data the command ids; the caller owns it.
    QMenu* MakeContextMenu();

private:
    bool Renumber(StepObject& step);
    // Redraws and repaints area (image pixels) after a change of objects confined to it.
    void Refresh(const QRect& area);

    CKestrelView& view_;
    // The slider drag that has recorded its step already.
    int recordedGesture_ = 0;
};
