#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>

class HistoryEntry;

// Undo and redo stacks of owned entries. The undo stack holds the oldest entry at the front; the redo
// stack the most recently undone one at the front. The history also knows which of its states was last
// saved, for as long as undo or redo can still reach it: that is what the document's modified flag reads.
class EditHistory {
public:
    static constexpr int kInitialLimit = 20;

    EditHistory() = default;
    virtual ~EditHistory();
    EditHistory(const EditHistory&) = delete;
    EditHistory& operator=(const EditHistory&) = delete;

    // Empties the redo stack and appends entry, dropping the oldest entry at the limit. Not recorded when
    // the limit is 0 (the change happened all the same, so the saved state is out of reach); ignored when
    // entry is null.
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

    // The present state is the saved one (a save, an opened file, a prompt answered).
    void MarkSaved() { saved_ = Position(); }
    // No state is the saved one any more (a change that recorded no entry).
    void ForgetSaved() { saved_.reset(); }
    bool IsAtSaved() const { return saved_ == Position(); }

protected:
    virtual void UndoOne(HistoryEntry& entry) = 0;
    virtual void RedoOne(HistoryEntry& entry) = 0;

private:
    std::deque<std::unique_ptr<HistoryEntry>> undo_;
    std::deque<std::unique_ptr<HistoryEntry>> redo_;
    int limit_ = kInitialLimit;

    // States are counted from the first entry ever pushed: the present one is the number of entries
    // applied, those pushed out by the limit included.
    int64_t Position() const { return dropped_ + int64_t(undo_.size()); }
    void DropOldest();
    void DropFarthestRedo();

    int64_t dropped_ = 0;
    std::optional<int64_t> saved_ = 0;
};
