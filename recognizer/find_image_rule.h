// The pixel match rule of findImage.
//
// An image pixel matches a template colour when every channel that has a
// colour tolerance is within it, and the channels whose tolerance is 0 are
// either equal (similarity 100) or close enough together: the sum of their
// squared differences is at most a limit T_n that depends on the similarity
// and on how many channels n take part.
//
// Pixels are 3 bytes: blue, green, red. Channel masks use bit c for byte c.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "common/text.h"

struct MatchRule {
    uint8_t tolerance[3] = {0, 0, 0};  // by byte: blue, green, red
    uint32_t limit = 0;                // T_n for the channels of tolerance 0
};

// "RRGGBB": characters 1-2 are red, 3-4 green, 5-6 blue, high digit first.
// Anything that is not a hex digit counts as 0, and so does a digit the text
// is too short to have; characters after the sixth are ignored.
inline void readColourTolerance(const char* text, size_t length, uint8_t tolerance[3]) {
    int digits[6] = {0, 0, 0, 0, 0, 0};
    for (size_t i = 0; i < 6 && i < length; i++) digits[i] = std::max(hexDigitValue(text[i]), 0);
    tolerance[2] = static_cast<uint8_t>(digits[0] << 4 | digits[1]);
    tolerance[1] = static_cast<uint8_t>(digits[2] << 4 | digits[3]);
    tolerance[0] = static_cast<uint8_t>(digits[4] << 4 | digits[5]);
}

// Bit c set when channel c has a tolerance above 0.
inline unsigned toleranceMask(const uint8_t tolerance[3]) {
    return (tolerance[0] ? 1u : 0u) | (tolerance[1] ? 2u : 0u) | (tolerance[2] ? 4u : 0u);
}

// T_n = ceil(((100 - similarity) * K_n)^2 / 10000) with K_3 = 441, K_2 = 360,
// K_1 = 255, in unsigned 32-bit arithmetic (44100^2 still fits). The
// similarity is already clamped to 0..100. 0 for n = 0.
inline uint32_t distanceLimit(int32_t similarity, int channels) {
    static const uint32_t kScale[4] = {0, 255, 360, 441};
    uint32_t scaled = static_cast<uint32_t>(100 - similarity) * kScale[channels];
    uint32_t square = scaled * scaled;
    return square / 10000 + (square % 10000 != 0 ? 1 : 0);
}

inline int channelCount(unsigned mask) { return (mask & 1) + (mask >> 1 & 1) + (mask >> 2 & 1); }

inline bool withinTolerance(uint8_t a, uint8_t b, uint8_t tolerance) {
    return (a > b ? a - b : b - a) <= tolerance;
}

inline uint32_t squaredDifference(uint8_t a, uint8_t b) {
    int d = int(a) - int(b);
    return static_cast<uint32_t>(d * d);
}

// The rule, resolved at build time: ToleranceMask says which channels have a
// tolerance, Exact says the similarity is 100. The tolerance channels are
// tested first, the distance of the others last.
template <unsigned ToleranceMask, bool Exact>
inline bool pixelMatches(const uint8_t* pixel, const uint8_t* colour, const MatchRule& rule) {
    if ((ToleranceMask & 1) && !withinTolerance(pixel[0], colour[0], rule.tolerance[0])) return false;
    if ((ToleranceMask & 2) && !withinTolerance(pixel[1], colour[1], rule.tolerance[1])) return false;
    if ((ToleranceMask & 4) && !withinTolerance(pixel[2], colour[2], rule.tolerance[2])) return false;
    constexpr unsigned zero = ~ToleranceMask & 7;
    if constexpr (zero == 0) {
        return true;
    } else if constexpr (Exact) {
        return (!(zero & 1) || pixel[0] == colour[0]) && (!(zero & 2) || pixel[1] == colour[1]) &&
               (!(zero & 4) || pixel[2] == colour[2]);
    } else {
        uint32_t sum = 0;
        if (zero & 1) sum += squaredDifference(pixel[0], colour[0]);
        if (zero & 2) sum += squaredDifference(pixel[1], colour[1]);
        if (zero & 4) sum += squaredDifference(pixel[2], colour[2]);
        return sum <= rule.limit;
    }
}

inline bool sameColour(const uint8_t* a, const uint8_t* b) {
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}
