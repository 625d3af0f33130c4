// Dot-matrix text recognition: the rectangle is reduced to two colours,
// every glyph of the library (most dots first) is marked where it occurs
// cleanly, and the marks are read back in reading order.

#include <algorithm>

#include "common/bitmap.h"
#include "recognizer/dot_matrix_internal.h"
#include "recognizer/image_recognizer.h"
#include "recognizer/message_box.h"

using namespace dotmatrix;

namespace {

constexpr int kMaxColours = 12;

struct TextColour {
    int32_t rgb[3];          // red, green, blue
    int32_t toleranceSq[3];  // squared tolerances
    int32_t zeroChannels;    // channels whose tolerance is 0
};

// The two-digit hex number at index i; reading stops at the first
// character that is not a hex digit (or past the end).
int32_t hexPairAt(const Text& text, size_t i) {
    int32_t value = 0;
    for (size_t k = i; k < i + 2 && k < text.size(); k++) {
        int digit = hexDigitValue(text[k]);
        if (digit < 0) break;
        value = value * 16 + digit;
    }
    return value;
}

// Entries are "RRGGBB" + one separator + "rrggbb" (tolerances), 14
// characters apart. Their number is (length mod 13) + 1, at most 12.
int parseColourList(const Text& colours, TextColour (&entries)[kMaxColours]) {
    int count = std::min(static_cast<int>(colours.size() % 13) + 1, kMaxColours);
    for (int i = 0; i < count; i++) {
        size_t at = static_cast<size_t>(i) * 14;
        TextColour& entry = entries[i];
        entry.zeroChannels = 0;
        for (int c = 0; c < 3; c++) {
            entry.rgb[c] = hexPairAt(colours, at + 2 * c);
            int32_t tolerance = hexPairAt(colours, at + 7 + 2 * c);
            entry.toleranceSq[c] = tolerance * tolerance;
            if (tolerance == 0) entry.zeroChannels++;
        }
    }
    return count;
}

}  // namespace

Bytes ImageRecognizer::binarizeRegion(const Bytes& image, int32_t left, int32_t top, int32_t right,
                                      int32_t bottom, const Text& colours, int32_t similarity) const {
    BitmapLayout layout;
    if (!readBitmapLayout(image, layout)) return Bytes();

    TextColour entries[kMaxColours];
    const int count = parseColourList(colours, entries);
    // Allowed squared distance over the channels that have no tolerance of
    // their own, by their number (1 to 3).
    const int64_t slack = 100 - std::clamp(similarity, 0, 100);
    const int64_t limit[4] = {0, (slack * 255) * (slack * 255) / 10000, (slack * 360) * (slack * 360) / 10000,
                              (slack * 441) * (slack * 441) / 10000};

    // Same headers, so same width, height and layout; every pixel black.
    Bytes result(image.size(), 0);
    std::copy(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(layout.pixelOffset), result.begin());

    int64_t x0 = left, x1 = right, y0 = top, y1 = bottom;
    if (!clipSpan(x0, x1, layout.width) || !clipSpan(y0, y1, layout.height)) return result;
    for (int64_t y = y0; y <= y1; y++) {
        for (int64_t x = x0; x <= x1; x++) {
            const uint8_t* pixel = pixelAt(image, layout, x, y);
            const int32_t rgb[3] = {pixel[2], pixel[1], pixel[0]};
            bool matched = false;
            for (int i = 0; i < count && !matched; i++) {
                const TextColour& entry = entries[i];
                bool inTolerance = true;
                int64_t zeroSum = 0;
                for (int c = 0; c < 3; c++) {
                    int32_t d = entry.rgb[c] - rgb[c];
                    if (entry.toleranceSq[c] > 0) {
                        if (d * d > entry.toleranceSq[c]) inTolerance = false;
                    } else {
                        zeroSum += d * d;
                    }
                }
                matched = inTolerance && (entry.zeroChannels == 0 || zeroSum <= limit[entry.zeroChannels]);
            }
            if (matched) {
                uint8_t* out = pixelAt(result, layout, x, y);
                out[0] = out[1] = out[2] = 255;
            }
        }
    }
    return result;
}

int32_t ImageRecognizer::glyphFits(const Bytes& image, const Bytes& glyph, int32_t left, int32_t top,
                                   int32_t right, int32_t bottom) const {
    BitmapLayout imageLayout, glyphLayout;
    if (!readBitmapLayout(image, imageLayout) || !readBitmapLayout(glyph, glyphLayout)) return -1;
    if (left < 0 || left > right || left > imageLayout.width - 1) return -1;
    if (top < 0 || top > bottom || top > imageLayout.height - 1) return -1;
    if (glyphLayout.width > imageLayout.width || glyphLayout.height > imageLayout.height) return -1;
    return 0;
}

int32_t ImageRecognizer::markGlyph(Bytes& image, const Bytes& glyph, int32_t left, int32_t top, int32_t right,
                                   int32_t bottom, const GlyphMeasures& m, int32_t glyphNumber) const {
    BitmapLayout imageLayout, glyphLayout;
    if (!readBitmapLayout(image, imageLayout) || !readBitmapLayout(glyph, glyphLayout)) return glyphNumber;

    // The part of the glyph the shape test compares, kept inside its bitmap.
    const ShapeBox box = shapeBoxOf(glyphLayout, m.left, m.top, m.right, m.bottom);
    ScanRange range;
    if (!scanRange(imageLayout, left, top, right, bottom, m.right, m.bottom, box.right, box.bottom, range))
        return glyphNumber;

    const uint8_t cornerBlue = pixelAt(glyph, glyphLayout, 0, 0)[0];
    const uint8_t low = static_cast<uint8_t>(glyphNumber & 0xFF);
    const uint8_t high = static_cast<uint8_t>((glyphNumber >> 8) & 0xFF);
    auto sameBlue = [](const uint8_t* a, const uint8_t* b) { return a[0] == b[0]; };
    auto isDot = [](const uint8_t* pixel) { return pixel[0] == 255; };

    for (int64_t j = range.top; j <= range.bottom; j++) {
        for (int64_t k = range.left; k <= range.right; k++) {
            if (pixelAt(image, imageLayout, k, j)[0] != cornerBlue) continue;
            if (!shapeMatches(image, imageLayout, glyph, glyphLayout, box, k, j, sameBlue)) continue;
            // Clean: no dot in the glyph's area but its own.
            GlyphArea area;
            if (!cleanAreaAt(image, imageLayout, k, j, m.bottom, m.leadingGap, m.trailingGap, m.extraRows,
                             m.dotCount, isDot, area))
                continue;

            uint8_t code = kMarkFirst;
            for (int64_t y = area.top; y <= area.bottom; y++) {
                for (int64_t x = area.left; x <= area.right; x++) {
                    uint8_t* pixel = pixelAt(image, imageLayout, x, y);
                    pixel[0] = code;
                    pixel[1] = low;
                    pixel[2] = high;
                    code = kMarkInner;
                }
            }
            uint8_t* last = pixelAt(image, imageLayout, area.right, area.bottom);
            last[0] = last[0] == kMarkFirst ? kMarkSingle : kMarkLast;
        }
    }
    return glyphNumber;
}

namespace {

bool startsGlyph(uint8_t blue) { return blue == kMarkFirst || blue == kMarkSingle; }
bool endsGlyph(uint8_t blue) { return blue == kMarkLast || blue == kMarkSingle; }

// First row from `from` holding a pixel that passes test, or -1.
template <typename Test>
int32_t firstRowWith(const Bytes& image, const BitmapLayout& layout, int32_t from, int32_t width, int32_t height,
                     Test test) {
    for (int32_t y = from; y < height; y++) {
        for (int32_t x = 0; x < width; x++) {
            if (test(pixelAt(image, layout, x, y)[0])) return y;
        }
    }
    return -1;
}

}  // namespace

Text ImageRecognizer::collectText(Bytes& image, int32_t width, int32_t height) {
    recognizedText.clear();
    BitmapLayout layout;
    if (!readBitmapLayout(image, layout)) return recognizedText;
    // Never past the image itself, whatever the caller says it measures.
    const int32_t w = std::min(width, layout.width), h = std::min(height, layout.height);
    if (w <= 0 || h <= 0) return recognizedText;

    std::vector<uint16_t> numbers;
    for (int32_t start = 0; start < h;) {
        const int32_t bandTop = firstRowWith(image, layout, start, w, h, startsGlyph);
        if (bandTop < 0) break;
        const int32_t bandBottom = firstRowWith(image, layout, bandTop, w, h, endsGlyph);
        if (bandBottom < 0) break;

        for (int32_t x = 0; x < w; x++) {
            for (int32_t y = bandTop; y <= bandBottom; y++) {
                const uint8_t* pixel = pixelAt(image, layout, x, y);
                if (!startsGlyph(pixel[0])) continue;
                const uint16_t number = static_cast<uint16_t>(pixel[1] | pixel[2] << 8);
                numbers.push_back(number);
                // Paint the glyph's extent black so that its marks are read once.
                if (number == 0 || number > glyphExtents.size()) continue;
                int64_t x0 = x, x1 = int64_t(x) + glyphExtents[number - 1][0];
                int64_t y0 = y, y1 = int64_t(y) + glyphExtents[number - 1][1];
                if (!clipSpan(x0, x1, w) || !clipSpan(y0, y1, h)) continue;
                for (int64_t py = y0; py <= y1; py++) {
                    for (int64_t px = x0; px <= x1; px++) {
                        uint8_t* painted = pixelAt(image, layout, px, py);
                        painted[0] = painted[1] = painted[2] = 0;
                    }
                }
            }
        }
        start = bandBottom + 1;
    }

    // Marks whose number names no glyph (a hand-made image) give no text.
    for (uint16_t number : numbers) {
        if (number >= 1 && number <= sortedTexts.size()) recognizedText += sortedTexts[number - 1];
    }
    return recognizedText;
}

Text ImageRecognizer::recognizeText(const Bytes& image, int32_t left, int32_t top, int32_t right,
                                    int32_t bottom, const Text& colours, int32_t similarity) {
    recognizedText.clear();
    if (libraryLoaded != 1) return recognizedText;
    if (sortedLines.empty()) {
        showMessageBox(kNoSortedLinesMessage, kNoSortedLinesTitle);
        return recognizedText;
    }
    Bytes twoColour = binarizeRegion(image, left, top, right, bottom, colours, similarity);
    BitmapLayout layout;
    if (!readBitmapLayout(twoColour, layout)) return recognizedText;

    glyphExtents.assign(sortedLines.size(), {0, 0});
    sortedTexts.assign(sortedLines.size(), Text());
    for (size_t i = 0; i < sortedLines.size(); i++) {
        // Marks have room for 16-bit glyph numbers only.
        const int32_t number = static_cast<int32_t>(i + 1);
        if (number > kMaxGlyphNumber) break;
        LibraryEntry entry;
        if (!readLibraryLine(sortedLines[i], entry)) continue;
        GlyphMeasures m;
        Bytes glyph = glyphMatrix(entry.text, m);
        if (glyph.empty()) continue;
        if (glyphFits(twoColour, glyph, left, top, right, bottom) == -1) {
            showMessageBox(kGlyphTooLargeMessage, Text());
            continue;
        }
        glyphExtents[i] = {saturate(int64_t(m.right) - m.left + m.leadingGap + m.trailingGap),
                           saturate(int64_t(m.bottom) - m.top + m.extraRows)};
        sortedTexts[i] = entry.text;
        markGlyph(twoColour, glyph, left, top, right, bottom, m, number);
    }
    return collectText(twoColour, layout.width, layout.height);
}
