#include "imaging/RowPool.h"

#include <algorithm>
#include <exception>
#include <utility>

RowPool& RowPool::Shared()
{
    static RowPool pool;
    return pool;
}

RowPool::RowPool()
{
    SetThreads(0);
}

RowPool::~RowPool()
{
    StopWorkers();
}

void RowPool::SetThreads(int threads)
{
    if (threads <= 0)
        threads = int(std::max(1u, std::thread::hardware_concurrency()));
    if (threads == threads_ && int(workers_.size()) == threads - 1)
        return;
    StopWorkers();
    threads_ = threads;
    // Threads that cannot be started leave fewer workers; the caller still runs every block left.
    for (int worker = 1; worker < threads; ++worker) {
        try {
            workers_.emplace_back([this, worker] { WorkerLoop(worker); });
        } catch (const std::system_error&) {
            break;
        }
    }
    threads_ = int(workers_.size()) + 1;
}

void RowPool::StopWorkers()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& worker : workers_)
        worker.join();
    workers_.clear();
    stopping_ = false;
    threads_ = 1;
}

void RowPool::Run(int rows, int blockRows, const Work& work, const Progress& progress)
{
    if (rows <= 0)
        return;
    blockRows = std::max(blockRows, 1);
    // A run started while another is going (from another thread) goes on the caller alone.
    if (busy_.exchange(true)) {
        for (int first = 0; first < rows; first += blockRows) {
            work(first, std::min(first + blockRows, rows), 0);
            if (progress)
                progress(std::min(first + blockRows, rows));
        }
        return;
    }
    {
        std::lock_guard lock(mutex_);
        work_ = &work;
        rows_ = rows;
        blockRows_ = blockRows;
        nextBlock_ = 0;
        blocks_ = (rows + blockRows - 1) / blockRows;
        blocksDone_ = 0;
        rowsDone_ = 0;
        failure_ = nullptr;
        ++generation_;
    }
    if (!workers_.empty())
        wake_.notify_all();
    try {
        TakeBlocks(0, progress ? &progress : nullptr);
    } catch (...) {
        // A progress sink may end a run by throwing (a cancelled preview): the blocks the workers hold
        // still use the caller's image and work, so they are waited for first.
        Finish();
        throw;
    }
    // Out of memory in a worker's block leaves rows unprocessed: the caller must hear of it.
    if (const std::exception_ptr failure = Finish())
        std::rethrow_exception(failure);
}

std::exception_ptr RowPool::Finish()
{
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [this] { return blocksDone_ == blocks_; });
    work_ = nullptr;
    busy_ = false;
    return std::exchange(failure_, nullptr);
}

void RowPool::CancelLocked()
{
    blocks_ = nextBlock_;
    if (blocksDone_ == blocks_)
        finished_.notify_all();
}

void RowPool::TakeBlocks(int worker, const Progress* progress)
{
    std::unique_lock lock(mutex_);
    while (work_ && nextBlock_ < blocks_) {
        const int block = nextBlock_++;
        const Work& work = *work_;
        const int first = block * blockRows_;
        const int end = std::min(first + blockRows_, rows_);
        lock.unlock();
        std::exception_ptr failure;
        try {
            work(first, end, worker);
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        rowsDone_ += end - first;
        const int rowsDone = rowsDone_;
        if (++blocksDone_ == blocks_)
            finished_.notify_all();
        if (failure) {
            if (!failure_)
                failure_ = failure;
            CancelLocked();
            return;
        }
        if (progress) {
            lock.unlock();
            try {
                (*progress)(rowsDone);
            } catch (...) {
                lock.lock();
                CancelLocked();
                throw;
            }
            lock.lock();
        }
    }
}

void RowPool::WorkerLoop(int worker)
{
    unsigned seen = 0;
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return stopping_ || (generation_ != seen && work_); });
            if (stopping_)
                return;
            seen = generation_;
        }
        // A block that throws is kept for the caller by TakeBlocks.
        TakeBlocks(worker, nullptr);
    }
}
