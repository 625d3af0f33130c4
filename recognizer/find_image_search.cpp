// findImage's search: checks and clamps the input, then runs one of 32 scan
// loops, each built for one combination of options (which channels have a
// colour tolerance, similarity 100 or below, background colour or not), so
// that the loops themselves carry no option tests.
#include "recognizer/find_image_search.h"

#include <array>
#include <cstddef>
#include <utility>

#include "common/bitmap.h"
#include "recognizer/find_image_prefilter.h"
#include "recognizer/find_image_rule.h"

namespace {

constexpr int32_t kLeadPixels = 16;

// What one search needs, resolved before the scan. Lives on the stack.
struct Search {
    const uint8_t* image = nullptr;  // first byte of the image's pixel data
    int32_t imageHeight = 0;
    uint32_t imageStride = 0;
    const uint8_t* templ = nullptr;  // first byte of the template's pixel data
    int32_t templateWidth = 0;
    int32_t templateHeight = 0;
    uint32_t templateStride = 0;
    int32_t left = 0, top = 0, lastX = 0, lastY = 0;  // candidate corners, inclusive
    uint32_t direction = 0;
    int32_t anchorX = 0, anchorY = 0;
    uint8_t anchor[3] = {0, 0, 0};      // colour of the template's anchor pixel
    uint8_t background[3] = {0, 0, 0};  // only meaningful when the template has one
    MatchRule rule;
    // The first pixels of the full test, in its order, background left out:
    // where each lies in the image from the candidate's top-left pixel, and
    // its template colour. Most full tests end among them. The rest of the
    // test goes on at resumeRow, resumeColumn.
    int32_t leadCount = 0;
    ptrdiff_t leadOffset[kLeadPixels];
    const uint8_t* leadColour[kLeadPixels];
    int32_t resumeRow = 0, resumeColumn = 0;
#if LB_FIND_IMAGE_SSE2
    bool filtered = false;
    AnchorFilter filter;
#endif
};

// Rows are stored bottom-up; y counts from the top row of the picture.
inline const uint8_t* imageRow(const Search& s, int32_t y) {
    return s.image + size_t(s.imageHeight - 1 - y) * s.imageStride;
}
inline const uint8_t* templateRow(const Search& s, int32_t y) {
    return s.templ + size_t(s.templateHeight - 1 - y) * s.templateStride;
}

inline int lowestBit(uint64_t v) { return __builtin_ctzll(v); }
inline int highestBit(uint64_t v) { return 63 - __builtin_clzll(v); }

// The full test of the placement with its top-left corner at (x, y), pixel
// by pixel in row order; leaves at the first pixel that fails.
template <unsigned ToleranceMask, bool Exact, bool Background>
bool placementMatches(const Search& s, int32_t x, int32_t y) {
    const uint8_t* corner = imageRow(s, y) + 3 * size_t(x);
    for (int32_t k = 0; k < s.leadCount; k++) {
        if (!pixelMatches<ToleranceMask, Exact>(corner + s.leadOffset[k], s.leadColour[k], s.rule)) return false;
    }
    int32_t c = s.resumeColumn;
    for (int32_t r = s.resumeRow; r < s.templateHeight; r++, c = 0) {
        const uint8_t* t = templateRow(s, r);
        const uint8_t* i = imageRow(s, y + r) + 3 * size_t(x);
        for (; c < s.templateWidth; c++) {
            const uint8_t* colour = t + 3 * size_t(c);
            if (Background && sameColour(colour, s.background)) continue;
            if (!pixelMatches<ToleranceMask, Exact>(i + 3 * size_t(c), colour, s.rule)) return false;
        }
    }
    return true;
}

// The pre-test at the anchor pixel, then the full test. anchors is the
// image pixel under the anchor for candidate column 0 of this row.
template <unsigned ToleranceMask, bool Exact, bool Background>
inline bool candidateMatches(const Search& s, const uint8_t* anchors, int32_t x, int32_t y) {
    return pixelMatches<ToleranceMask, Exact>(anchors + 3 * size_t(x), s.anchor, s.rule) &&
           placementMatches<ToleranceMask, Exact, Background>(s, x, y);
}

// Candidates of row y from left to lastX; the column of the first match or -1.
// The same columns of row nextY, scanned next, are fetched into the cache
// meanwhile: the rows run against the direction of memory in some scan
// orders, which the processor does not foresee.
template <unsigned ToleranceMask, bool Exact, bool Background>
int32_t scanRowRightward(const Search& s, int32_t y, [[maybe_unused]] int32_t nextY) {
    const uint8_t* anchors = imageRow(s, y + s.anchorY) + 3 * size_t(s.anchorX);
    int32_t x = s.left;
#if LB_FIND_IMAGE_SSE2
    if (s.filtered) {
        const uint8_t* ahead = imageRow(s, nextY + s.anchorY) + 3 * size_t(s.anchorX);
        for (; s.lastX - x >= kFilterBlock - 1; x += kFilterBlock) {
            __builtin_prefetch(ahead + 3 * size_t(x));
            uint64_t passed = filterAnchors(anchors + 3 * size_t(x), s.filter);
            for (; passed; passed &= passed - 1) {
                int32_t column = x + lowestBit(passed) / 3;
                if (candidateMatches<ToleranceMask, Exact, Background>(s, anchors, column, y)) return column;
            }
        }
    }
#endif
    for (; x <= s.lastX; x++) {
        if (candidateMatches<ToleranceMask, Exact, Background>(s, anchors, x, y)) return x;
    }
    return -1;
}

// Candidates of row y from lastX down to left; the column of the first match or -1.
template <unsigned ToleranceMask, bool Exact, bool Background>
int32_t scanRowLeftward(const Search& s, int32_t y, [[maybe_unused]] int32_t nextY) {
    const uint8_t* anchors = imageRow(s, y + s.anchorY) + 3 * size_t(s.anchorX);
    int32_t x = s.lastX;
#if LB_FIND_IMAGE_SSE2
    if (s.filtered) {
        const uint8_t* ahead = imageRow(s, nextY + s.anchorY) + 3 * size_t(s.anchorX);
        for (; x - s.left >= kFilterBlock - 1; x -= kFilterBlock) {
            int32_t first = x - (kFilterBlock - 1);
            __builtin_prefetch(ahead + 3 * size_t(first));
            uint64_t passed = filterAnchors(anchors + 3 * size_t(first), s.filter);
            while (passed) {
                int bit = highestBit(passed);
                int32_t column = first + bit / 3;
                if (candidateMatches<ToleranceMask, Exact, Background>(s, anchors, column, y)) return column;
                passed &= ~(uint64_t(1) << bit);
            }
        }
    }
#endif
    for (; x >= s.left; x--) {
        if (candidateMatches<ToleranceMask, Exact, Background>(s, anchors, x, y)) return x;
    }
    return -1;
}

// Rows are the outer loop. Columns run rightward for directions 0 and 1,
// rows downward for 0 and 2; any other value scans as 3.
template <unsigned ToleranceMask, bool Exact, bool Background>
int32_t scanImage(const Search& s, int32_t* xOut, int32_t* yOut) {
    bool downward = s.direction == 0 || s.direction == 2;
    bool rightward = s.direction <= 1;
    int32_t rows = s.lastY - s.top + 1;
    for (int32_t k = 0; k < rows; k++) {
        int32_t y = downward ? s.top + k : s.lastY - k;
        int32_t nextY = k + 1 == rows ? y : downward ? y + 1 : y - 1;
        int32_t x = rightward ? scanRowRightward<ToleranceMask, Exact, Background>(s, y, nextY)
                              : scanRowLeftward<ToleranceMask, Exact, Background>(s, y, nextY);
        if (x >= 0) {
            *xOut = x;
            *yOut = y;
            return 1;
        }
    }
    *xOut = *yOut = -1;
    return 0;
}

using ScanLoop = int32_t (*)(const Search&, int32_t*, int32_t*);

// Index: bits 0-2 the tolerance channels, bit 3 similarity 100, bit 4 background.
template <size_t... Key>
constexpr std::array<ScanLoop, sizeof...(Key)> makeScanLoops(std::index_sequence<Key...>) {
    return {{&scanImage<Key & 7, (Key & 8) != 0, (Key & 16) != 0>...}};
}
constexpr std::array<ScanLoop, 32> kScanLoops = makeScanLoops(std::make_index_sequence<32>());

int32_t notFound(int32_t* xOut, int32_t* yOut) {
    *xOut = *yOut = -1;
    return 0;
}

// When the four corners share one colour, that colour is the background and
// the anchor is the first other pixel, rows from the top, each row from the
// left; a template of nothing but background keeps (0, 0). Without a
// background the anchor is (0, 0).
bool findBackgroundAndAnchor(const uint8_t* data, const BitmapLayout& t, Search& s) {
    const uint8_t* corner = data + t.offsetOf(0, 0);
    bool background = sameColour(corner, data + t.offsetOf(t.width - 1, 0)) &&
                      sameColour(corner, data + t.offsetOf(0, t.height - 1)) &&
                      sameColour(corner, data + t.offsetOf(t.width - 1, t.height - 1));
    s.anchorX = s.anchorY = 0;
    if (background) {
        for (int c = 0; c < 3; c++) s.background[c] = corner[c];
        bool found = false;
        for (int32_t y = 0; y < t.height && !found; y++) {
            for (int32_t x = 0; x < t.width; x++) {
                if (!sameColour(data + t.offsetOf(x, y), corner)) {
                    s.anchorX = x;
                    s.anchorY = y;
                    found = true;
                    break;
                }
            }
        }
    }
    const uint8_t* anchor = data + t.offsetOf(s.anchorX, s.anchorY);
    for (int c = 0; c < 3; c++) s.anchor[c] = anchor[c];
    return background;
}

// Collects the leads of the full test. With a background the test may start
// at the anchor: it is the first pixel in row order that is not background,
// so every pixel before it would be skipped anyway.
void collectLeads(const uint8_t* data, const BitmapLayout& t, bool background, Search& s) {
    int32_t r = background ? s.anchorY : 0;
    int32_t c = background ? s.anchorX : 0;
    s.leadCount = 0;
    for (; r < t.height && s.leadCount < kLeadPixels; r++, c = 0) {
        for (; c < t.width && s.leadCount < kLeadPixels; c++) {
            const uint8_t* colour = data + t.offsetOf(c, r);
            if (background && sameColour(colour, s.background)) continue;
            s.leadOffset[s.leadCount] = 3 * ptrdiff_t(c) - ptrdiff_t(r) * ptrdiff_t(s.imageStride);
            s.leadColour[s.leadCount] = colour;
            s.leadCount++;
        }
        if (c < t.width) break;
    }
    s.resumeRow = r;
    s.resumeColumn = c;
}

}  // namespace

int32_t searchImage(const uint8_t* image, size_t imageLength, const uint8_t* templateImage,
                    size_t templateLength, int32_t left, int32_t top, int32_t right, int32_t bottom,
                    const char* colourTolerance, size_t toleranceLength, int32_t similarity,
                    int32_t direction, int32_t* xOut, int32_t* yOut) {
    if (!colourTolerance || toleranceLength == 0) return notFound(xOut, yOut);
    if (!hasBitmapSignature(image, imageLength) || !hasBitmapSignature(templateImage, templateLength))
        return notFound(xOut, yOut);
    // The headers are trusted only as far as the buffers reach.
    BitmapLayout img, tpl;
    if (!readBitmapLayout(image, imageLength, img) || !readBitmapLayout(templateImage, templateLength, tpl))
        return notFound(xOut, yOut);

    if (tpl.height > img.height || tpl.width > img.width) return -1;

    // Right and bottom compare unsigned: a negative one lies beyond the image.
    if (left < 0) left = 0;
    if (top < 0) top = 0;
    if (left >= img.width) left = img.width - 1;
    if (top >= img.height) top = img.height - 1;
    if (uint32_t(right) < uint32_t(left)) right = left;
    if (uint32_t(bottom) < uint32_t(top)) bottom = top;
    if (uint32_t(right) >= uint32_t(img.width)) right = img.width - 1;
    if (uint32_t(bottom) >= uint32_t(img.height)) bottom = img.height - 1;
    if (int64_t(left) + tpl.width - 1 > right || int64_t(top) + tpl.height - 1 > bottom) return -1;

    if (similarity > 100) similarity = 100;
    if (similarity < 0) similarity = 0;

    Search s;
    s.image = image + img.pixelOffset;
    s.imageHeight = img.height;
    s.imageStride = img.stride;
    s.templ = templateImage + tpl.pixelOffset;
    s.templateWidth = tpl.width;
    s.templateHeight = tpl.height;
    s.templateStride = tpl.stride;
    s.left = left;
    s.top = top;
    s.lastX = right - (tpl.width - 1);
    s.lastY = bottom - (tpl.height - 1);
    s.direction = static_cast<uint32_t>(direction);
    bool background = findBackgroundAndAnchor(templateImage, tpl, s);
    collectLeads(templateImage, tpl, background, s);

    readColourTolerance(colourTolerance, toleranceLength, s.rule.tolerance);
    unsigned tolMask = toleranceMask(s.rule.tolerance);
    bool exact = similarity == 100;
    s.rule.limit = exact ? 0 : distanceLimit(similarity, channelCount(~tolMask & 7));
#if LB_FIND_IMAGE_SSE2
    uint8_t bounds[3];
    channelBounds(s.rule, tolMask, exact, bounds);
    s.filtered = makeAnchorFilter(s.anchor, bounds, s.filter);
#endif

    unsigned key = tolMask | (exact ? 8u : 0u) | (background ? 16u : 0u);
    return kScanLoops[key](s, xOut, yOut);
}
