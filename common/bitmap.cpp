#include "common/bitmap.h"

bool hasBitmapSignature(const uint8_t* data, size_t length) {
    return data && length >= 2 && data[0] == 'B' && data[1] == 'M';
}

uint32_t bitmapStride(uint32_t width, uint32_t bitsPerPixel) {
    return static_cast<uint32_t>(((uint64_t(width) * bitsPerPixel + 31) >> 5) << 2);
}

bool readBitmapLayout(const uint8_t* data, size_t length, BitmapLayout& layout) {
    if (!data || length < kBitmapHeadersSize) return false;
    uint32_t infoSize = readLe32(data + 14);
    uint32_t width = readLe32(data + 18);
    uint32_t height = readLe32(data + 22);
    uint16_t bits = readLe16(data + 28);
    if (infoSize < kBitmapInfoHeaderSize || infoSize > 124) return false;
    if (bits != 24 && bits != 32) return false;
    if (width == 0 || height == 0 || width > 0x7FFFFFFFu || height > 0x7FFFFFFFu) return false;
    uint64_t stride = ((uint64_t(width) * bits + 31) >> 5) << 2;
    uint64_t pixelOffset = kBitmapFileHeaderSize + uint64_t(infoSize);
    // stride <= 2^33 and height < 2^31, so the product fits in 64 bits.
    uint64_t end = pixelOffset + stride * height;
    if (stride > 0xFFFFFFFFu || end > length) return false;
    layout.width = static_cast<int32_t>(width);
    layout.height = static_cast<int32_t>(height);
    layout.stride = static_cast<uint32_t>(stride);
    layout.pixelOffset = static_cast<size_t>(pixelOffset);
    return true;
}

Bytes makeBitmap(int32_t width, int32_t height, uint16_t bitsPerPixel) {
    if (width <= 0 || height <= 0 || (bitsPerPixel != 24 && bitsPerPixel != 32)) return Bytes();
    uint64_t stride = bitmapStride(static_cast<uint32_t>(width), bitsPerPixel);
    uint64_t imageSize = stride * uint64_t(height);
    uint64_t total = kBitmapHeadersSize + imageSize;
    if (total > 0x7FFFFFFFu) return Bytes();
    Bytes bmp(static_cast<size_t>(total), 0);
    uint8_t* p = bmp.data();
    p[0] = 'B';
    p[1] = 'M';
    writeLe32(p + 2, static_cast<uint32_t>(total));
    writeLe32(p + 10, kBitmapHeadersSize);
    writeLe32(p + 14, kBitmapInfoHeaderSize);
    writeLe32(p + 18, static_cast<uint32_t>(width));
    writeLe32(p + 22, static_cast<uint32_t>(height));
    writeLe16(p + 26, 1);  // planes
    writeLe16(p + 28, bitsPerPixel);
    writeLe32(p + 34, static_cast<uint32_t>(imageSize));
    return bmp;
}
