#pragma once

#include <cstddef>
#include <cstring>

namespace konversi::detail {

// Copies `size` bytes, Width <= size <= 2 * Width, as a first and a last
// block of Width bytes that overlap in the middle.
template <std::size_t Width>
inline void copyFirstAndLast(char* out, const char* in, std::size_t size) noexcept
{
    char first[Width], last[Width];
    std::memcpy(first, in, Width);
    std::memcpy(last, in + size - Width, Width);
    std::memcpy(out, first, Width);
    std::memcpy(out + size - Width, last, Width);
}

// Copies at most 32 bytes with fixed-size moves. A plain memcpy of a length
// unknown at compile time becomes a call or a string move instruction, which
// costs more than a whole short number.
inline void copyShort(char* out, const char* in, std::size_t size) noexcept
{
    if (size >= 16) {
        detail::copyFirstAndLast<16>(out, in, size);
    } else if (size >= 8) {
        detail::copyFirstAndLast<8>(out, in, size);
    } else if (size >= 4) {
        detail::copyFirstAndLast<4>(out, in, size);
    } else if (size > 0) {
        const char first = in[0], middle = in[size / 2], last = in[size - 1];
        out[0] = first;
        out[size / 2] = middle;
        out[size - 1] = last;
    }
}

}  // namespace konversi::detail
