#pragma once

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// A few threads that run blocks of image rows beside the calling thread. Effects whose rows do not depend
// on one another use it through ImageBuffer::ApplyEffect; everything else stays on the caller.
class RowPool {
public:
    // Called with the rows [first, end) and the index of the thread that runs them (0 is the caller).
    using Work = std::function<void(int first, int end, int worker)>;
    // Called on the caller's thread only, with the number of rows finished so far.
    using Progress = std::function<void(int rowsDone)>;

    static RowPool& Shared();

    RowPool();
    ~RowPool();
    RowPool(const RowPool&) = delete;
    RowPool& operator=(const RowPool&) = delete;

    // Threads that run rows, the caller's included; never changes while Run is running.
    int Threads() const { return threads_; }
    // 0 means one per core. Not to be called while Run is running.
    void SetThreads(int threads);

    // Runs work over [0, rows) in blocks of blockRows rows (the last may be shorter), each block on one
    // thread, and returns when all are done. When work on any thread or progress throws, no further block
    // starts, the blocks already running are waited for, and the first exception goes on to the caller.
    void Run(int rows, int blockRows, const Work& work, const Progress& progress = nullptr);

private:
    void WorkerLoop(int worker);
    // Takes blocks of the current run until none is left.
    void TakeBlocks(int worker, const Progress* progress);
    void StopWorkers();
    // Waits for every block handed out, then ends the run; returns the failure of a block, if any.
    std::exception_ptr Finish();
    // Hands out no further block of the current run; mutex_ held.
    void CancelLocked();

    int threads_ = 1;
    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable finished_;
    // The current run; guarded by mutex_.
    const Work* work_ = nullptr;
    int rows_ = 0;
    int blockRows_ = 1;
    int nextBlock_ = 0;
    int blocks_ = 0;
    int blocksDone_ = 0;
    int rowsDone_ = 0;
    std::exception_ptr failure_; // the first block that threw
    unsigned generation_ = 0;
    bool stopping_ = false;
    std::atomic<bool> busy_ = false;
};
