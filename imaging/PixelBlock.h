#pragma once

#include <cstddef>
#include <cstdint>

// A zero-filled pixel block. Large blocks are mapped directly so that the kernel can back them with huge
// pages: first touch of a 4K screenshot costs a fraction of what 4 KiB pages would.
class PixelBlock {
public:
    PixelBlock() = default;
    ~PixelBlock() { Release(); }
    PixelBlock(const PixelBlock&) = delete;
    PixelBlock& operator=(const PixelBlock&) = delete;
    PixelBlock(PixelBlock&& other) noexcept;
    PixelBlock& operator=(PixelBlock&& other) noexcept;

    // Returns false, leaving the block empty, when size is 0 or the memory cannot be had.
    bool Allocate(size_t size);
    void Release();
    // Takes over a block that the caller mapped (with mmap, of at least size bytes); it is unmapped, or
    // kept as a spare, when released.
    void Adopt(uint8_t* mapped, size_t size);

    uint8_t* Data() const { return data_; }
    size_t Size() const { return size_; }

private:
    uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0; // of a mapped block, which may have been kept from a larger one
    bool mapped_ = false;
};
