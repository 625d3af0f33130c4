// Dot-matrix text recognition: two colours, marking, read-back.

#include "tests/recognizer/dot_matrix_test_util.h"

using namespace dmtest;

namespace {

class DotMatrixRecognition : public DotMatrixTest {};

using Measures = ImageRecognizer::GlyphMeasures;

// Seven dots; its top-left pixel is black.
Glyph glyphA() { return {"A", {".#.", "#.#", "###", "#.#"}, 1, 1}; }
// Eight dots; its top-left pixel is white.
Glyph glyphB() { return {"B", {"##.", "#.#", "##.", "#.#", "##."}, 1, 1}; }

TEST_F(DotMatrixRecognition, GlyphsOnOneLineComeLeftToRight) {
    // B has more dots and is marked first; A stands left of it.
    ImageRecognizer r;
    loadGlyphs(r, {glyphA(), glyphB()});
    Bytes image = makeBitmap(24, 12);
    drawGlyph(image, glyphA(), 2, 1);
    drawGlyph(image, glyphB(), 12, 1);
    EXPECT_EQ(r.recognizeText(image, 0, 0, 23, 11, kWhite, 100), "AB");
    EXPECT_EQ(r.recognizedText, "AB");
    EXPECT_EQ(r.sortedTexts, (std::vector<Text>{"B", "A"}));
    // Width right - left + gaps, height bottom - top + extra rows.
    ASSERT_EQ(r.glyphExtents.size(), 2u);
    EXPECT_EQ(r.glyphExtents[0][0], 4);
    EXPECT_EQ(r.glyphExtents[0][1], 4);
    EXPECT_EQ(r.glyphExtents[1][0], 4);
    EXPECT_EQ(r.glyphExtents[1][1], 3);
    EXPECT_TRUE(gShown.empty());
}

TEST_F(DotMatrixRecognition, LinesComeTopToBottom) {
    // A on the right of the first line, B on the left of the second.
    ImageRecognizer r;
    loadGlyphs(r, {glyphA(), glyphB()});
    Bytes image = makeBitmap(24, 20);
    drawGlyph(image, glyphA(), 12, 1);
    drawGlyph(image, glyphB(), 2, 11);
    EXPECT_EQ(r.recognizeText(image, 0, 0, 23, 19, kWhite, 100), "AB");
}

TEST_F(DotMatrixRecognition, OnlyTheRectangleIsRead) {
    ImageRecognizer r;
    loadGlyphs(r, {glyphA(), glyphB()});
    Bytes image = makeBitmap(24, 12);
    drawGlyph(image, glyphA(), 2, 1);
    drawGlyph(image, glyphB(), 12, 1);
    EXPECT_EQ(r.recognizeText(image, 10, 0, 23, 11, kWhite, 100), "B");
    EXPECT_EQ(r.recognizeText(image, 0, 0, 9, 11, kWhite, 100), "A");
    // Red text is not white text.
    EXPECT_EQ(r.recognizeText(image, 0, 0, 23, 11, "FF0000-000000", 100), "");
}

TEST_F(DotMatrixRecognition, GlyphInsideALargerOneIsNotFoundAgain) {
    // "!" holds the whole of "I"; only the standalone "I" is an I.
    const Glyph bar{"I", {"#", "#", "#", "#", "#"}};
    const Glyph mark{"!", {"#", "#", "#", "#", "#", ".", "#"}};
    ImageRecognizer r;
    loadGlyphs(r, {bar, mark});
    Bytes image = makeBitmap(20, 12);
    drawGlyph(image, mark, 3, 1);
    drawGlyph(image, bar, 12, 1);
    EXPECT_EQ(r.recognizeText(image, 0, 0, 19, 11, kWhite, 100), "!I");
}

TEST_F(DotMatrixRecognition, ForeignDotInTheAreaSpoilsTheMatch) {
    // A at (4, 1), leading gap 2; its area runs over columns 2 to 4 + bottom
    // (3) + trailing gap and rows 1 to 4.
    struct Case {
        int trail, x, y;
        const char* expected;
    } cases[] = {
        {0, 2, 2, ""},    // in the leading gap
        {0, 1, 2, "A"},   // left of it
        {0, 7, 4, ""},    // right of the dots, within bottom columns
        {0, 8, 4, "A"},   // beyond them
        {1, 8, 4, ""},    // in the trailing gap
        {0, 5, 5, "A"},   // below the last row
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.trail << " " << c.x << "," << c.y);
        Glyph a = glyphA();
        a.lead = 2;
        a.trail = c.trail;
        ImageRecognizer r;
        loadGlyphs(r, {a});
        Bytes image = makeBitmap(14, 12);
        drawGlyph(image, a, 4, 1);
        setPixel(image, c.x, c.y, 255, 255, 255);
        EXPECT_EQ(r.recognizeText(image, 0, 0, 13, 11, kWhite, 100), c.expected);
    }
}

TEST_F(DotMatrixRecognition, ExtraRowsWidenTheAreaDownwards) {
    Glyph a = glyphA();
    a.lead = a.trail = 0;
    a.height = 13;  // two extra rows below the last dot row
    // A at (2, 1): dots in rows 1 to 4, area down to row 6.
    for (int strayRow : {5, 6, 7}) {
        SCOPED_TRACE(strayRow);
        ImageRecognizer r;
        loadGlyphs(r, {a});
        Bytes image = makeBitmap(10, 12);
        drawGlyph(image, a, 2, 1);
        setPixel(image, 3, strayRow, 255, 255, 255);
        EXPECT_EQ(r.recognizeText(image, 0, 0, 9, 11, kWhite, 100), strayRow <= 6 ? "" : "A");
    }
}

TEST_F(DotMatrixRecognition, GlyphTooLargeIsReportedAndSkipped) {
    // 30 columns: wider than the 24-pixel image.
    const Glyph wide{"W", {"#............................#"}};
    ImageRecognizer r;
    loadGlyphs(r, {glyphA(), wide});
    Bytes image = makeBitmap(24, 12);
    drawGlyph(image, glyphA(), 2, 1);
    EXPECT_EQ(r.recognizeText(image, 0, 0, 23, 11, kWhite, 100), "A");
    ASSERT_EQ(gShown.size(), 1u);
    EXPECT_EQ(gShown[0].text, kGlyphTooLarge);
    EXPECT_EQ(gShown[0].title, "");

    // Glyphs are 11 rows tall: an image of 10 rows takes none.
    gShown.clear();
    Bytes low = makeBitmap(24, 10);
    EXPECT_EQ(r.recognizeText(low, 0, 0, 23, 9, kWhite, 100), "");
    EXPECT_EQ(gShown.size(), 2u);
}

TEST_F(DotMatrixRecognition, BadRectangleReportsEveryGlyph) {
    const struct {
        int32_t left, top, right, bottom;
    } cases[] = {{-1, 0, 23, 11}, {5, 0, 4, 11}, {24, 0, 30, 11}, {0, -1, 23, 11}, {0, 5, 23, 4}, {0, 12, 23, 20}};
    ImageRecognizer r;
    loadGlyphs(r, {glyphA(), glyphB()});
    Bytes image = makeBitmap(24, 12);
    drawGlyph(image, glyphA(), 2, 1);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.left << "," << c.top << "," << c.right << "," << c.bottom);
        gShown.clear();
        EXPECT_EQ(r.recognizeText(image, c.left, c.top, c.right, c.bottom, kWhite, 100), "");
        ASSERT_EQ(gShown.size(), 2u);
        EXPECT_EQ(gShown[0].text, kGlyphTooLarge);
    }
}

TEST_F(DotMatrixRecognition, AreasReachingPastTheImageAreClipped) {
    // Gaps of 3 and three extra rows: the areas stick out of the image on
    // the left, the right and below; the rectangle runs past it too.
    Glyph a = glyphA();
    a.lead = a.trail = 3;
    a.height = 14;
    // The image is as narrow and low as a glyph bitmap allows (4 x 11) plus
    // a little; 8 pixels of 3 bytes make rows without padding, so the
    // buffer ends right after the last pixel.
    struct Case {
        int x, y, right, bottom;
    } cases[] = {{5, 7, 7, 10}, {5, 7, 100, 100}, {0, 0, 7, 10}, {0, 7, 1000, 10}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " " << c.right << "," << c.bottom);
        ImageRecognizer r;
        loadGlyphs(r, {a});
        Bytes image = makeBitmap(8, 11);
        drawGlyph(image, a, c.x, c.y);
        EXPECT_EQ(r.recognizeText(image, 0, 0, c.right, c.bottom, kWhite, 100), "A");
        EXPECT_TRUE(gShown.empty());
    }
}

TEST_F(DotMatrixRecognition, UnusableBitmapsGiveTheFailureResult) {
    ImageRecognizer r;
    loadGlyphs(r, {glyphA()});
    Bytes image = makeBitmap(20, 12);
    drawGlyph(image, glyphA(), 2, 1);
    Bytes truncated(image.begin(), image.end() - 1);
    Bytes headersOnly(image.begin(), image.begin() + 54);
    Bytes eightBit = image;
    writeLe16(eightBit.data() + 28, 8);
    for (const Bytes* bad : {&truncated, &headersOnly, &eightBit}) {
        gShown.clear();
        EXPECT_EQ(r.recognizeText(*bad, 0, 0, 19, 11, kWhite, 100), "");
        EXPECT_TRUE(r.binarizeRegion(*bad, 0, 0, 19, 11, kWhite, 100).empty());
        EXPECT_TRUE(gShown.empty());

        Measures m;
        Bytes glyph = r.glyphMatrix("A", m);
        Bytes twoColour = r.binarizeRegion(image, 0, 0, 19, 11, kWhite, 100);
        EXPECT_EQ(r.glyphFits(*bad, glyph, 0, 0, 19, 11), -1);
        EXPECT_EQ(r.glyphFits(twoColour, *bad, 0, 0, 19, 11), -1);
        Bytes copy = *bad;
        EXPECT_EQ(r.markGlyph(copy, glyph, 0, 0, 19, 11, m, 1), 1);
        EXPECT_EQ(copy, *bad);
        EXPECT_EQ(r.collectText(copy, 20, 12), "");
    }
}

TEST_F(DotMatrixRecognition, NothingHappensWithoutALibrary) {
    ImageRecognizer r;
    Bytes image = makeBitmap(20, 12);
    EXPECT_EQ(r.recognizeText(image, 0, 0, 19, 11, kWhite, 100), "");
    EXPECT_TRUE(gShown.empty());

    // Loaded, but nothing to try.
    r.libraryLoaded = 1;
    EXPECT_EQ(r.recognizeText(image, 0, 0, 19, 11, kWhite, 100), "");
    ASSERT_EQ(gShown.size(), 1u);
    EXPECT_EQ(gShown[0].text, "字库内容是否，请检查");
    EXPECT_EQ(gShown[0].title, "错误：调用失败");
}

TEST_F(DotMatrixRecognition, BinarizeKeepsMatchingPixelsOfTheRectangle) {
    // The pixel under test at (0, 0) lies in the rectangle; the white pixel
    // at (1, 0) lies outside it and always turns black.
    const struct {
        const char* colours;
        int32_t similarity;
        uint32_t rgb;
        bool white;
    } cases[] = {
        {"FFFFFF-000000", 100, 0xFFFFFF, true},
        {"FFFFFF-000000", 100, 0xFEFFFF, false},
        {"FFFFFF-000000", 100, 0xFF0000, false},
        {"ffffff-000000", 100, 0xFFFFFF, true},
        // Red within its own tolerance; green and blue exact at 100.
        {"808080-020000", 100, 0x828080, true},
        {"808080-020000", 100, 0x7E8080, true},
        {"808080-020000", 100, 0x838080, false},
        {"808080-020000", 100, 0x808180, false},
        // Three free channels at 90: squared distance up to 1944.
        {"808080-000000", 90, 0x999999, true},
        {"808080-000000", 90, 0x9A9A9A, false},
        // Two free channels at 90: up to 1296.
        {"808080-020000", 90, 0x80A480, true},
        {"808080-020000", 90, 0x80A580, false},
        // One free channel at 90: up to 650.
        {"808080-020200", 90, 0x808099, true},
        {"808080-020200", 90, 0x80809A, false},
        // Every channel with a tolerance: the tolerances alone decide.
        {"808080-010101", 0, 0x817F80, true},
        {"808080-010101", 0, 0x827F80, false},
        // Any colour at similarity 0, and outside 0..100 too.
        {"808080-000000", 0, 0x000000, true},
        {"808080-000000", -50, 0xFFFFFF, true},
        {"808080-000000", 150, 0x808081, false},
        // Two entries.
        {"FF0000-000000|0000FF-000000", 100, 0x0000FF, true},
        {"FF0000-000000|0000FF-000000", 100, 0xFF0000, true},
        {"FF0000-000000|0000FF-000000", 100, 0x00FF00, false},
    };
    ImageRecognizer r;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.colours << " " << c.similarity << " " << std::hex << c.rgb);
        Bytes image = makeBitmap(2, 1);
        setPixel(image, 0, 0, uint8_t(c.rgb >> 16), uint8_t(c.rgb >> 8), uint8_t(c.rgb));
        setPixel(image, 1, 0, 255, 255, 255);
        Bytes result = r.binarizeRegion(image, 0, 0, 0, 0, c.colours, c.similarity);
        ASSERT_EQ(result.size(), image.size());
        EXPECT_TRUE(std::equal(image.begin(), image.begin() + 54, result.begin()));
        const uint8_t* inside = pixelOf(result, 0, 0);
        const uint8_t want = c.white ? 255 : 0;
        EXPECT_TRUE(inside[0] == want && inside[1] == want && inside[2] == want);
        const uint8_t* outside = pixelOf(result, 1, 0);
        EXPECT_TRUE(outside[0] == 0 && outside[1] == 0 && outside[2] == 0);
    }
}

TEST_F(DotMatrixRecognition, BinarizeClipsTheRectangle) {
    ImageRecognizer r;
    Bytes image = makeBitmap(3, 2);
    for (int y = 0; y < 2; y++)
        for (int x = 0; x < 3; x++) setPixel(image, x, y, 255, 255, 255);
    Bytes result = r.binarizeRegion(image, -5, 1, 50, 70, kWhite, 100);
    for (int x = 0; x < 3; x++) {
        EXPECT_EQ(pixelOf(result, x, 0)[0], 0);
        EXPECT_EQ(pixelOf(result, x, 1)[0], 255);
    }
    // A rectangle wholly outside gives an all-black image, not a failure.
    Bytes outside = r.binarizeRegion(image, 3, 0, 9, 1, kWhite, 100);
    ASSERT_EQ(outside.size(), image.size());
    for (int y = 0; y < 2; y++)
        for (int x = 0; x < 3; x++) EXPECT_EQ(pixelOf(outside, x, y)[0], 0);
}

TEST_F(DotMatrixRecognition, MarksCarrySixteenBitGlyphNumbers) {
    // A one-dot glyph: its area is one pixel, first and last at once.
    ImageRecognizer r;
    loadText(r, "8$.$0.0.1$11\r\n");
    Measures m;
    Bytes glyph = r.glyphMatrix(".", m);
    Bytes image = makeBitmap(5, 3);
    setPixel(image, 3, 1, 255, 255, 255);
    Bytes twoColour = r.binarizeRegion(image, 0, 0, 4, 2, kWhite, 100);
    EXPECT_EQ(r.markGlyph(twoColour, glyph, 0, 0, 4, 2, m, 300), 300);
    const uint8_t* p = pixelOf(twoColour, 3, 1);
    EXPECT_EQ(p[0], 180);
    EXPECT_EQ(p[1], 300 & 0xFF);
    EXPECT_EQ(p[2], 300 >> 8);

    r.sortedTexts.assign(300, "x");
    r.sortedTexts[299] = "Z";
    r.glyphExtents.assign(300, {0, 0});
    EXPECT_EQ(r.collectText(twoColour, 5, 3), "Z");
    EXPECT_EQ(r.recognizedText, "Z");
}

TEST_F(DotMatrixRecognition, MarkCodesOfALargerArea) {
    // A with gaps of 1 at (2, 1): area columns 1 to 6, rows 1 to 4.
    ImageRecognizer r;
    loadGlyphs(r, {glyphA()});
    Measures m;
    Bytes glyph = r.glyphMatrix("A", m);
    Bytes image = makeBitmap(10, 6);
    drawGlyph(image, glyphA(), 2, 1);
    Bytes twoColour = r.binarizeRegion(image, 0, 0, 9, 5, kWhite, 100);
    r.markGlyph(twoColour, glyph, 0, 0, 9, 5, m, 2);
    for (int y = 0; y < 6; y++) {
        for (int x = 0; x < 10; x++) {
            bool inArea = x >= 1 && x <= 6 && y >= 1 && y <= 4;
            uint8_t code = !inArea ? 0 : (x == 1 && y == 1) ? 150 : (x == 6 && y == 4) ? 200 : 100;
            const uint8_t* p = pixelOf(twoColour, x, y);
            EXPECT_EQ(p[0], code) << x << "," << y;
            EXPECT_EQ(p[1], inArea ? 2 : 0) << x << "," << y;
            EXPECT_EQ(p[2], 0) << x << "," << y;
        }
    }
}

TEST_F(DotMatrixRecognition, ReadBackSkipsNumbersWithoutAGlyph) {
    // Hand-made marks: number 9 names no glyph, number 1 does.
    ImageRecognizer r;
    r.sortedTexts = {"Q"};
    r.glyphExtents = {{0, 0}};
    Bytes image = makeBitmap(6, 3);
    setPixel(image, 0, 0, 0, 9, 150);
    setPixel(image, 2, 0, 0, 1, 180);
    setPixel(image, 4, 2, 0, 0, 150);  // number 0 names none either
    setPixel(image, 5, 2, 0, 0, 200);
    // Width and height beyond the image are held to it.
    EXPECT_EQ(r.collectText(image, 1000, 1000), "Q");
    // A smaller width reads only the columns it covers.
    setPixel(image, 2, 0, 0, 1, 180);
    EXPECT_EQ(r.collectText(image, 2, 3), "");
}

}  // namespace
