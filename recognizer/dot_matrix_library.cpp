// Dot-matrix font library: loading a library file, ordering its glyphs for
// recognition, and turning one glyph into a bitmap with its measures.

#include <algorithm>
#include <cstdio>
#include <utility>

#include "common/bitmap.h"
#include "recognizer/dot_matrix_internal.h"
#include "recognizer/image_recognizer.h"
#include "recognizer/message_box.h"

using namespace dotmatrix;

bool dotmatrix::readLibraryLine(const Text& line, LibraryEntry& entry) {
    std::vector<Text> fields = splitText(line, "$");
    if (fields.size() < 3) return false;
    std::vector<Text> numbers = splitText(fields[2], ".");
    if (numbers.size() < 3) return false;
    entry.dots = fields[0];
    entry.text = fields[1];
    entry.leadingGap = textToInt(numbers[0]);
    entry.trailingGap = textToInt(numbers[1]);
    entry.dotCount = textToInt(numbers[2]);
    entry.height = fields.size() > 3 ? textToInt(fields[3]) : 0;
    return true;
}

namespace {

// The whole file, or nothing when it cannot be opened or read.
Bytes readWholeFile(const Text& path) {
    Bytes data;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return data;
    uint8_t buffer[16 * 1024];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) data.insert(data.end(), buffer, buffer + n);
    std::fclose(file);
    return data;
}

int32_t dotCountOf(const Text& line) {
    LibraryEntry entry;
    return readLibraryLine(line, entry) ? entry.dotCount : 0;
}

}  // namespace

void ImageRecognizer::loadLibrary(const Text& path) {
    Bytes data = readWholeFile(path);
    if (data.empty()) {
        libraryLoaded = 0;
        showMessageBox(kLibraryMissingMessage, kLibraryErrorTitle);
        return;
    }
    std::vector<Text> lines = splitText(bytesToText(data), "\r\n");
    if (lines.empty()) {
        libraryLines.clear();
        libraryLoaded = 0;
        showMessageBox(kLibraryEmptyMessage, kLibraryErrorTitle);
        return;
    }

    // Recognition and search cannot go on past a line they cannot read, so
    // one such line (an empty one between others too) refuses the library
    // whole: nothing of it is taken and the object is left unloaded.
    std::vector<Text> texts;
    texts.reserve(lines.size());
    for (const Text& line : lines) {
        LibraryEntry entry;
        if (!readLibraryLine(line, entry) || entry.dotCount <= 0) {
            libraryLoaded = 0;
            showMessageBox(kLibraryMissingMessage, kLibraryErrorTitle);
            return;
        }
        texts.push_back(std::move(entry.text));
    }

    libraryLines = std::move(lines);
    libraryLoaded = 1;
    glyphTexts = std::move(texts);
    glyphCount = static_cast<int32_t>(libraryLines.size());
    sortLibrary();
}

void ImageRecognizer::sortLibrary() {
    // Most dots first, so that a glyph containing a smaller one claims its
    // dots before the smaller one is tried; equal counts keep file order. A
    // line without a positive dot count can never be recognised and is left
    // out.
    std::vector<std::pair<int32_t, size_t>> order;
    order.reserve(libraryLines.size());
    for (size_t i = 0; i < libraryLines.size(); i++) {
        int32_t dots = dotCountOf(libraryLines[i]);
        if (dots > 0) order.emplace_back(dots, i);
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    sortedLines.clear();
    sortedLines.reserve(order.size());
    for (const auto& item : order) sortedLines.push_back(libraryLines[item.second]);
}

Bytes ImageRecognizer::glyphMatrix(const Text& key, GlyphMeasures& measures) const {
    if (glyphCount <= 0) {
        showMessageBox(kNoGlyphsMessage, kNoGlyphsTitle);
        return Bytes();
    }
    const Text needle = "$" + key + "$";
    const Text* found = nullptr;
    for (const Text& line : libraryLines) {
        if (::findText(line, needle) > 0) {
            found = &line;
            break;
        }
    }
    LibraryEntry entry;
    if (!found || !readLibraryLine(*found, entry)) return Bytes();

    const Text bits = hexToBits(entry.dots);
    const size_t columns = (bits.size() + kMatrixRows - 1) / kMatrixRows;
    if (columns == 0 || columns > 0x7FFFFFFF) return Bytes();
    Bytes bitmap = makeBitmap(static_cast<int32_t>(columns), kMatrixRows);
    BitmapLayout layout;
    if (!readBitmapLayout(bitmap, layout)) return Bytes();

    int32_t top = kMatrixRows, bottom = -1, right = -1;
    for (size_t n = 0; n < bits.size(); n++) {
        if (bits[n] != '1') continue;
        int32_t column = static_cast<int32_t>(n / kMatrixRows);
        int32_t row = static_cast<int32_t>(n % kMatrixRows);
        uint8_t* pixel = pixelAt(bitmap, layout, column, row);
        pixel[0] = pixel[1] = pixel[2] = 255;
        top = std::min(top, row);
        bottom = std::max(bottom, row);
        right = std::max(right, column);
    }
    // A matrix without a set dot has nothing that could be found.
    if (bottom < 0) return Bytes();

    measures.left = 0;
    measures.top = top;
    measures.right = right;
    measures.bottom = bottom;
    measures.dotCount = entry.dotCount;
    measures.leadingGap = entry.leadingGap;
    measures.trailingGap = entry.trailingGap;
    measures.extraRows = entry.height > kMatrixRows ? entry.height - kMatrixRows : 0;
    return bitmap;
}

Text ImageRecognizer::hexToBits(const Text& hex) const {
    Text bits;
    bits.reserve(hex.size() * 4);
    for (size_t i = 0; i < hex.size();) {
        size_t length = charLengthAt(hex, i);
        bits += hexDigitToBits(hex.substr(i, length));
        i += length;
    }
    return bits;
}

Text ImageRecognizer::hexDigitToBits(const Text& digit) const {
    if (digit.size() != 1) return Text();
    const char c = digit[0];
    int value;
    if (c >= '0' && c <= '9') {
        value = c - '0';
    } else if (c >= 'A' && c <= 'F') {
        value = c - 'A' + 10;
    } else {
        return Text();  // lower-case digits included
    }
    Text bits(4, '0');
    for (int i = 0; i < 4; i++) {
        if (value & (8 >> i)) bits[i] = '1';
    }
    return bits;
}
