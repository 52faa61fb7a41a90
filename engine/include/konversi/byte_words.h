#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace konversi::detail {

// Eight bytes of text tested at once: a scan over short lines and fields
// then takes one predictable step where a byte loop would mispredict its end.
using ByteWord = std::uint64_t;

constexpr ByteWord repeatByte(unsigned char byte) noexcept
{
    return 0x0101010101010101ULL * byte;
}

inline constexpr ByteWord highBits = repeatByte(0x80);

inline ByteWord loadWord(const char* bytes) noexcept
{
    ByteWord word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// The high bit of every byte of `word` that is not zero; no other bit.
constexpr ByteWord nonZeroBytes(ByteWord word) noexcept
{
    return (((word & ~highBits) + ~highBits) | word) & highBits;
}

// The high bit of every byte of `word` that equals `byte`.
constexpr ByteWord bytesEqual(ByteWord word, unsigned char byte) noexcept
{
    return ~nonZeroBytes(word ^ repeatByte(byte)) & highBits;
}

// The place, 0 to 7 in text order, of the first byte marked in `marks`
// (which is not zero).
inline int firstMarked(ByteWord marks) noexcept
{
    const int bit = std::endian::native == std::endian::little ? std::countr_zero(marks)
                                                               : std::countl_zero(marks);
    return bit >> 3;
}

// The high bit of every byte of `word` that is not a digit: a digit's high
// nibble is 3 and its low one at most 9 (adding 6 carries out of it if not).
constexpr ByteWord nonDigitBytes(ByteWord word) noexcept
{
    constexpr ByteWord highNibbles = repeatByte(0xF0);
    constexpr ByteWord lowNibbles = repeatByte(0x0F);
    return nonZeroBytes(((word & highNibbles) ^ repeatByte(0x30)) |
                        (((word & lowNibbles) + repeatByte(0x06)) & highNibbles));
}

}  // namespace konversi::detail
