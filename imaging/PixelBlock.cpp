#include "imaging/PixelBlock.h"

#include <sys/mman.h>

#include <cstdlib>
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
} // namespace

PixelBlock::PixelBlock(PixelBlock&& other) noexcept
    : data_(std::exchange(other.data_, nullptr))
    , size_(std::exchange(other.size_, 0))
    , mapped_(std::exchange(other.mapped_, false))
{
}

PixelBlock& PixelBlock::operator=(PixelBlock&& other) noexcept
{
    if (this != &other) {
        Release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
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
        data_ = MapAligned(size);
        if (!data_)
            return false;
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

void PixelBlock::Release()
{
    if (!data_)
        return;
    if (mapped_)
        munmap(data_, size_);
    else
        std::free(data_);
    data_ = nullptr;
    size_ = 0;
    mapped_ = false;
}
