#include "editor/document/EditHistory.h"

#include "editor/document/HistoryEntry.h"

EditHistory::~EditHistory() = default;

void EditHistory::Push(std::unique_ptr<HistoryEntry> entry)
{
    if (limit_ <= 0 || !entry)
        return;
    redo_.clear();
    while (undo_.size() >= size_t(limit_))
        undo_.pop_front();
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
        redo_.pop_back();
    for (; excess > 0 && !undo_.empty(); --excess)
        undo_.pop_front();
}

void EditHistory::Clear()
{
    undo_.clear();
    redo_.clear();
}
