// Helpers shared by the dot-matrix files of ImageRecognizer.
#pragma once

#include <algorithm>
#include <cstdint>

#include "common/bitmap.h"
#include "common/text.h"

namespace dotmatrix {

// Message texts and titles, as the user sees them.
constexpr const char* kLibraryMissingMessage = "字库点阵信息为空，或字库路径不正确，请检查！";
constexpr const char* kLibraryEmptyMessage = "字库内容为空！！！";
constexpr const char* kLibraryErrorTitle = "                        错误警告：";
constexpr const char* kNoGlyphsMessage = "点阵数量为 0，请检查字库路径以及字库是否存在图形文字点阵";
constexpr const char* kNoGlyphsTitle = "警告：";
constexpr const char* kNoSortedLinesMessage = "字库内容是否，请检查";
constexpr const char* kNoSortedLinesTitle = "错误：调用失败";
constexpr const char* kGlyphTooLargeMessage = "点阵图像大于识别区域，识别结果可能会错误";

// Matrix height in rows; the bits of a glyph fill it column by column.
constexpr int32_t kMatrixRows = 11;

// Blue mark codes of a marked two-colour image.
constexpr uint8_t kMarkFirst = 150;
constexpr uint8_t kMarkInner = 100;
constexpr uint8_t kMarkLast = 200;
constexpr uint8_t kMarkSingle = 180;

// Marks hold glyph numbers in 16 bits.
constexpr int32_t kMaxGlyphNumber = 0xFFFF;

// One library line, cut into its fields.
struct LibraryEntry {
    Text dots;  // field 1, hex digits
    Text text;  // field 2
    int32_t leadingGap = 0;
    int32_t trailingGap = 0;
    int32_t dotCount = 0;
    int32_t height = 0;  // field 4, 0 when the line has none
};

// False when the line has fewer than three "$" fields or its third field
// fewer than three "." numbers. The dot count is not checked here.
bool readLibraryLine(const Text& line, LibraryEntry& entry);

// Clips the inclusive span first..last to 0..size-1. False when nothing is
// left. Spans are 64-bit so that positions plus gaps cannot overflow.
inline bool clipSpan(int64_t& first, int64_t& last, int32_t size) {
    first = std::max<int64_t>(first, 0);
    last = std::min<int64_t>(last, int64_t(size) - 1);
    return first <= last;
}

inline int32_t saturate(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

inline uint8_t* pixelAt(Bytes& bitmap, const BitmapLayout& layout, int64_t x, int64_t y) {
    return bitmap.data() + layout.offsetOf(static_cast<int32_t>(x), static_cast<int32_t>(y));
}
inline const uint8_t* pixelAt(const Bytes& bitmap, const BitmapLayout& layout, int64_t x, int64_t y) {
    return bitmap.data() + layout.offsetOf(static_cast<int32_t>(x), static_cast<int32_t>(y));
}

// The area a glyph placed with its matrix at (x, y) occupies in a marked
// image: its rows, down to the extra rows, and its columns, widened by the
// gaps. The column span runs to x + bottom, like the row span.
struct GlyphArea {
    int64_t left, top, right, bottom;
};
inline GlyphArea glyphAreaAt(int64_t x, int64_t y, int32_t glyphBottom, int32_t leadingGap,
                             int32_t trailingGap, int32_t extraRows) {
    return {x - leadingGap, y, x + glyphBottom + trailingGap, y + glyphBottom + extraRows};
}

// The positions (x, y) at which the shape box of a glyph (columns
// shapeLeft..shapeRight, rows shapeTop..shapeBottom of the glyph bitmap,
// already inside it) can be compared with the rectangle left..right,
// top..bottom of an image, without reading outside the image. The
// rectangle's own limit for x is right - glyphRight, for y bottom -
// glyphBottom.
struct ScanRange {
    int64_t left, top, right, bottom;
};
inline bool scanRange(const BitmapLayout& image, int32_t left, int32_t top, int32_t right, int32_t bottom,
                      int32_t glyphRight, int32_t glyphBottom, int32_t shapeRight, int32_t shapeBottom,
                      ScanRange& range) {
    range.left = std::max<int64_t>(left, 0);
    range.top = std::max<int64_t>(top, 0);
    range.right = std::min<int64_t>(int64_t(right) - glyphRight, int64_t(image.width) - 1);
    range.bottom = std::min<int64_t>(int64_t(bottom) - glyphBottom, int64_t(image.height) - 1);
    range.right = std::min<int64_t>(range.right, int64_t(image.width) - 1 - std::max(shapeRight, 0));
    range.bottom = std::min<int64_t>(range.bottom, int64_t(image.height) - 1 - std::max(shapeBottom, 0));
    return range.left <= range.right && range.top <= range.bottom;
}

// The shape box of a glyph, columns left..right and rows top..bottom of its
// bitmap, kept inside the bitmap.
struct ShapeBox {
    int32_t left, top, right, bottom;
};
inline ShapeBox shapeBoxOf(const BitmapLayout& glyph, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    return {std::max(left, 0), std::max(top, 0), std::min(right, glyph.width - 1), std::min(bottom, glyph.height - 1)};
}

// True when every pixel of the shape box agrees with the image pixel under
// it, the glyph's bitmap placed at (x, y): same(imagePixel, glyphPixel).
template <typename Same>
bool shapeMatches(const Bytes& image, const BitmapLayout& imageLayout, const Bytes& glyph,
                  const BitmapLayout& glyphLayout, const ShapeBox& box, int64_t x, int64_t y, Same same) {
    for (int32_t row = box.top; row <= box.bottom; row++) {
        for (int32_t column = box.left; column <= box.right; column++) {
            if (!same(pixelAt(image, imageLayout, x + column, y + row), pixelAt(glyph, glyphLayout, column, row)))
                return false;
        }
    }
    return true;
}

// The glyph area at (x, y), clipped to the image, when it holds exactly
// dotCount pixels that isDot accepts: no foreign dot touches the glyph.
template <typename IsDot>
bool cleanAreaAt(const Bytes& image, const BitmapLayout& layout, int64_t x, int64_t y, int32_t glyphBottom,
                 int32_t leadingGap, int32_t trailingGap, int32_t extraRows, int32_t dotCount, IsDot isDot,
                 GlyphArea& area) {
    area = glyphAreaAt(x, y, glyphBottom, leadingGap, trailingGap, extraRows);
    if (!clipSpan(area.left, area.right, layout.width) || !clipSpan(area.top, area.bottom, layout.height))
        return false;
    int64_t dots = 0;
    for (int64_t py = area.top; py <= area.bottom && dots <= dotCount; py++) {
        for (int64_t px = area.left; px <= area.right; px++) {
            if (isDot(pixelAt(image, layout, px, py))) dots++;
        }
    }
    return dots == dotCount;
}

}  // namespace dotmatrix
