#include "imaging/PixelBlock.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <utility>

namespace {
constexpr size_t kMapThreshold = size_t(1) << 20;
constexpr size_t kHugePage = size_t(2) << 20;

// Huge pages only back 2 MiB-aligned ranges, so map a little more and trim to an aligned start.
uint8_t* MapAligned(size_t size)
{
    if (size > SIZE_MAX - kHugePage)
        return nullptr;
    const size_t span = size + kHugePage;
    void* p = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        return nullptr;
    const auto base = reinterpret_cast<uintptr_t>(p);
    const uintptr_t aligned = (base + kHugePage - 1) & ~(kHugePage - 1);
    if (aligned > base)
        munmap(p, aligned - base);
    const uintptr_t end = base + span;
    const uintptr_t used = aligned + size;
    const uintptr_t tail = (used + 4095) & ~uintptr_t(4095);
    if (end > tail)
        munmap(reinterpret_cast<void*>(tail), end - tail);
    auto* data = reinterpret_cast<uint8_t*>(aligned);
    madvise(data, size, MADV_HUGEPAGE);
    return data;
}
// The last two large blocks given back, kept mapped: an operation that makes a new image of the size of
// one it just dropped (every resize, rotation or effect snapshot in a row) reuses pages already faulted
// in, instead of having the kernel zero fresh ones. At most 128 MiB stay held this way after the images
// are gone.
class SpareBlocks {
public:
    static constexpr size_t kLargestSpare = size_t(64) << 20;

    static SpareBlocks& Shared()
    {
        static SpareBlocks spares;
        return spares;
    }

    // A kept block of between size and twice size bytes, or null; its capacity goes to *capacity.
    uint8_t* Take(size_t size, size_t* capacity)
    {
        std::lock_guard lock(mutex_);
        for (Spare& spare : spares_)
            if (spare.data && spare.capacity >= size && spare.capacity / 2 <= size) {
                *capacity = spare.capacity;
                return std::exchange(spare.data, nullptr);
            }
        return nullptr;
    }

    // Keeps the block in place of the older spare. Larger blocks go back to the kernel: zeroing one again
    // would cost more than the faults it saves, as much of it may never have been touched.
    void Give(uint8_t* data, size_t capacity)
    {
        if (capacity > kLargestSpare) {
            munmap(data, capacity);
            return;
        }
        Spare dropped;
        {
            std::lock_guard lock(mutex_);
            Spare& older = spares_[next_];
            dropped = older;
            older = { data, capacity };
            next_ = 1 - next_;
        }
        if (dropped.data)
            munmap(dropped.data, dropped.capacity);
    }

private:
    struct Spare {
        uint8_t* data = nullptr;
        size_t capacity = 0;
    };
    std::mutex mutex_;
    Spare spares_[2];
    int next_ = 0;
};
} // namespace

PixelBlock::PixelBlock(PixelBlock&& other) noexcept
    : data_(std::exchange(other.data_, nullptr))
    , size_(std::exchange(other.size_, 0))
    , capacity_(std::exchange(other.capacity_, 0))
    , mapped_(std::exchange(other.mapped_, false))
{
}

PixelBlock& PixelBlock::operator=(PixelBlock&& other) noexcept
{
    if (this != &other) {
        Release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
        mapped_ = std::exchange(other.mapped_, false);
    }
    return *this;
}

bool PixelBlock::Allocate(size_t size)
{
    Release();
    if (size == 0)
        return false;
    if (size >= kMapThreshold) {
        size_t capacity = 0;
        if ((data_ = SpareBlocks::Shared().Take(size, &capacity))) {
            std::memset(data_, 0, size);
        } else {
            data_ = MapAligned(size);
            capacity = size;
        }
        if (!data_)
            return false;
        capacity_ = capacity;
        mapped_ = true;
    } else {
        data_ = static_cast<uint8_t*>(std::calloc(size, 1));
        if (!data_)
            return false;
        mapped_ = false;
    }
    size_ = size;
    return true;
}

void PixelBlock::Adopt(uint8_t* mapped, size_t size)
{
    Release();
    data_ = mapped;
    size_ = size;
    capacity_ = size;
    mapped_ = true;
}

void PixelBlock::Release()
{
    if (!data_)
        return;
    if (mapped_)
        SpareBlocks::Shared().Give(data_, capacity_);
    else
        std::free(data_);
    data_ = nullptr;
    size_ = 0;
    capacity_ = 0;
    mapped_ = false;
}
