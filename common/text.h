// Text and Bytes, and the text operations every part of the program shares.
//
// Text is a byte string in the ANSI code page 936 (GBK). All searches, cuts
// and comparisons here respect its double-byte characters: a byte of 0x80 or
// above and the byte after it form one character, and no search ever matches
// starting inside one. Positions count bytes from 1; 0 means "not found".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using Text = std::string;
using Bytes = std::vector<uint8_t>;

// Bytes to Text stops at the first zero byte; Text to Bytes drops nothing but
// the terminating zero (which std::string keeps out of its length anyway).
Text bytesToText(const Bytes& bytes);
Text bytesToText(const uint8_t* data, size_t length);
Bytes textToBytes(const Text& text);

inline bool isLeadByte(unsigned char b) { return b >= 0x80; }

// Length in bytes (1 or 2) of the character starting at byte index i
// (0-based). A lead byte at the very end counts as a character of one byte.
inline size_t charLengthAt(const Text& text, size_t i) {
    return (isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
}

// First occurrence of needle at or after position start (1-based), starting
// on a character boundary. Returns its 1-based position or 0. An empty needle
// is never found. With ignoreCase only ASCII letters are folded.
int findText(const Text& haystack, const Text& needle, int start = 1, bool ignoreCase = false);
// Last occurrence of needle starting on a character boundary, or 0.
int findLastText(const Text& haystack, const Text& needle, bool ignoreCase = false);

// Splits at every separator found by findText. Empty pieces between
// separators are kept; a trailing separator gives no empty last piece; an
// empty text gives no piece. An empty separator gives the whole text.
std::vector<Text> splitText(const Text& text, const Text& separator);

// Removes ASCII blanks (0x20) and full-width blanks (A1 A1) at both ends.
Text trimText(const Text& text);

Text toUpperAscii(const Text& text);
Text toLowerAscii(const Text& text);
bool equalsIgnoreCase(const Text& a, const Text& b);

// Cuts by 1-based byte positions, clamped to the text.
Text leftText(const Text& text, int count);
Text rightText(const Text& text, int count);
Text midText(const Text& text, int start, int count);

// Value of a hexadecimal digit (0-9, A-F, a-f), or -1 for any other byte.
inline int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Number conversions.
Text intToText(int64_t value);
// At most 13 significant digits; whole numbers carry no decimal point.
Text realToText(double value);
// Leading number: blanks skipped, optional sign, ASCII or full-width digits
// (A3 B0 to A3 B9); 0 when there is none. Saturates at the int32 range.
int32_t textToInt(const Text& text);
// Truncation toward zero, saturating at the int32 range (NaN gives 0).
int32_t realToInt(double value);
