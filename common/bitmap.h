// BMP images held in memory (BitmapBytes): a 14-byte file header, a 40-byte
// info header and bottom-up pixel rows padded to a multiple of 4 bytes.
//
// Readers take width, height, bits per pixel and info-header size from the
// headers and address every pixel as 3 bytes (blue, green, red). Pixel data
// begins right after the info header; the file header's pixel offset is not
// consulted. readBitmapLayout checks all of it against the buffer's length,
// so that every pixel it lets a caller address lies inside the buffer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/text.h"

struct BitmapLayout {
    int32_t width = 0;   // pixels, > 0
    int32_t height = 0;  // pixels, > 0; rows stored bottom-up
    uint32_t stride = 0; // bytes per stored row
    size_t pixelOffset = 0;  // 14 + info-header size

    // Byte offset of pixel (x, y), y counted from the top row of the picture.
    size_t offsetOf(int32_t x, int32_t y) const {
        return pixelOffset + static_cast<size_t>(height - 1 - y) * stride + 3 * static_cast<size_t>(x);
    }
    bool contains(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

constexpr size_t kBitmapFileHeaderSize = 14;
constexpr size_t kBitmapInfoHeaderSize = 40;
constexpr size_t kBitmapHeadersSize = kBitmapFileHeaderSize + kBitmapInfoHeaderSize;

inline uint32_t readLe32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline uint16_t readLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline void writeLe32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); p[2] = uint8_t(v >> 16); p[3] = uint8_t(v >> 24);
}
inline void writeLe16(uint8_t* p, uint16_t v) { p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); }

// True when the buffer starts with the signature "BM".
bool hasBitmapSignature(const uint8_t* data, size_t length);

// Reads the layout of a bitmap whose pixels are addressed as 3 bytes each.
// Fails (false) when the headers are incomplete, width or height is 0 or
// negative, the info-header size is not 40..124, bits per pixel is not 24 or
// 32, or the rows do not fit in the buffer. The signature is not tested.
bool readBitmapLayout(const uint8_t* data, size_t length, BitmapLayout& layout);
inline bool readBitmapLayout(const Bytes& bitmap, BitmapLayout& layout) {
    return readBitmapLayout(bitmap.data(), bitmap.size(), layout);
}

// Row stride for a width and depth: ((width * bitsPerPixel + 31) >> 5) << 2.
uint32_t bitmapStride(uint32_t width, uint32_t bitsPerPixel);

// A new all-black bitmap with complete headers ("BM", total length, pixel
// offset 54, 40-byte info header, no colour table). Empty when width or
// height is not positive or the image would not fit in memory limits.
Bytes makeBitmap(int32_t width, int32_t height, uint16_t bitsPerPixel = 24);
