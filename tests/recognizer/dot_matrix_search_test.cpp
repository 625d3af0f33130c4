// Dot-matrix text search: words cut into library texts, found piece after
// piece from left to right.

#include "tests/recognizer/dot_matrix_test_util.h"

using namespace dmtest;

namespace {

class DotMatrixSearch : public DotMatrixTest {};

using Measures = ImageRecognizer::GlyphMeasures;

const Glyph kO{"O", {"###", "#.#", "###"}, 1, 1};
const Glyph kK{"K", {"#.#", "##.", "#.#"}, 1, 1};
const Glyph kCan{"Can", {"##", "#.", "##"}, 1, 1};
const Glyph kCel{"cel", {"#.", "#.", "##"}, 1, 1};

TEST_F(DotMatrixSearch, SecondAlternativeFoundWhenTheFirstIsIncomplete) {
    // O is on screen without its K; Cancel is there in full.
    ImageRecognizer r;
    loadGlyphs(r, {kO, kK, kCan, kCel});
    Bytes image = makeBitmap(40, 12);
    drawGlyph(image, kO, 2, 2);
    drawGlyph(image, kCan, 14, 3);
    drawGlyph(image, kCel, 24, 3);
    int32_t x = 77, y = 77;
    EXPECT_EQ(r.findText(image, 0, 0, 39, 11, "OK|Cancel", kWhite, 100, x, y), 1);
    EXPECT_EQ(x, 14);
    EXPECT_EQ(y, 3);
    EXPECT_EQ(r.findText(image, 0, 0, 39, 11, "Cancel|OK", kWhite, 100, x, y), 0);
    EXPECT_EQ(r.findText(image, 0, 0, 39, 11, "OK", kWhite, 100, x, y), -1);
    EXPECT_EQ(x, -1);
    EXPECT_EQ(y, -1);
    // Pieces go left to right only.
    EXPECT_EQ(r.findText(image, 0, 0, 39, 11, "celCan", kWhite, 100, x, y), -1);
    EXPECT_TRUE(gShown.empty());
}

TEST_F(DotMatrixSearch, WordsAreCutByLongestPrefix) {
    const Glyph c{"C", {"##", "#.", "##"}, 1, 1};
    const Glyph a{"a", {".#", "##"}, 1, 1};
    const Glyph ca{"Ca", {"###", "#.#", "#.#"}, 1, 1};
    ImageRecognizer r;
    loadGlyphs(r, {c, a, ca});
    Bytes image = makeBitmap(24, 12);
    drawGlyph(image, ca, 5, 2);
    drawGlyph(image, c, 14, 2);

    const struct {
        const char* words;
        int32_t result, x, y;
    } cases[] = {
        {"Ca", 0, 5, 2},       // "Ca", not "C" + "a"
        {"C", 0, 14, 2},
        {"CaC", 0, 5, 2},      // C searched right of Ca
        {"CCa", -1, -1, -1},   // no Ca right of C
        {"a", -1, -1, -1},     // searched, not there
        {"Cx", -1, 77, 77},    // x is in no library line: never searched
        {"Cx|C", 1, 14, 2},
        {"a|Cx", -1, -1, -1},
        {"", -1, 77, 77},
        {"|C", 1, 14, 2},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.words);
        int32_t x = 77, y = 77;
        EXPECT_EQ(r.findText(image, 0, 0, 23, 11, t.words, kWhite, 100, x, y), t.result);
        EXPECT_EQ(x, t.x);
        EXPECT_EQ(y, t.y);
    }
    EXPECT_TRUE(gShown.empty());
}

TEST_F(DotMatrixSearch, TopMostThenLeftMostOccurrenceWins) {
    const Glyph c{"C", {"##", "#.", "##"}, 1, 1};
    ImageRecognizer r;
    loadGlyphs(r, {c});
    Bytes image = makeBitmap(30, 12);
    drawGlyph(image, c, 20, 2);
    drawGlyph(image, c, 10, 2);
    drawGlyph(image, c, 3, 6);
    int32_t x = 0, y = 0;
    EXPECT_EQ(r.findText(image, 0, 0, 29, 11, "C", kWhite, 100, x, y), 0);
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 2);
    EXPECT_EQ(r.findText(image, 0, 3, 29, 11, "C", kWhite, 100, x, y), 0);
    EXPECT_EQ(x, 3);
    EXPECT_EQ(y, 6);
}

TEST_F(DotMatrixSearch, PieceTooLargeIsReportedAndFails) {
    const Glyph c{"C", {"##", "#.", "##"}, 1, 1};
    const Glyph wide{"W", {"#............................#"}};
    ImageRecognizer r;
    loadGlyphs(r, {c, wide});
    Bytes image = makeBitmap(24, 12);
    drawGlyph(image, c, 14, 2);
    int32_t x = 77, y = 77;
    EXPECT_EQ(r.findText(image, 0, 0, 23, 11, "W", kWhite, 100, x, y), -1);
    EXPECT_EQ(x, -1);
    EXPECT_EQ(y, -1);
    ASSERT_EQ(gShown.size(), 1u);
    EXPECT_EQ(gShown[0].text, kGlyphTooLarge);
    EXPECT_EQ(gShown[0].title, "");

    gShown.clear();
    EXPECT_EQ(r.findText(image, 0, 0, 23, 11, "W|C", kWhite, 100, x, y), 1);
    EXPECT_EQ(x, 14);
    EXPECT_EQ(gShown.size(), 1u);

    gShown.clear();
    EXPECT_EQ(r.findText(image, -1, 0, 23, 11, "C", kWhite, 100, x, y), -1);
    EXPECT_EQ(gShown.size(), 1u);
}

TEST_F(DotMatrixSearch, NoLibraryOrNoBitmapGivesMinusOne) {
    const Glyph c{"C", {"##", "#.", "##"}, 1, 1};
    Bytes image = makeBitmap(24, 12);
    drawGlyph(image, c, 14, 2);
    int32_t x = 77, y = 77;

    ImageRecognizer unloaded;
    EXPECT_EQ(unloaded.findText(image, 0, 0, 23, 11, "C", kWhite, 100, x, y), -1);

    ImageRecognizer r;
    loadGlyphs(r, {c});
    Bytes truncated(image.begin(), image.end() - 1);
    EXPECT_EQ(r.findText(truncated, 0, 0, 23, 11, "C", kWhite, 100, x, y), -1);
    EXPECT_EQ(x, 77);
    EXPECT_EQ(y, 77);
    EXPECT_TRUE(gShown.empty());

    Measures m;
    Bytes glyph = r.glyphMatrix("C", m);
    EXPECT_EQ(r.findGlyph(truncated, glyph, 0, 0, 23, 11, m, x, y), 0);
    EXPECT_EQ(x, -1);
    EXPECT_EQ(y, -1);
}

TEST_F(DotMatrixSearch, AreasReachingPastTheImageAreClipped) {
    // Gaps of 3, three extra rows, glyph in the bottom-right corner of an
    // image whose rows have no padding.
    const Glyph c{"C", {"##", "#.", "##"}, 3, 3, 14};
    ImageRecognizer r;
    loadGlyphs(r, {c});
    Bytes image = makeBitmap(8, 11);
    drawGlyph(image, c, 6, 8);
    int32_t x = 0, y = 0;
    EXPECT_EQ(r.findText(image, 0, 0, 100, 100, "C", kWhite, 100, x, y), 0);
    EXPECT_EQ(x, 6);
    EXPECT_EQ(y, 8);

    Bytes left = makeBitmap(8, 11);
    drawGlyph(left, c, 0, 0);
    EXPECT_EQ(r.findText(left, 0, 0, 7, 10, "C", kWhite, 100, x, y), 0);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
}

TEST_F(DotMatrixSearch, ShapePixelDiffersOnlyWhenRedAndGreenDiffer) {
    // Hand-made two-colour image: the glyph's black pixel (1, 1) holds red
    // only, which still counts as the same and not as a dot.
    const Glyph c{"C", {"##", "#.", "##"}};
    ImageRecognizer r;
    loadGlyphs(r, {c});
    Measures m;
    Bytes glyph = r.glyphMatrix("C", m);
    Bytes image = makeBitmap(6, 11);
    drawGlyph(image, c, 2, 4);
    setPixel(image, 3, 5, 255, 0, 0);
    int32_t x = 0, y = 0;
    EXPECT_EQ(r.findGlyph(image, glyph, 0, 0, 5, 10, m, x, y), 1);
    EXPECT_EQ(x, 2);
    EXPECT_EQ(y, 4);
    setPixel(image, 3, 5, 255, 255, 0);
    EXPECT_EQ(r.findGlyph(image, glyph, 0, 0, 5, 10, m, x, y), 0);
    EXPECT_EQ(x, -1);
    EXPECT_EQ(y, -1);
}

}  // namespace
