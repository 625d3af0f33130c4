#include "common/text.h"

#include <gtest/gtest.h>

// Literals are code page 936 bytes: "中" is D6 D0, "文" is CE C4, and "訮"
// is D3 5C, a character whose trail byte is the ASCII backslash.

TEST(Text, BytesConversionStopsAtZero) {
    Bytes b = {'a', 'b', 0, 'c'};
    EXPECT_EQ(bytesToText(b), "ab");
    EXPECT_EQ(bytesToText(Bytes{}), "");
    EXPECT_EQ(textToBytes("ab"), (Bytes{'a', 'b'}));
}

TEST(Text, FindRespectsDoubleByteCharacters) {
    struct Case { Text haystack, needle; int start; bool ignoreCase; int expected; };
    const Case cases[] = {
        {"abcabc", "bc", 1, false, 2},
        {"abcabc", "bc", 3, false, 5},
        {"abcabc", "x", 1, false, 0},
        {"abc", "", 1, false, 0},
        {"", "a", 1, false, 0},
        {"\xD3\x5C" "\\", "\\", 1, false, 3},      // trail byte 5C is not a backslash
        {"\xD6\xD0\xCE\xC4", "\xD0\xCE", 1, false, 0},  // never starts inside a character
        {"\xD6\xD0\xCE\xC4", "\xCE\xC4", 1, false, 3},
        {"Content-Type: x", "content-type", 1, true, 1},
        {"Content-Type: x", "content-type", 1, false, 0},
        {"\xD6\xD0" "A", "a", 1, true, 3},
        {"\xB0\x61", "\xB0\x41", 1, true, 0},     // trail bytes are not case-folded
        {"aaa", "a", 0, false, 1},
        {"aaa", "a", 9, false, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(findText(c.haystack, c.needle, c.start, c.ignoreCase), c.expected)
            << c.haystack << " / " << c.needle;
}

TEST(Text, FindLast) {
    EXPECT_EQ(findLastText("ID:a:b", ":"), 5);
    EXPECT_EQ(findLastText("\xD3\x5C", "\\"), 0);
    EXPECT_EQ(findLastText("abc", "x"), 0);
    EXPECT_EQ(findLastText("\xA3\xBA" "x:y", ":"), 4);  // the full-width colon A3 BA is not ':'
}

TEST(Text, Split) {
    using V = std::vector<Text>;
    struct Case { Text text, separator; V expected; };
    const Case cases[] = {
        {"a\r\nb", "\r\n", V{"a", "b"}},
        {"a\r\nb\r\n", "\r\n", V{"a", "b"}},
        {"a\r\n\r\nb", "\r\n", V{"a", "", "b"}},
        {"\r\n", "\r\n", V{""}},
        {"", "\r\n", V{}},
        {"a\rb\nc", "\r\n", V{"a\rb\nc"}},
        {"a$b$$c", "$", V{"a", "b", "", "c"}},
        {"\xD3\x5C" "x\\y", "\\", V{"\xD3\x5Cx", "y"}},
        {"abc", "", V{"abc"}},
    };
    for (const Case& c : cases) EXPECT_EQ(splitText(c.text, c.separator), c.expected) << c.text;
}

TEST(Text, Trim) {
    EXPECT_EQ(trimText("  ab c  "), "ab c");
    EXPECT_EQ(trimText("\xA1\xA1 x\xA1\xA1"), "x");
    EXPECT_EQ(trimText("\tx\r\n"), "\tx\r\n");
    EXPECT_EQ(trimText("   "), "");
    EXPECT_EQ(trimText("\xB0\xA1\xA1"), "\xB0\xA1\xA1");  // B0 A1 is a character; a lone A1 is no blank
}

TEST(Text, AsciiCaseOnly) {
    EXPECT_EQ(toUpperAscii("abZ\xD6\xD0"), "ABZ\xD6\xD0");
    EXPECT_EQ(toLowerAscii("AbZ\xB0\x41"), "abz\xB0\x41");  // trail byte 41 untouched
    EXPECT_TRUE(equalsIgnoreCase("Set-Cookie", "set-cookie"));
    EXPECT_FALSE(equalsIgnoreCase("Set-Cookie", "set-cookies"));
}

TEST(Text, Cuts) {
    EXPECT_EQ(leftText("abcdef", 2), "ab");
    EXPECT_EQ(leftText("ab", 9), "ab");
    EXPECT_EQ(rightText("abcdef", 2), "ef");
    EXPECT_EQ(rightText("ab", 9), "ab");
    EXPECT_EQ(midText("abcdef", 2, 3), "bcd");
    EXPECT_EQ(midText("abcdef", 7, 3), "");
    EXPECT_EQ(midText("abcdef", 0, -1), "");
}

TEST(Text, NumberConversions) {
    EXPECT_EQ(intToText(-42), "-42");
    EXPECT_EQ(realToText(3.0), "3");
    EXPECT_EQ(realToText(-0.0), "0");
    EXPECT_EQ(realToText(0.1 + 0.2), "0.3");
    EXPECT_EQ(realToText(1234567.25), "1234567.25");
    struct Case { Text text; int32_t expected; };
    const Case cases[] = {
        {"42", 42}, {"  -17abc", -17}, {"+5", 5}, {"abc", 0}, {"", 0},
        {"\xA3\xB1\xA3\xB2", 12}, {"9999999999", 2147483647}, {"-9999999999", -2147483647 - 1},
        {"- 3", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(textToInt(c.text), c.expected) << c.text;
    EXPECT_EQ(realToInt(-2.9), -2);
    EXPECT_EQ(realToInt(2.9), 2);
}
