// A plain reading of the find-image rule, candidate by candidate and pixel by
// pixel, with nothing resolved ahead and nothing skipped. The tests and the
// fuzzer check the real search against it.
#pragma once

#include <cstdint>
#include <cstdlib>

#include "common/bitmap.h"
#include "common/text.h"

namespace reference {

struct Picture {
    const uint8_t* data = nullptr;
    int32_t width = 0, height = 0;
    size_t stride = 0, pixels = 0;

    explicit Picture(const Bytes& b) : data(b.data()) {
        uint32_t info = readLe32(&b[14]);
        width = int32_t(readLe32(&b[18]));
        height = int32_t(readLe32(&b[22]));
        uint32_t bits = readLe16(&b[28]);
        stride = ((size_t(width) * bits + 31) >> 5) << 2;
        pixels = 14 + size_t(info);
    }
    const uint8_t* at(int32_t x, int32_t y) const {
        return data + pixels + size_t(height - 1 - y) * stride + 3 * size_t(x);
    }
};

inline bool sameColour(const uint8_t* a, const uint8_t* b) { return a[0] == b[0] && a[1] == b[1] && a[2] == b[2]; }

inline int hexValue(char ch) {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    return 0;
}

inline int32_t findImage(const Bytes& image, const Bytes& templ, int32_t left, int32_t top, int32_t right,
                         int32_t bottom, const Text& tolerance, int32_t similarity, int32_t direction,
                         int32_t& xOut, int32_t& yOut) {
    auto nothing = [&] { xOut = yOut = -1; return 0; };
    if (image.size() < 2 || templ.size() < 2 || tolerance.empty()) return nothing();
    if (image[0] != 'B' || image[1] != 'M' || templ[0] != 'B' || templ[1] != 'M') return nothing();
    BitmapLayout unused;
    if (!readBitmapLayout(image, unused) || !readBitmapLayout(templ, unused)) return nothing();
    Picture img(image), tpl(templ);

    if (tpl.height > img.height || tpl.width > img.width) return -1;

    if (left < 0) left = 0;
    if (top < 0) top = 0;
    if (left >= img.width) left = img.width - 1;
    if (top >= img.height) top = img.height - 1;
    if (uint32_t(right) < uint32_t(left)) right = left;
    if (uint32_t(bottom) < uint32_t(top)) bottom = top;
    if (uint32_t(right) >= uint32_t(img.width)) right = img.width - 1;
    if (uint32_t(bottom) >= uint32_t(img.height)) bottom = img.height - 1;
    if (left + tpl.width - 1 > right || top + tpl.height - 1 > bottom) return -1;
    int32_t lastX = right - (tpl.width - 1), lastY = bottom - (tpl.height - 1);

    if (similarity > 100) similarity = 100;
    if (similarity < 0) similarity = 0;

    int32_t w = tpl.width, h = tpl.height;
    bool background = sameColour(tpl.at(0, 0), tpl.at(w - 1, 0)) && sameColour(tpl.at(0, 0), tpl.at(0, h - 1)) &&
                      sameColour(tpl.at(0, 0), tpl.at(w - 1, h - 1));
    const uint8_t* bg = tpl.at(0, 0);
    int32_t ax = 0, ay = 0;
    if (background) {
        for (int32_t i = w * h - 1; i >= 0; i--) {  // the first one in row order wins
            if (!sameColour(tpl.at(i % w, i / w), bg)) { ax = i % w; ay = i / w; }
        }
    }

    // Tolerance by red, green, blue; a missing character is a 0 digit.
    int d[3];
    for (int k = 0; k < 3; k++) {
        int high = size_t(2 * k) < tolerance.size() ? hexValue(tolerance[2 * k]) : 0;
        int low = size_t(2 * k + 1) < tolerance.size() ? hexValue(tolerance[2 * k + 1]) : 0;
        d[k] = high * 16 + low;
    }
    auto matches = [&](const uint8_t* i, const uint8_t* t) {
        const int byteOf[3] = {2, 1, 0};  // red, green, blue
        int n = 0;
        uint32_t sum = 0;
        for (int k = 0; k < 3; k++) {
            int diff = std::abs(int(i[byteOf[k]]) - int(t[byteOf[k]]));
            if (d[k] > 0) {
                if (diff > d[k]) return false;
            } else {
                n++;
                sum += uint32_t(diff * diff);
                if (similarity == 100 && diff != 0) return false;
            }
        }
        if (similarity == 100 || n == 0) return true;
        uint32_t scale = n == 3 ? 441 : n == 2 ? 360 : 255;
        uint32_t q = uint32_t(100 - similarity) * scale;
        q *= q;
        uint32_t limit = q / 10000 + (q % 10000 ? 1 : 0);
        return sum <= limit;
    };
    auto placementMatches = [&](int32_t x, int32_t y) {
        if (!matches(img.at(x + ax, y + ay), tpl.at(ax, ay))) return false;
        for (int32_t r = 0; r < h; r++) {
            for (int32_t c = 0; c < w; c++) {
                if (background && sameColour(tpl.at(c, r), bg)) continue;
                if (!matches(img.at(x + c, y + r), tpl.at(c, r))) return false;
            }
        }
        return true;
    };

    bool rowsDown, columnsRight;
    switch (direction) {
    case 0: rowsDown = true; columnsRight = true; break;
    case 1: rowsDown = false; columnsRight = true; break;
    case 2: rowsDown = true; columnsRight = false; break;
    default: rowsDown = false; columnsRight = false; break;
    }
    for (int32_t k = 0; k <= lastY - top; k++) {
        int32_t y = rowsDown ? top + k : lastY - k;
        for (int32_t j = 0; j <= lastX - left; j++) {
            int32_t x = columnsRight ? left + j : lastX - j;
            if (placementMatches(x, y)) {
                xOut = x;
                yOut = y;
                return 1;
            }
        }
    }
    return nothing();
}

}  // namespace reference
