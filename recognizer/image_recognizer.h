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
    // (declared below by the dot-matrix implementation)
};
