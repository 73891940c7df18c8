#pragma once

#include <cstdint>
#include <cstdio>

// Little-endian field access for the file formats we read and write ourselves.
namespace byteio {

inline uint16_t ReadU16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

inline uint32_t ReadU32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline uint8_t* PutU16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    return p + 2;
}

inline uint8_t* PutU32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
    return p + 4;
}

inline bool Write(std::FILE* file, const void* data, size_t size)
{
    return size == 0 || std::fwrite(data, 1, size, file) == size;
}

} // namespace byteio
