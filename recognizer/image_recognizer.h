// ImageRecognizer: searches 24-bit bitmaps held in memory (BitmapBytes).
//
// Two families of operations: template matching (findImage), which the panel
// uses on every scan, and recognition and search of text drawn in a
// dot-matrix font library. One object per use, on one thread; copies share
// nothing with their source.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "common/text.h"

class ImageRecognizer {
public:
    // ---- Dot-matrix font library state (filled by loadLibrary and recognizeText).
    std::vector<Text> libraryLines;   // library file lines, in file order
    int32_t glyphCount = 0;           // entries in libraryLines after a successful load
    std::vector<Text> glyphTexts;     // per library line: the text it stands for
    std::vector<Text> sortedLines;    // library lines by descending dot count
    std::vector<std::array<int32_t, 2>> glyphExtents;  // per sorted line: width, height
    std::vector<Text> sortedTexts;    // per sorted line: its text
    Text recognizedText;              // result of the last recognizeText
    int32_t libraryLoaded = 0;        // 1 once a library with at least one line is loaded

    // ---- Template matching.

    // Finds templateImage inside the rectangle left..right, top..bottom
    // (inclusive) of image. colourTolerance is RRGGBB hex, similarity a
    // percentage, direction the scan order 0..3. Returns 1 (found, xOut/yOut
    // = top-left corner), 0 (not found or unusable input, xOut = yOut = -1)
    // or -1 (the template cannot fit; xOut, yOut untouched).
    int32_t findImage(const Bytes& image, const Bytes& templateImage, int32_t left, int32_t top,
                      int32_t right, int32_t bottom, const Text& colourTolerance, int32_t similarity,
                      int32_t direction, int32_t& xOut, int32_t& yOut) const;

    // ---- Dot-matrix operations.
    //
    // A font library file holds one glyph per CR LF line, four "$" fields:
    // the dots as upper-case hex (11 rows, filled column by column, most
    // significant bit first), the text the glyph stands for, "leading gap .
    // trailing gap . dot count", and the glyph's height in rows. Messages go
    // through showMessageBox (recognizer/message_box.h).

    // What glyphMatrix tells about one glyph. left is always 0; top, right
    // and bottom bound the set dots; extraRows = height - 11 for glyphs
    // taller than the matrix, else 0.
    struct GlyphMeasures {
        int32_t left = 0;
        int32_t top = 0;
        int32_t right = 0;
        int32_t bottom = 0;
        int32_t dotCount = 0;
        int32_t leadingGap = 0;
        int32_t trailingGap = 0;
        int32_t extraRows = 0;
    };

    // Reads the library at path (code page 936). A missing, empty or
    // malformed file leaves the object unloaded, with a message.
    void loadLibrary(const Text& path);
    // Rebuilds sortedLines: most dots first, file order among equals.
    void sortLibrary();
    // The glyph bitmap (24-bit, one column per 11 bits, 11 rows, set dots
    // white) of the first library line containing "$" + key + "$", and its
    // measures. Empty, measures untouched, when there is no such line or the
    // line has no set dot.
    Bytes glyphMatrix(const Text& key, GlyphMeasures& measures) const;
    // "0".."9", "A".."F" to four characters of 0 and 1; anything else to "".
    Text hexToBits(const Text& hex) const;
    Text hexDigitToBits(const Text& digit) const;

    // Recognises the text in the rectangle left..right, top..bottom
    // (inclusive) of image. colours is a list of "RRGGBB-rrggbb" entries
    // (colour, then red/green/blue tolerances), one separator between
    // entries; similarity is 0..100. Returns a copy of recognizedText.
    Text recognizeText(const Bytes& image, int32_t left, int32_t top, int32_t right, int32_t bottom,
                       const Text& colours, int32_t similarity);
    // A copy of image, black outside the rectangle and inside it white where
    // a pixel matches one of the colours, black elsewhere. Empty when image
    // is not a usable bitmap.
    Bytes binarizeRegion(const Bytes& image, int32_t left, int32_t top, int32_t right, int32_t bottom,
                         const Text& colours, int32_t similarity) const;
    // 0 when glyph may be searched in the rectangle of image, -1 when the
    // rectangle is bad or the glyph is larger than the whole image.
    int32_t glyphFits(const Bytes& image, const Bytes& glyph, int32_t left, int32_t top, int32_t right,
                      int32_t bottom) const;
    // Marks every clean occurrence of glyph in the two-colour image: blue
    // holds 150 (first pixel of the area), 100, 200 (last) or 180 (both),
    // green and red the glyph number (16 bits, green low). Returns
    // glyphNumber.
    int32_t markGlyph(Bytes& image, const Bytes& glyph, int32_t left, int32_t top, int32_t right,
                      int32_t bottom, const GlyphMeasures& measures, int32_t glyphNumber) const;
    // Reads the marks back line band by line band, left to right, paints
    // each glyph found black and joins the glyphs' texts into
    // recognizedText. width and height are those of the source bitmap.
    Text collectText(Bytes& image, int32_t width, int32_t height);

    // Finds the first of the "|"-separated words drawn in library glyphs in
    // the rectangle. Returns its 0-based position with x, y the top-left of
    // its first glyph, or -1.
    int32_t findText(const Bytes& image, int32_t left, int32_t top, int32_t right, int32_t bottom,
                     const Text& words, const Text& colours, int32_t similarity, int32_t& x,
                     int32_t& y) const;
    // Top-most, then left-most clean occurrence of glyph in the two-colour
    // image: 1 with x, y set, or 0 with x = y = -1.
    int32_t findGlyph(const Bytes& image, const Bytes& glyph, int32_t left, int32_t top, int32_t right,
                      int32_t bottom, const GlyphMeasures& measures, int32_t& x, int32_t& y) const;
};
