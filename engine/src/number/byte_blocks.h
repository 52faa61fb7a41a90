#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Bytes compared at once, for the scans of field_rule.h, the DXF line scans
// and the number scan. A search says which bytes it wants with equal() and
// |, and runs the same on a word of eight bytes, on any machine, and on a
// vector of sixteen where the processor has one. The maps (LineMaps,
// DigitMap) mark bytes as the bits of a word: one SSE2 load a block, or a
// byte loop elsewhere, which tests hold the vector way to. The
// processor-dependent parts of the reading live here and nowhere else.
namespace konversi::detail {

// Eight bytes in a word. Each marked byte has its high bit set; a borrow can
// mark a byte above a true match, never one below, so the lowest mark is
// exact and the only one a search reads.
struct WordBlock {
    static constexpr std::size_t size = 8;
    // On a big-endian machine the lowest mark is not the first byte: the
    // searches then go a byte at a time.
    static constexpr bool usable = std::endian::native == std::endian::little;

    struct Marks {
        std::uint64_t bits;
        Marks operator|(Marks other) const { return {bits | other.bits}; }
        bool any() const { return bits != 0; }
        std::size_t first() const { return static_cast<std::size_t>(std::countr_zero(bits)) / 8; }
    };

    static WordBlock load(const char* p)
    {
        WordBlock block;
        std::memcpy(&block.word, p, sizeof block.word);
        return block;
    }

    Marks equal(unsigned char byte) const
    {
        constexpr std::uint64_t ones = 0x0101010101010101;
        constexpr std::uint64_t highs = 0x8080808080808080;
        const std::uint64_t x = word ^ (ones * byte);
        return {(x - ones) & ~x & highs};
    }

    std::uint64_t word;
};

#if defined(__SSE2__)
// Sixteen bytes in an SSE2 register: one compare a wanted byte.
struct VectorBlock {
    static constexpr std::size_t size = 16;
    static constexpr bool usable = true;

    struct Marks {
        __m128i bytes;
        Marks operator|(Marks other) const { return {_mm_or_si128(bytes, other.bytes)}; }
        bool any() const { return _mm_movemask_epi8(bytes) != 0; }
        std::size_t first() const
        {
            return static_cast<std::size_t>(
                std::countr_zero(static_cast<unsigned>(_mm_movemask_epi8(bytes))));
        }
    };

    static VectorBlock load(const char* p)
    {
        return {_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))};
    }

    Marks equal(unsigned char byte) const
    {
        return {_mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(byte)))};
    }

    __m128i bytes;
};

using WideBlock = VectorBlock;

// The digits among sixteen bytes. Signed compares: bytes from 128 on are
// below '0'.
inline __m128i digitBytes(__m128i bytes)
{
    return _mm_and_si128(_mm_cmpgt_epi8(bytes, _mm_set1_epi8('0' - 1)),
                         _mm_cmplt_epi8(bytes, _mm_set1_epi8('9' + 1)));
}
#else
using WideBlock = WordBlock;
#endif

// Which of 64 bytes are line feeds, carriage returns, spaces and digits,
// byte i as bit i: the maps a scan over many short lines walks, a line at a
// time, instead of its bytes.
struct LineMaps {
    static constexpr std::size_t size = 64;

    static LineMaps load(const char* p)
    {
#if defined(__SSE2__)
        LineMaps maps;
        const auto addBlock = [&maps, p](std::size_t at) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at));
            const auto bitsOf = [at](__m128i marks) {
                return std::uint64_t{static_cast<unsigned>(_mm_movemask_epi8(marks))} << at;
            };
            maps.lineFeeds |= bitsOf(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n')));
            maps.returns |= bitsOf(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r')));
            maps.spaces |= bitsOf(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(' ')));
            maps.digits |= bitsOf(digitBytes(bytes));
        };
        addBlock(0);
        addBlock(16);
        addBlock(32);
        addBlock(48);
        return maps;
#else
        return loadByteByByte(p);
#endif
    }

    // The portable way, and what a test holds the vector way to.
    static LineMaps loadByteByByte(const char* p)
    {
        LineMaps maps;
        for (std::size_t i = 0; i < size; ++i) {
            const std::uint64_t bit = std::uint64_t{1} << i;
            const char c = p[i];
            if (c == '\n') maps.lineFeeds |= bit;
            if (c == '\r') maps.returns |= bit;
            if (c == ' ') maps.spaces |= bit;
            if (c >= '0' && c <= '9') maps.digits |= bit;
        }
        return maps;
    }

    std::uint64_t lineFeeds = 0;
    std::uint64_t returns = 0;
    std::uint64_t spaces = 0;
    std::uint64_t digits = 0;
};

// Which of 16 bytes are digits and which of them the digit 0, byte i as bit
// i: the shape of a coordinate's spelling from one load.
struct DigitMap {
    static constexpr std::size_t size = 16;

    static DigitMap load(const char* p)
    {
#if defined(__SSE2__)
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const auto bitsOf = [](__m128i marks) {
            return static_cast<unsigned>(_mm_movemask_epi8(marks));
        };
        return {bitsOf(digitBytes(bytes)), bitsOf(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('0')))};
#else
        return loadByteByByte(p);
#endif
    }

    // The portable way, and what a test holds the vector way to.
    static DigitMap loadByteByByte(const char* p)
    {
        DigitMap map;
        for (std::size_t i = 0; i < size; ++i) {
            if (p[i] >= '0' && p[i] <= '9') map.digits |= 1u << i;
            if (p[i] == '0') map.zeros |= 1u << i;
        }
        return map;
    }

    unsigned digits = 0;
    unsigned zeros = 0;
};

// Moves p a block at a time while a whole block remains, to the first byte
// that `marks` marks: true when it found one there, false when fewer than a
// block's bytes remain, none of them marked.
template <class Block, class Marks>
[[gnu::always_inline]] inline bool findInBlocks(const char*& p, const char* end, Marks marks)
{
    if constexpr (Block::usable) {
        while (end - p >= static_cast<std::ptrdiff_t>(Block::size)) {
            if (const auto found = marks(Block::load(p)); found.any()) {
                p += found.first();
                return true;
            }
            p += Block::size;
        }
    }
    return false;
}

}  // namespace konversi::detail
