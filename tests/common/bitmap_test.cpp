#include "common/bitmap.h"

#include <gtest/gtest.h>

TEST(Bitmap, MadeBitmapHasCompleteHeaders) {
    Bytes bmp = makeBitmap(3, 2);
    ASSERT_EQ(bmp.size(), 54u + 12u * 2);  // rows of 9 bytes padded to 12
    EXPECT_TRUE(hasBitmapSignature(bmp.data(), bmp.size()));
    EXPECT_EQ(readLe32(&bmp[2]), bmp.size());
    EXPECT_EQ(readLe32(&bmp[10]), 54u);
    BitmapLayout layout;
    ASSERT_TRUE(readBitmapLayout(bmp, layout));
    EXPECT_EQ(layout.width, 3);
    EXPECT_EQ(layout.height, 2);
    EXPECT_EQ(layout.stride, 12u);
    EXPECT_EQ(layout.offsetOf(0, 1), 54u);       // bottom row first
    EXPECT_EQ(layout.offsetOf(2, 0), 54u + 12 + 6);
}

TEST(Bitmap, LayoutRefusesWhatDoesNotFit) {
    Bytes good = makeBitmap(4, 4);
    BitmapLayout layout;
    Bytes shortRows(good.begin(), good.end() - 1);
    EXPECT_FALSE(readBitmapLayout(shortRows, layout));
    EXPECT_FALSE(readBitmapLayout(Bytes(good.begin(), good.begin() + 53), layout));
    EXPECT_FALSE(readBitmapLayout(nullptr, 0, layout));
    struct Patch { size_t offset; uint32_t value; bool wide; };
    const Patch patches[] = {
        {18, 0, true}, {22, 0, true}, {18, 0x80000000u, true}, {22, 0xFFFFFFFFu, true},
        {14, 12, true}, {14, 0xFFFFFFF0u, true}, {28, 8, false}, {28, 16, false},
        {18, 0x40000000u, true},  // stride * height overflows 32 bits
    };
    for (const Patch& p : patches) {
        Bytes bad = good;
        if (p.wide) writeLe32(&bad[p.offset], p.value); else writeLe16(&bad[p.offset], uint16_t(p.value));
        EXPECT_FALSE(readBitmapLayout(bad, layout)) << p.offset << "=" << p.value;
    }
    Bytes deep = makeBitmap(4, 4, 32);
    EXPECT_TRUE(readBitmapLayout(deep, layout));
    EXPECT_EQ(layout.stride, 16u);
}
