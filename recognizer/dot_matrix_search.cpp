// Dot-matrix text search: finds a word, or the first of several, drawn in
// library glyphs, piece after piece from left to right.

#include <unordered_set>

#include "common/bitmap.h"
#include "recognizer/dot_matrix_internal.h"
#include "recognizer/image_recognizer.h"
#include "recognizer/message_box.h"

using namespace dotmatrix;

namespace {

// Cuts word into library texts, longest prefix first (lengths in bytes).
// False when some rest of the word starts with no library text.
bool decomposeWord(const Text& word, const std::unordered_set<Text>& texts, std::vector<Text>& pieces) {
    pieces.clear();
    size_t at = 0;
    while (at < word.size()) {
        size_t length = word.size() - at;
        while (length > 0 && texts.count(word.substr(at, length)) == 0) length--;
        if (length == 0) return false;
        pieces.push_back(word.substr(at, length));
        at += length;
    }
    return !pieces.empty();
}

}  // namespace

int32_t ImageRecognizer::findText(const Bytes& image, int32_t left, int32_t top, int32_t right, int32_t bottom,
                                  const Text& words, const Text& colours, int32_t similarity, int32_t& x,
                                  int32_t& y) const {
    if (libraryLoaded != 1) return -1;
    const std::vector<Text> alternatives = splitText(words, "|");
    Bytes twoColour = binarizeRegion(image, left, top, right, bottom, colours, similarity);
    if (twoColour.empty()) return -1;

    const std::unordered_set<Text> texts(glyphTexts.begin(), glyphTexts.end());
    std::vector<Text> pieces;
    for (size_t a = 0; a < alternatives.size(); a++) {
        if (!decomposeWord(alternatives[a], texts, pieces)) continue;

        // Each piece lies to the right of the one before it, on any row.
        int32_t pieceLeft = left;
        int32_t firstX = -1, firstY = -1;
        bool found = true;
        for (size_t p = 0; p < pieces.size() && found; p++) {
            GlyphMeasures m;
            Bytes glyph = glyphMatrix(pieces[p], m);
            int32_t px = -1, py = -1;
            if (glyph.empty()) {
                found = false;
            } else if (glyphFits(twoColour, glyph, pieceLeft, top, right, bottom) == -1) {
                showMessageBox(kGlyphTooLargeMessage, Text());
                found = false;
            } else {
                found = findGlyph(twoColour, glyph, pieceLeft, top, right, bottom, m, px, py) == 1;
            }
            if (!found) break;
            if (p == 0) {
                firstX = px;
                firstY = py;
            }
            pieceLeft = saturate(int64_t(px) + m.right + m.trailingGap + 1);
        }
        if (!found) {
            x = y = -1;
            continue;
        }
        x = firstX;
        y = firstY;
        return static_cast<int32_t>(a);
    }
    return -1;
}

int32_t ImageRecognizer::findGlyph(const Bytes& image, const Bytes& glyph, int32_t left, int32_t top, int32_t right,
                                   int32_t bottom, const GlyphMeasures& m, int32_t& x, int32_t& y) const {
    x = y = -1;
    BitmapLayout imageLayout, glyphLayout;
    if (!readBitmapLayout(image, imageLayout) || !readBitmapLayout(glyph, glyphLayout)) return 0;

    const ShapeBox box = shapeBoxOf(glyphLayout, m.left, m.top, m.right, m.bottom);
    ScanRange range;
    if (!scanRange(imageLayout, left, top, right, bottom, m.right, m.bottom, box.right, box.bottom, range))
        return 0;

    const uint8_t* corner = pixelAt(glyph, glyphLayout, 0, 0);
    // A pixel differs when its red and its green bytes both differ.
    auto same = [](const uint8_t* a, const uint8_t* b) { return a[2] == b[2] || a[1] == b[1]; };
    auto isDot = [](const uint8_t* pixel) { return pixel[2] == 255 && pixel[1] == 255; };
    for (int64_t i = range.top; i <= range.bottom; i++) {
        for (int64_t j = range.left; j <= range.right; j++) {
            const uint8_t* start = pixelAt(image, imageLayout, j, i);
            if (start[0] != corner[0] || start[1] != corner[1] || start[2] != corner[2]) continue;
            if (!shapeMatches(image, imageLayout, glyph, glyphLayout, box, j, i, same)) continue;
            GlyphArea area;
            if (!cleanAreaAt(image, imageLayout, j, i, m.bottom, m.leadingGap, m.trailingGap, m.extraRows,
                             m.dotCount, isDot, area))
                continue;
            x = static_cast<int32_t>(j);
            y = static_cast<int32_t>(i);
            return 1;
        }
    }
    return 0;
}
