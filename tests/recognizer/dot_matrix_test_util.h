// Helpers for the dot-matrix tests: a recording message sink, glyphs drawn
// as small pictures, library files made from them, and images with the
// glyphs drawn in.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/bitmap.h"
#include "common/text.h"
#include "recognizer/image_recognizer.h"
#include "recognizer/message_box.h"

namespace dmtest {

struct Shown {
    Text text;
    Text title;
};

inline std::vector<Shown> gShown;

inline void recordMessage(const Text& text, const Text& title) { gShown.push_back({text, title}); }

// Every dot-matrix test records its messages instead of showing them.
class DotMatrixTest : public ::testing::Test {
protected:
    void SetUp() override {
        gShown.clear();
        previousSink = setMessageSink(recordMessage);
    }
    void TearDown() override { setMessageSink(previousSink); }

    MessageSink previousSink = nullptr;
};

// Message texts and titles, byte for byte.
inline const Text kLibraryMissing = "字库点阵信息为空，或字库路径不正确，请检查！";
inline const Text kLibraryEmpty = "字库内容为空！！！";
inline const Text kLibraryTitle = Text(24, ' ') + "错误警告：";
inline const Text kNoGlyphs = "点阵数量为 0，请检查字库路径以及字库是否存在图形文字点阵";
inline const Text kNoGlyphsTitle = "警告：";
inline const Text kGlyphTooLarge = "点阵图像大于识别区域，识别结果可能会错误";

// A glyph as a picture: rows from the top, '#' a set dot. Up to 11 rows.
struct Glyph {
    Text text;
    std::vector<std::string> rows;
    int lead = 0;
    int trail = 0;
    int height = 11;
};

inline int dotsOf(const Glyph& g) {
    int dots = 0;
    for (const std::string& row : g.rows)
        for (char c : row) dots += c == '#';
    return dots;
}

// Field 1: the picture's columns, 11 bits each, top row first, padded with
// zero bits to whole hex digits.
inline Text hexOf(const Glyph& g) {
    size_t columns = 0;
    for (const std::string& row : g.rows) columns = std::max(columns, row.size());
    std::string bits;
    for (size_t c = 0; c < columns; c++) {
        for (size_t r = 0; r < 11; r++) {
            bool set = r < g.rows.size() && c < g.rows[r].size() && g.rows[r][c] == '#';
            bits += set ? '1' : '0';
        }
    }
    while (bits.size() % 4) bits += '0';
    Text hex;
    for (size_t i = 0; i < bits.size(); i += 4) {
        int value = (bits[i] - '0') * 8 + (bits[i + 1] - '0') * 4 + (bits[i + 2] - '0') * 2 + (bits[i + 3] - '0');
        hex += "0123456789ABCDEF"[value];
    }
    return hex;
}

inline Text lineOf(const Glyph& g) {
    return hexOf(g) + "$" + g.text + "$" + intToText(g.lead) + "." + intToText(g.trail) + "." +
           intToText(dotsOf(g)) + "$" + intToText(g.height);
}

// Writes content to a file of the test's own in the temporary folder.
inline Text writeTempFile(const Text& content) {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    Text path = ::testing::TempDir() + "lb_dm_" + info->test_suite_name() + "_" + info->name() + ".txt";
    FILE* file = std::fopen(path.c_str(), "wb");
    EXPECT_NE(file, nullptr) << path;
    if (file) {
        std::fwrite(content.data(), 1, content.size(), file);
        std::fclose(file);
    }
    return path;
}

inline void loadText(ImageRecognizer& recognizer, const Text& content) {
    Text path = writeTempFile(content);
    recognizer.loadLibrary(path);
    std::remove(path.c_str());
}

inline void loadGlyphs(ImageRecognizer& recognizer, const std::vector<Glyph>& glyphs) {
    Text content;
    for (const Glyph& g : glyphs) content += lineOf(g) + "\r\n";
    loadText(recognizer, content);
    ASSERT_EQ(recognizer.libraryLoaded, 1);
}

inline Text fixturePath(const char* name) { return Text(LB_FIXTURES) + "/" + name; }

inline void setPixel(Bytes& image, int x, int y, uint8_t r, uint8_t g, uint8_t b) {
    BitmapLayout layout;
    ASSERT_TRUE(readBitmapLayout(image, layout));
    ASSERT_TRUE(layout.contains(x, y));
    uint8_t* p = image.data() + layout.offsetOf(x, y);
    p[0] = b;
    p[1] = g;
    p[2] = r;
}

inline const uint8_t* pixelOf(const Bytes& image, int x, int y) {
    BitmapLayout layout;
    if (!readBitmapLayout(image, layout) || !layout.contains(x, y)) return nullptr;
    return image.data() + layout.offsetOf(x, y);
}

// Draws the glyph's dots in white with the picture's top-left at (x, y).
inline void drawGlyph(Bytes& image, const Glyph& g, int x, int y) {
    for (size_t r = 0; r < g.rows.size(); r++) {
        for (size_t c = 0; c < g.rows[r].size(); c++) {
            if (g.rows[r][c] == '#') setPixel(image, x + int(c), y + int(r), 255, 255, 255);
        }
    }
}

// White text on black.
inline const Text kWhite = "FFFFFF-000000";

}  // namespace dmtest
