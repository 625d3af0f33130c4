// A vector filter in front of findImage's anchor pre-test.
//
// The anchor pixels of 16 neighbouring candidates lie side by side in one
// image row: 48 bytes. Any pixel that matches the anchor colour by the rule
// has each channel within a bound of it: the channel's tolerance, 0 for an
// exact channel, or floor(sqrt(T_n)) for a channel that enters the distance.
// The filter tests those bounds on all 48 bytes at once with SSE2 and
// returns the candidates that pass; the exact rule then decides for each of
// them. Candidates the filter drops cannot match, so results do not change.
//
// On a screenshot nearly every candidate is dropped here, which keeps the
// search close to the cost of reading the image once.
#pragma once

#include <cstdint>

#include "recognizer/find_image_rule.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#define LB_FIND_IMAGE_SSE2 1
#else
#define LB_FIND_IMAGE_SSE2 0
#endif

constexpr int kFilterBlock = 16;  // candidates per filter step

// Bit 3k of a filter mask stands for candidate k of the block.
constexpr uint64_t kFilterLanes = 0x249249249249ull;

inline uint32_t squareRootFloor(uint32_t value) {
    uint32_t root = 0;
    while (root < 0xFFFF && (root + 1) * (root + 1) <= value) root++;
    return root;
}

// Largest difference per channel that the rule can let through.
inline void channelBounds(const MatchRule& rule, unsigned tolMask, bool exact, uint8_t bounds[3]) {
    uint32_t distanceBound = squareRootFloor(rule.limit);
    if (distanceBound > 255) distanceBound = 255;
    for (int c = 0; c < 3; c++) {
        if (tolMask >> c & 1) bounds[c] = rule.tolerance[c];
        else bounds[c] = exact ? 0 : static_cast<uint8_t>(distanceBound);
    }
}

#if LB_FIND_IMAGE_SSE2

// A byte v is within bound b of colour byte c when it lies in lo..hi, with
// lo = max(c - b, 0) and hi = min(c + b, 255), that is when the wrapped
// difference v - lo is at most hi - lo. Shifted by 0x80 that becomes one
// signed comparison: (v - (lo + 0x80)) > ((hi - lo) ^ 0x80) marks a byte out.
struct AnchorFilter {
    __m128i low[3];    // lo + 0x80 per byte, over 48 bytes
    __m128i width[3];  // (hi - lo) ^ 0x80 per byte, over 48 bytes
};

// False when the bounds let everything through and the filter would only
// cost time.
inline bool makeAnchorFilter(const uint8_t colour[3], const uint8_t bounds[3], AnchorFilter& filter) {
    if (bounds[0] == 255 && bounds[1] == 255 && bounds[2] == 255) return false;
    alignas(16) uint8_t lows[48];
    alignas(16) uint8_t widths[48];
    for (int i = 0; i < 48; i++) {
        int c = colour[i % 3], b = bounds[i % 3];
        int lo = c - b < 0 ? 0 : c - b, hi = c + b > 255 ? 255 : c + b;
        lows[i] = static_cast<uint8_t>(lo + 0x80);
        widths[i] = static_cast<uint8_t>((hi - lo) ^ 0x80);
    }
    for (int k = 0; k < 3; k++) {
        filter.low[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(lows + 16 * k));
        filter.width[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(widths + 16 * k));
    }
    return true;
}

// One bit per byte of the 16 at p: set when the byte is out of its bound.
inline uint32_t bytesOutOfBounds(const uint8_t* p, __m128i low, __m128i width) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    return static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpgt_epi8(_mm_sub_epi8(v, low), width)));
}

// pixels points at the anchor pixel of the block's first candidate; the 16
// pixels from there must lie inside the image row. Returns bit 3k set for
// each candidate k whose three channels are all within bounds.
inline uint64_t filterAnchors(const uint8_t* pixels, const AnchorFilter& filter) {
    uint64_t out = uint64_t(bytesOutOfBounds(pixels, filter.low[0], filter.width[0])) |
                   uint64_t(bytesOutOfBounds(pixels + 16, filter.low[1], filter.width[1])) << 16 |
                   uint64_t(bytesOutOfBounds(pixels + 32, filter.low[2], filter.width[2])) << 32;
    return ~(out | out >> 1 | out >> 2) & kFilterLanes;
}

#endif
