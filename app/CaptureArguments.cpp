#include "app/CaptureArguments.h"

#include <charconv>
#include <cstdint>

namespace CaptureArguments {

namespace {

constexpr int kMaxSide = 65535;

// Reads a decimal number at text[at...]; advances at past it.
std::optional<int> Number(const std::string& text, size_t& at, bool allowSign)
{
    const char* begin = text.data() + at;
    const char* end = text.data() + text.size();
    if (begin == end || (*begin == '-' && !allowSign) || *begin == '+')
        return std::nullopt;
    int value = 0;
    const auto [stop, status] = std::from_chars(begin, end, value);
    if (status != std::errc() || stop == begin)
        return std::nullopt;
    at += size_t(stop - begin);
    return value;
}

std::optional<Size> SizeAt(const std::string& text, size_t& at)
{
    const std::optional<int> width = Number(text, at, false);
    if (!width || at >= text.size() || text[at] != 'x')
        return std::nullopt;
    ++at;
    const std::optional<int> height = Number(text, at, false);
    if (!height || *width < 1 || *height < 1 || *width > kMaxSide || *height > kMaxSide)
        return std::nullopt;
    return Size { *width, *height };
}

// "+N" or "-N".
std::optional<int> OffsetAt(const std::string& text, size_t& at)
{
    if (at >= text.size() || (text[at] != '+' && text[at] != '-'))
        return std::nullopt;
    const bool negative = text[at] == '-';
    ++at;
    const std::optional<int> value = Number(text, at, false);
    if (!value || *value > kMaxSide)
        return std::nullopt;
    return negative ? -*value : *value;
}

} // namespace

std::optional<ImageRect> ParseGeometry(const std::string& text)
{
    size_t at = 0;
    const std::optional<Size> size = SizeAt(text, at);
    const std::optional<int> x = size ? OffsetAt(text, at) : std::nullopt;
    const std::optional<int> y = x ? OffsetAt(text, at) : std::nullopt;
    if (!y || at != text.size())
        return std::nullopt;
    return ImageRect { *x, *y, *x + size->width, *y + size->height };
}

std::optional<Size> ParseSize(const std::string& text)
{
    size_t at = 0;
    const std::optional<Size> size = SizeAt(text, at);
    if (!size || at != text.size())
        return std::nullopt;
    return size;
}

std::optional<WindowId> ParseWindowId(const std::string& text)
{
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* begin = text.data() + (hex ? 2 : 0);
    const char* end = text.data() + text.size();
    uint32_t value = 0;
    const auto [stop, status] = std::from_chars(begin, end, value, hex ? 16 : 10);
    if (begin == end || status != std::errc() || stop != end || value == 0)
        return std::nullopt;
    return WindowId(value);
}

} // namespace CaptureArguments
