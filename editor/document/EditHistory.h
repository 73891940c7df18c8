#pragma once

#include <deque>
#include <memory>

class HistoryEntry;

// Undo and redo stacks of owned entries. The undo stack holds the oldest entry at the front; the redo
// stack the most recently undone one at the front.
class EditHistory {
public:
    static constexpr int kInitialLimit = 20;

    EditHistory() = default;
    virtual ~EditHistory();
    EditHistory(const EditHistory&) = delete;
    EditHistory& operator=(const EditHistory&) = delete;

    // Empties the redo stack and appends entry, dropping the oldest entry at the limit. Ignored when the
    // limit is 0 or entry is null.
    void Push(std::unique_ptr<HistoryEntry> entry);
    // Return false when there was nothing to undo or redo.
    bool Undo();
    bool Redo();
    // Negative limits are ignored; excess entries go from the far end of redo first, then the oldest undo.
    void SetLimit(int limit);

    int Limit() const { return limit_; }
    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    size_t UndoCount() const { return undo_.size(); }
    size_t RedoCount() const { return redo_.size(); }
    void Clear();

protected:
    virtual void UndoOne(HistoryEntry& entry) = 0;
    virtual void RedoOne(HistoryEntry& entry) = 0;

private:
    std::deque<std::unique_ptr<HistoryEntry>> undo_;
    std::deque<std::unique_ptr<HistoryEntry>> redo_;
    int limit_ = kInitialLimit;
};
