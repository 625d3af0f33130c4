#include "common/text.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

Text bytesToText(const uint8_t* data, size_t length) {
    if (!data) return Text();
    const void* zero = std::memchr(data, 0, length);
    size_t n = zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - data) : length;
    return Text(reinterpret_cast<const char*>(data), n);
}

Text bytesToText(const Bytes& bytes) { return bytesToText(bytes.data(), bytes.size()); }

Bytes textToBytes(const Text& text) { return Bytes(text.begin(), text.end()); }

namespace {

inline unsigned char foldAscii(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c;
}

bool matchesAt(const Text& haystack, size_t at, const Text& needle, bool ignoreCase) {
    if (needle.size() > haystack.size() - at) return false;
    if (!ignoreCase) return haystack.compare(at, needle.size(), needle) == 0;
    // Walk the needle by characters: double-byte ones must match exactly,
    // single bytes may differ in ASCII case. Since both sides start on a
    // character boundary, equal bytes keep them aligned.
    for (size_t k = 0; k < needle.size();) {
        size_t len = charLengthAt(needle, k);
        if (len == 2) {
            if (haystack.compare(at + k, 2, needle, k, 2) != 0) return false;
        } else if (foldAscii(static_cast<unsigned char>(haystack[at + k])) !=
                   foldAscii(static_cast<unsigned char>(needle[k]))) {
            return false;
        }
        k += len;
    }
    return true;
}

}  // namespace

int findText(const Text& haystack, const Text& needle, int start, bool ignoreCase) {
    if (needle.empty() || haystack.empty()) return 0;
    size_t from = start > 1 ? static_cast<size_t>(start - 1) : 0;
    for (size_t i = 0; i < haystack.size(); i += charLengthAt(haystack, i)) {
        if (i >= from && matchesAt(haystack, i, needle, ignoreCase)) return static_cast<int>(i + 1);
    }
    return 0;
}

int findLastText(const Text& haystack, const Text& needle, bool ignoreCase) {
    if (needle.empty()) return 0;
    int last = 0;
    for (size_t i = 0; i < haystack.size(); i += charLengthAt(haystack, i)) {
        if (matchesAt(haystack, i, needle, ignoreCase)) last = static_cast<int>(i + 1);
    }
    return last;
}

std::vector<Text> splitText(const Text& text, const Text& separator) {
    std::vector<Text> pieces;
    if (text.empty()) return pieces;
    if (separator.empty()) {
        pieces.push_back(text);
        return pieces;
    }
    size_t pieceStart = 0;
    size_t i = 0;
    while (i < text.size()) {
        if (matchesAt(text, i, separator, false)) {
            pieces.push_back(text.substr(pieceStart, i - pieceStart));
            i += separator.size();
            pieceStart = i;
        } else {
            i += charLengthAt(text, i);
        }
    }
    if (pieceStart < text.size()) pieces.push_back(text.substr(pieceStart));
    return pieces;
}

Text trimText(const Text& text) {
    size_t begin = 0, end = text.size();
    for (;;) {
        if (begin < end && text[begin] == ' ') {
            ++begin;
        } else if (end - begin >= 2 && static_cast<unsigned char>(text[begin]) == 0xA1 &&
                   static_cast<unsigned char>(text[begin + 1]) == 0xA1) {
            begin += 2;
        } else {
            break;
        }
    }
    // Trailing side: walk characters from the start so that a trail byte
    // 0xA1 of some other character is never taken for half a blank.
    size_t keepEnd = begin;
    for (size_t i = begin; i < end; i += charLengthAt(text, i)) {
        size_t len = charLengthAt(text, i);
        bool blank = (len == 1 && text[i] == ' ') ||
                     (len == 2 && static_cast<unsigned char>(text[i]) == 0xA1 &&
                      static_cast<unsigned char>(text[i + 1]) == 0xA1);
        if (!blank) keepEnd = i + len;
    }
    return text.substr(begin, keepEnd - begin);
}

Text toUpperAscii(const Text& text) {
    Text out = text;
    for (size_t i = 0; i < out.size(); i += charLengthAt(out, i)) {
        if (out[i] >= 'a' && out[i] <= 'z') out[i] = static_cast<char>(out[i] - 32);
    }
    return out;
}

Text toLowerAscii(const Text& text) {
    Text out = text;
    for (size_t i = 0; i < out.size(); i += charLengthAt(out, i)) {
        if (out[i] >= 'A' && out[i] <= 'Z') out[i] = static_cast<char>(out[i] + 32);
    }
    return out;
}

bool equalsIgnoreCase(const Text& a, const Text& b) {
    return a.size() == b.size() && (a.empty() || matchesAt(a, 0, b, true));
}

Text leftText(const Text& text, int count) {
    if (count <= 0) return Text();
    return text.substr(0, static_cast<size_t>(count));
}

Text rightText(const Text& text, int count) {
    if (count <= 0) return Text();
    size_t n = static_cast<size_t>(count);
    return n >= text.size() ? text : text.substr(text.size() - n);
}

Text midText(const Text& text, int start, int count) {
    if (count <= 0) return Text();
    size_t from = start > 1 ? static_cast<size_t>(start - 1) : 0;
    if (from >= text.size()) return Text();
    return text.substr(from, static_cast<size_t>(count));
}

Text intToText(int64_t value) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(value));
    return buffer;
}

Text realToText(double value) {
    if (value == 0) return "0";  // also -0
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.13g", value);
    return buffer;
}

int32_t textToInt(const Text& text) {
    size_t i = 0, n = text.size();
    auto byteAt = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    while (i < n && (byteAt(i) == ' ' || (byteAt(i) == 0xA1 && i + 1 < n && byteAt(i + 1) == 0xA1)))
        i += byteAt(i) == ' ' ? 1 : 2;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int64_t value = 0;
    const int64_t limit = int64_t(std::numeric_limits<int32_t>::max()) + 1;
    for (;;) {
        int digit;
        if (i < n && byteAt(i) >= '0' && byteAt(i) <= '9') {
            digit = byteAt(i) - '0';
            i += 1;
        } else if (i + 1 < n && byteAt(i) == 0xA3 && byteAt(i + 1) >= 0xB0 && byteAt(i + 1) <= 0xB9) {
            digit = byteAt(i + 1) - 0xB0;
            i += 2;
        } else {
            break;
        }
        value = value * 10 + digit;
        if (value > limit) value = limit;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int32_t>::max()) value = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}

int32_t realToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}
