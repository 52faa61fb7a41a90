#pragma once

#include <cstddef>
#include <cstring>

namespace konversi {

// Copies at most 32 bytes with two overlapping fixed-size moves. A plain
// memcpy of a length unknown at compile time becomes a call or a string move
// instruction, which costs more than a whole short number.
inline void copyShort(char* out, const char* in, std::size_t size) noexcept
{
    if (size >= 16) {
        char head[16], tail[16];
        std::memcpy(head, in, 16);
        std::memcpy(tail, in + size - 16, 16);
        std::memcpy(out, head, 16);
        std::memcpy(out + size - 16, tail, 16);
    } else if (size >= 8) {
        char head[8], tail[8];
        std::memcpy(head, in, 8);
        std::memcpy(tail, in + size - 8, 8);
        std::memcpy(out, head, 8);
        std::memcpy(out + size - 8, tail, 8);
    } else if (size >= 4) {
        char head[4], tail[4];
        std::memcpy(head, in, 4);
        std::memcpy(tail, in + size - 4, 4);
        std::memcpy(out, head, 4);
        std::memcpy(out + size - 4, tail, 4);
    } else if (size > 0) {
        const char first = in[0], middle = in[size / 2], last = in[size - 1];
        out[0] = first;
        out[size / 2] = middle;
        out[size - 1] = last;
    }
}

}  // namespace konversi
