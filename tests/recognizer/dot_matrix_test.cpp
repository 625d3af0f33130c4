// Dot-matrix font library: loading, ordering, glyph bitmaps and measures,
// hex expansion, and the message seam.

#include "tests/recognizer/dot_matrix_test_util.h"

using namespace dmtest;

namespace {

class DotMatrixLibrary : public DotMatrixTest {};

using Measures = ImageRecognizer::GlyphMeasures;

TEST_F(DotMatrixLibrary, TrailingCrLfGivesNoEmptyLastLine) {
    ImageRecognizer r;
    r.loadLibrary(fixturePath("dm_trailing_crlf.txt"));
    EXPECT_TRUE(gShown.empty());
    EXPECT_EQ(r.libraryLoaded, 1);
    EXPECT_EQ(r.glyphCount, 2);
    EXPECT_EQ(r.libraryLines, (std::vector<Text>{"FFE$I$1.1.11$11", "C0040$L$0.2.3$14"}));
    EXPECT_EQ(r.glyphTexts, (std::vector<Text>{"I", "L"}));
    EXPECT_EQ(r.sortedLines, (std::vector<Text>{"FFE$I$1.1.11$11", "C0040$L$0.2.3$14"}));
}

TEST_F(DotMatrixLibrary, EqualDotCountsKeepFileOrder) {
    ImageRecognizer r;
    r.loadLibrary(fixturePath("dm_equal_dots.txt"));
    ASSERT_EQ(r.libraryLoaded, 1);
    EXPECT_EQ(r.glyphCount, 5);  // the last line has no CR LF and still counts
    std::vector<Text> texts;
    for (const Text& line : r.sortedLines) texts.push_back(splitText(line, "$")[1]);
    EXPECT_EQ(texts, (std::vector<Text>{"d", "b", "e", "a", "c"}));
    EXPECT_EQ(r.glyphTexts, (std::vector<Text>{"a", "b", "c", "d", "e"}));
}

TEST_F(DotMatrixLibrary, UnreadableFilesAreRefusedWithTheirMessage) {
    struct Case {
        const char* path;
        const Text* message;
    } cases[] = {
        {"dm_no_such_file.txt", &kLibraryMissing},
        {"dm_empty.txt", &kLibraryMissing},
        {"dm_zero_byte.txt", &kLibraryEmpty},  // bytes, but no text before the zero byte
        {"dm_empty_middle_line.txt", &kLibraryMissing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        gShown.clear();
        ImageRecognizer r;
        r.loadLibrary(fixturePath(c.path));
        EXPECT_EQ(r.libraryLoaded, 0);
        EXPECT_EQ(r.glyphCount, 0);
        EXPECT_TRUE(r.sortedLines.empty());
        ASSERT_EQ(gShown.size(), 1u);
        EXPECT_EQ(gShown[0].text, *c.message);
        EXPECT_EQ(gShown[0].title, kLibraryTitle);
    }
}

TEST_F(DotMatrixLibrary, AnyMalformedLineRefusesTheWholeLibrary) {
    const Text good1 = "FFE$I$1.1.11$11";
    const Text good2 = "C0040$L$0.2.3$14";
    const char* bad[] = {
        "",                // empty line between others
        "FFE$I",           // two fields
        "FFE$I$",          // a trailing "$" gives no third field
        "FFE$I$1.1$11",    // two numbers in field 3
        "FFE$I$1.1.0$11",  // no dots
        "FFE$I$1.1.-4$11",
        "FFE$I$1.1.x$11",  // not a number: no dots either
    };
    for (const char* line : bad) {
        SCOPED_TRACE(line);
        ImageRecognizer r;
        loadText(r, good1 + "\r\n" + good2 + "\r\n");
        ASSERT_EQ(r.libraryLoaded, 1);
        gShown.clear();

        loadText(r, good2 + "\r\n" + line + "\r\n" + good1 + "\r\n");
        EXPECT_EQ(r.libraryLoaded, 0);
        ASSERT_EQ(gShown.size(), 1u);
        EXPECT_EQ(gShown[0].text, kLibraryMissing);
        EXPECT_EQ(gShown[0].title, kLibraryTitle);
        // Nothing of the refused file was taken.
        EXPECT_EQ(r.libraryLines, (std::vector<Text>{good1, good2}));
        EXPECT_EQ(r.sortedLines, (std::vector<Text>{good1, good2}));

        // Unloaded: recognition and search do nothing, silently.
        gShown.clear();
        Bytes image = makeBitmap(20, 20);
        int32_t x = 7, y = 7;
        EXPECT_EQ(r.recognizeText(image, 0, 0, 19, 19, kWhite, 100), "");
        EXPECT_EQ(r.findText(image, 0, 0, 19, 19, "I", kWhite, 100, x, y), -1);
        EXPECT_EQ(x, 7);
        EXPECT_EQ(y, 7);
        EXPECT_TRUE(gShown.empty());
    }
}

TEST_F(DotMatrixLibrary, MissingFourthFieldIsAllowed) {
    ImageRecognizer r;
    loadText(r, "FFE$I$1.1.11\r\n");
    EXPECT_EQ(r.libraryLoaded, 1);
    Measures m;
    EXPECT_FALSE(r.glyphMatrix("I", m).empty());
    EXPECT_EQ(m.extraRows, 0);
}

TEST_F(DotMatrixLibrary, MatrixFillsColumnByColumnWithAPartialLastColumn) {
    // C0040: 1100 0000 0000 0100 0000, 20 bits: bits 1 and 2 in column 0,
    // bit 14 in column 1 row 2; column 1 holds bits 12 to 20, so its rows 9
    // and 10 have no bit at all.
    ImageRecognizer r;
    loadText(r, "C0040$L$2.5.3$11\r\n");
    Measures m;
    Bytes glyph = r.glyphMatrix("L", m);
    BitmapLayout layout;
    ASSERT_TRUE(readBitmapLayout(glyph, layout));
    EXPECT_EQ(layout.width, 2);
    EXPECT_EQ(layout.height, 11);
    EXPECT_EQ(readLe16(glyph.data() + 28), 24);
    EXPECT_EQ(readLe32(glyph.data() + 14), 40u);
    for (int y = 0; y < 11; y++) {
        for (int x = 0; x < 2; x++) {
            bool set = (x == 0 && y <= 1) || (x == 1 && y == 2);
            const uint8_t* p = pixelOf(glyph, x, y);
            uint8_t expected = set ? 255 : 0;
            EXPECT_TRUE(p[0] == expected && p[1] == expected && p[2] == expected) << x << "," << y;
        }
    }
    EXPECT_EQ(m.left, 0);
    EXPECT_EQ(m.top, 0);
    EXPECT_EQ(m.right, 1);
    EXPECT_EQ(m.bottom, 2);
    EXPECT_EQ(m.dotCount, 3);
    EXPECT_EQ(m.leadingGap, 2);
    EXPECT_EQ(m.trailingGap, 5);
    EXPECT_EQ(m.extraRows, 0);
}

TEST_F(DotMatrixLibrary, MeasuresBoundTheSetDots) {
    // Column 0 empty, column 1 rows 3 and 6, column 2 row 4.
    ImageRecognizer r;
    loadGlyphs(r, {{"g", {"...", "...", "...", ".#.", "..#", "...", ".#."}}});
    Measures m;
    ASSERT_FALSE(r.glyphMatrix("g", m).empty());
    EXPECT_EQ(m.top, 3);
    EXPECT_EQ(m.right, 2);
    EXPECT_EQ(m.bottom, 6);
}

TEST_F(DotMatrixLibrary, KeyMatchesWholeTextsAndTheFirstLine) {
    // 8 = dot in row 0, 4 = row 1, 2 = row 2.
    ImageRecognizer r;
    loadText(r, "8$AB$0.0.1$11\r\n4$A$0.0.1$11\r\n2$A$0.0.1$11\r\n");
    Measures m;
    ASSERT_FALSE(r.glyphMatrix("A", m).empty());
    EXPECT_EQ(m.top, 1);
    ASSERT_FALSE(r.glyphMatrix("AB", m).empty());
    EXPECT_EQ(m.top, 0);
}

TEST_F(DotMatrixLibrary, UnknownKeyLeavesTheMeasuresAlone) {
    ImageRecognizer r;
    loadText(r, "8$AB$0.0.1$11\r\n");
    Measures m;
    m.top = 77;
    m.dotCount = 77;
    EXPECT_TRUE(r.glyphMatrix("B", m).empty());
    EXPECT_TRUE(r.glyphMatrix("", m).empty());
    EXPECT_EQ(m.top, 77);
    EXPECT_EQ(m.dotCount, 77);
    EXPECT_TRUE(gShown.empty());
}

TEST_F(DotMatrixLibrary, LowerCaseHexDigitsAddNoBits) {
    // "8a8" is "1000" + "" + "1000": dots in rows 0 and 4 of one column.
    ImageRecognizer r;
    loadText(r, "8a8$X$0.0.2$11\r\n");
    Measures m;
    Bytes glyph = r.glyphMatrix("X", m);
    BitmapLayout layout;
    ASSERT_TRUE(readBitmapLayout(glyph, layout));
    EXPECT_EQ(layout.width, 1);
    EXPECT_EQ(pixelOf(glyph, 0, 4)[0], 255);
    EXPECT_EQ(pixelOf(glyph, 0, 8)[0], 0);
    EXPECT_EQ(m.bottom, 4);
}

TEST_F(DotMatrixLibrary, HeightAboveElevenAddsExtraRows) {
    const struct {
        const char* height;
        int32_t extraRows;
    } cases[] = {{"14", 3}, {"12", 1}, {"11", 0}, {"9", 0}, {"0", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.height);
        ImageRecognizer r;
        loadText(r, Text("8$A$0.0.1$") + c.height + "\r\n");
        Measures m;
        m.extraRows = 77;
        ASSERT_FALSE(r.glyphMatrix("A", m).empty());
        EXPECT_EQ(m.extraRows, c.extraRows);
    }
}

TEST_F(DotMatrixLibrary, MatrixWithoutDotsGivesNoGlyph) {
    ImageRecognizer r;
    loadText(r, "000$A$0.0.1$11\r\nx$B$0.0.1$11\r\n");
    Measures m;
    EXPECT_TRUE(r.glyphMatrix("A", m).empty());
    EXPECT_TRUE(r.glyphMatrix("B", m).empty());
}

TEST_F(DotMatrixLibrary, GlyphRequestedWithoutLibraryWarns) {
    ImageRecognizer r;
    Measures m;
    EXPECT_TRUE(r.glyphMatrix("A", m).empty());
    ASSERT_EQ(gShown.size(), 1u);
    EXPECT_EQ(gShown[0].text, kNoGlyphs);
    EXPECT_EQ(gShown[0].title, kNoGlyphsTitle);
}

TEST_F(DotMatrixLibrary, HexDigitsExpandToFourBits) {
    ImageRecognizer r;
    const struct {
        const char* digit;
        const char* bits;
    } cases[] = {{"0", "0000"}, {"1", "0001"}, {"7", "0111"}, {"9", "1001"}, {"A", "1010"}, {"C", "1100"},
                 {"F", "1111"}, {"a", ""},     {"f", ""},     {"G", ""},     {"", ""},      {"12", ""},
                 {" ", ""},     {"\xB0\xA1", ""}};
    for (const auto& c : cases) EXPECT_EQ(r.hexDigitToBits(c.digit), c.bits) << c.digit;
    EXPECT_EQ(r.hexToBits("1a2"), "00010010");
    EXPECT_EQ(r.hexToBits("F0E"), "111100001110");
    // A double-byte character is one character, whatever its trail byte.
    EXPECT_EQ(r.hexToBits("\x81" "A" "1"), "0001");
    EXPECT_EQ(r.hexToBits(""), "");
}

TEST(DotMatrixMessages, SinkReceivesMessagesAndCanBeReplaced) {
    MessageSink first = setMessageSink(recordMessage);
    gShown.clear();
    showMessageBox("text", "title");
    EXPECT_EQ(setMessageSink(first), &recordMessage);
    ASSERT_EQ(gShown.size(), 1u);
    EXPECT_EQ(gShown[0].text, "text");
    EXPECT_EQ(gShown[0].title, "title");
}

}  // namespace
