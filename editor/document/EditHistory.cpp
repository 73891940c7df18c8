#include "editor/document/EditHistory.h"

#include "editor/document/HistoryEntry.h"

EditHistory::~EditHistory() = default;

void EditHistory::DropOldest()
{
    undo_.pop_front();
    ++dropped_;
    // The state before the dropped entry can no longer be undone to.
    if (saved_ && *saved_ < dropped_)
        saved_.reset();
}

void EditHistory::DropFarthestRedo()
{
    redo_.pop_back();
    if (saved_ && *saved_ > Position() + int64_t(redo_.size()))
        saved_.reset();
}

void EditHistory::Push(std::unique_ptr<HistoryEntry> entry)
{
    if (!entry)
        return;
    if (limit_ <= 0) {
        ForgetSaved();
        return;
    }
    while (!redo_.empty())
        DropFarthestRedo();
    while (undo_.size() >= size_t(limit_))
        DropOldest();
    undo_.push_back(std::move(entry));
}

bool EditHistory::Undo()
{
    if (undo_.empty())
        return false;
    std::unique_ptr<HistoryEntry> entry = std::move(undo_.back());
    undo_.pop_back();
    UndoOne(*entry);
    redo_.push_front(std::move(entry));
    return true;
}

bool EditHistory::Redo()
{
    if (redo_.empty())
        return false;
    std::unique_ptr<HistoryEntry> entry = std::move(redo_.front());
    redo_.pop_front();
    RedoOne(*entry);
    undo_.push_back(std::move(entry));
    return true;
}

void EditHistory::SetLimit(int limit)
{
    if (limit < 0)
        return;
    limit_ = limit;
    auto excess = int64_t(undo_.size() + redo_.size()) - limit;
    for (; excess > 0 && !redo_.empty(); --excess)
        DropFarthestRedo();
    for (; excess > 0 && !undo_.empty(); --excess)
        DropOldest();
}

void EditHistory::Clear()
{
    const bool atSaved = IsAtSaved();
    dropped_ += int64_t(undo_.size());
    undo_.clear();
    redo_.clear();
    if (atSaved)
        MarkSaved();
    else
        ForgetSaved();
}
