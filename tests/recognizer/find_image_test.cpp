#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>

#include "common/bitmap.h"
#include "recognizer/image_recognizer.h"
#include "tests/recognizer/find_image_reference.h"

namespace {

struct Rgb {
    uint8_t r, g, b;
};

const Rgb kBlack = {0, 0, 0};
const Rgb kWhite = {255, 255, 255};

// A bitmap filled with one colour; a longer info header or 32 bits per pixel
// on request (pixels stay 3 bytes apart either way).
Bytes picture(int32_t width, int32_t height, Rgb fill = kBlack, uint16_t bits = 24, uint32_t infoSize = 40) {
    Bytes bmp = makeBitmap(width, height, bits);
    if (infoSize > 40) {
        bmp.insert(bmp.begin() + 54, infoSize - 40, 0);
        writeLe32(&bmp[14], infoSize);
    }
    BitmapLayout layout;
    readBitmapLayout(bmp, layout);
    for (int32_t y = 0; y < height; y++) {
        for (int32_t x = 0; x < width; x++) {
            uint8_t* p = &bmp[layout.offsetOf(x, y)];
            p[0] = fill.b;
            p[1] = fill.g;
            p[2] = fill.r;
        }
    }
    return bmp;
}

BitmapLayout layoutOf(const Bytes& bmp) {
    BitmapLayout layout;
    EXPECT_TRUE(readBitmapLayout(bmp, layout));
    return layout;
}

void setPixel(Bytes& bmp, int32_t x, int32_t y, Rgb c) {
    uint8_t* p = &bmp[layoutOf(bmp).offsetOf(x, y)];
    p[0] = c.b;
    p[1] = c.g;
    p[2] = c.r;
}

Rgb pixelAt(const Bytes& bmp, int32_t x, int32_t y) {
    const uint8_t* p = &bmp[layoutOf(bmp).offsetOf(x, y)];
    return {p[2], p[1], p[0]};
}

// Every pixel a colour from the generator: no two placements alike.
Bytes noise(int32_t width, int32_t height, uint32_t seed) {
    std::mt19937 random(seed);
    Bytes bmp = picture(width, height);
    for (int32_t y = 0; y < height; y++) {
        for (int32_t x = 0; x < width; x++) {
            uint32_t v = random();
            setPixel(bmp, x, y, {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16)});
        }
    }
    return bmp;
}

Bytes cutOut(const Bytes& image, int32_t x, int32_t y, int32_t width, int32_t height) {
    Bytes piece = picture(width, height);
    for (int32_t r = 0; r < height; r++)
        for (int32_t c = 0; c < width; c++) setPixel(piece, c, r, pixelAt(image, x + c, y + r));
    return piece;
}

// Copies piece into image at (x, y), leaving out pixels of colour skip when given.
void paste(Bytes& image, const Bytes& piece, int32_t x, int32_t y, const Rgb* skip = nullptr) {
    BitmapLayout layout = layoutOf(piece);
    for (int32_t r = 0; r < layout.height; r++) {
        for (int32_t c = 0; c < layout.width; c++) {
            Rgb p = pixelAt(piece, c, r);
            if (skip && p.r == skip->r && p.g == skip->g && p.b == skip->b) continue;
            setPixel(image, x + c, y + r, p);
        }
    }
}

struct Found {
    int32_t result, x, y;
};

constexpr int32_t kUntouched = 77;

Found find(const Bytes& image, const Bytes& templ, int32_t left, int32_t top, int32_t right, int32_t bottom,
           const Text& tolerance = "000000", int32_t similarity = 100, int32_t direction = 0) {
    Found f = {0, kUntouched, kUntouched};
    f.result = ImageRecognizer().findImage(image, templ, left, top, right, bottom, tolerance, similarity,
                                           direction, f.x, f.y);
    return f;
}

Found findAnywhere(const Bytes& image, const Bytes& templ, const Text& tolerance = "000000",
                   int32_t similarity = 100, int32_t direction = 0) {
    return find(image, templ, 0, 0, INT_MAX, INT_MAX, tolerance, similarity, direction);
}

bool operator==(const Found& a, const Found& b) { return a.result == b.result && a.x == b.x && a.y == b.y; }
std::ostream& operator<<(std::ostream& out, const Found& f) {
    return out << f.result << " at (" << f.x << ", " << f.y << ")";
}

Found at(int32_t x, int32_t y) { return {1, x, y}; }
const Found kNone = {0, -1, -1};
const Found kCannotFit = {-1, kUntouched, kUntouched};

TEST(FindImage, FindsACutOutWhereItWasCut) {
    Bytes image = noise(40, 16, 1);
    Bytes templ = cutOut(image, 29, 9, 5, 4);
    for (int32_t direction = 0; direction < 4; direction++) {
        EXPECT_EQ(findAnywhere(image, templ, "000000", 100, direction), at(29, 9)) << direction;
        EXPECT_EQ(findAnywhere(image, templ, "000000", 90, direction), at(29, 9)) << direction;
    }
    // A different header layout reads the same pixels.
    Bytes deep = picture(40, 16, kBlack, 32, 124);
    paste(deep, image, 0, 0);
    EXPECT_EQ(findAnywhere(deep, cutOut(image, 3, 11, 7, 5)), at(3, 11));
}

TEST(FindImage, ScanOrderDecidesWhichPlacementIsFirst) {
    // Four copies: two on row 1, two on row 10. Rows are the outer loop, so
    // direction 0 takes (8, 1) although (1, 10) lies further left.
    Bytes image = noise(40, 16, 2);
    Bytes templ = noise(4, 3, 3);
    const int32_t places[4][2] = {{8, 1}, {30, 1}, {1, 10}, {33, 10}};
    for (const auto& p : places) paste(image, templ, p[0], p[1]);
    struct Case {
        int32_t direction, x, y;
    };
    const Case cases[] = {
        {0, 8, 1}, {1, 1, 10}, {2, 30, 1}, {3, 33, 10}, {-1, 33, 10}, {4, 33, 10}, {INT_MIN, 33, 10},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(findAnywhere(image, templ, "000000", 100, c.direction), at(c.x, c.y)) << c.direction;
    }
}

TEST(FindImage, BackgroundColourIsTransparent) {
    // A white-cornered template whose shape is drawn over noise in the image.
    Bytes templ = picture(6, 5, kWhite);
    const int32_t shape[][2] = {{2, 0}, {1, 1}, {2, 1}, {3, 1}, {0, 2}, {5, 2}, {2, 3}, {3, 4}};
    Bytes colours = noise(8, 1, 4);
    int i = 0;
    for (const auto& p : shape) setPixel(templ, p[0], p[1], pixelAt(colours, i++, 0));
    Bytes image = noise(40, 16, 5);
    paste(image, templ, 21, 7, &kWhite);
    EXPECT_EQ(findAnywhere(image, templ), at(21, 7));
    EXPECT_EQ(findAnywhere(image, templ, "000000", 90, 3), at(21, 7));

    // One corner off white: no background, so the white pixels count too.
    Bytes corners = templ;
    setPixel(corners, 5, 4, {255, 255, 254});
    EXPECT_EQ(findAnywhere(image, corners), kNone);
    paste(image, corners, 21, 7);
    EXPECT_EQ(findAnywhere(image, corners), at(21, 7));
}

TEST(FindImage, TemplateOfOnlyBackgroundAnchorsAtItsOrigin) {
    Bytes image = picture(40, 8);
    setPixel(image, 25, 3, kWhite);
    setPixel(image, 31, 1, {250, 250, 250});
    Bytes blank = picture(3, 3, kWhite);
    EXPECT_EQ(findAnywhere(image, blank), at(25, 3));
    EXPECT_EQ(findAnywhere(image, blank, "000000", 95), at(31, 1));  // 3 * 5^2 <= 487
}

// A two-pixel template [a, b] planted as [pa, pb] at (30, 1) of a 40 x 3 image.
TEST(FindImage, ColourToleranceAndSimilarity) {
    enum Outcome { kAtPlant, kNowhere, kFirstCandidate };
    struct Case {
        const char* tolerance;
        int32_t similarity;
        Rgb fill, a, b, pa, pb;
        Outcome expect;
    };
    const Rgb grey = {100, 100, 100}, green = {0, 200, 0};
    const Case cases[] = {
        {"000000", 100, kBlack, grey, green, grey, green, kAtPlant},
        {"000000", 100, kBlack, grey, green, {100, 100, 101}, green, kNowhere},
        {"000000", 120, kBlack, grey, green, {100, 100, 101}, green, kNowhere},  // as 100
        {"000000", 90, kBlack, grey, green, {144, 97, 100}, green, kAtPlant},     // 44^2 + 3^2 = 1945
        {"000000", 90, kBlack, grey, green, {144, 97, 101}, green, kNowhere},    // 1946
        {"000000", 95, kBlack, grey, green, {122, 101, 99}, green, kAtPlant},     // 486 <= 487
        {"000000", 95, kBlack, grey, green, {122, 102, 100}, green, kNowhere},   // 488
        {"010000", 90, kBlack, grey, green, {101, 136, 100}, green, kAtPlant},    // red by 1, T_2 = 1296
        {"010000", 90, kBlack, grey, green, {102, 100, 100}, green, kNowhere},   // red beyond its tolerance
        {"010000", 90, kBlack, grey, green, {101, 136, 101}, green, kNowhere},   // 1297
        {"010100", 90, kBlack, grey, green, {99, 101, 125}, green, kAtPlant},     // T_1 = 651 for blue
        {"010100", 90, kBlack, grey, green, {100, 100, 126}, green, kNowhere},   // 676
        {"0a0B0c", 100, kBlack, grey, green, {110, 89, 112}, green, kAtPlant},    // both cases of hex digit
        {"0a0B0c", 100, kBlack, grey, green, {110, 89, 113}, green, kNowhere},
        {"zz0000", 100, kBlack, grey, green, {101, 100, 100}, green, kNowhere},  // not a digit: 0
        {"000000FF", 100, kBlack, grey, green, {100, 100, 101}, green, kNowhere},  // seventh on ignored
        {"FFFFFF", 100, kBlack, grey, green, grey, green, kFirstCandidate},  // everything matches
        {"ffffff", 0, kBlack, grey, green, grey, green, kFirstCandidate},
        // Similarity -5 is 0: T_3 = 441^2 = 194481 lets all but the most distant colours through.
        {"000000", -5, kWhite, kBlack, {1, 0, 0}, {255, 255, 253}, {255, 255, 253}, kAtPlant},
        {"000000", 0, kWhite, kBlack, {1, 0, 0}, {255, 255, 253}, {255, 255, 253}, kAtPlant},
        {"000000", 1, kWhite, kBlack, {1, 0, 0}, {255, 255, 253}, {255, 255, 253}, kNowhere},
    };
    for (const Case& c : cases) {
        Bytes image = picture(40, 3, c.fill);
        setPixel(image, 30, 1, c.pa);
        setPixel(image, 31, 1, c.pb);
        Bytes templ = picture(2, 1);
        setPixel(templ, 0, 0, c.a);
        setPixel(templ, 1, 0, c.b);
        for (int32_t direction : {0, 3}) {
            Found want = c.expect == kAtPlant ? at(30, 1) : c.expect == kNowhere ? kNone
                         : direction == 0 ? at(0, 0) : at(38, 2);
            EXPECT_EQ(findAnywhere(image, templ, c.tolerance, c.similarity, direction), want)
                << c.tolerance << " " << c.similarity << " at (" << int(c.pa.r) << "," << int(c.pa.g) << ","
                << int(c.pa.b) << ") direction " << direction;
        }
    }
}

TEST(FindImage, ShortToleranceReadsOnlyItsOwnCharacters) {
    // The black template is all background, so it is anchored at (0, 0) and
    // only that pixel is compared. The image is green 1 everywhere but for a
    // red pixel at (30, 1).
    Bytes templ = picture(2, 1);
    Text shortened = "FFFFFF";
    shortened.resize(1);  // "F", with more F behind it in memory
    const Text greenZero = "FF0", greenOne = "FF01";
    struct Case {
        const Text* tolerance;  // not a copy: a copy would not keep what lies behind the text
        uint8_t red;
        int32_t x, y;
    };
    const Case cases[] = {
        {&shortened, 0xF0, 30, 1},  // red 0xF0, green and blue 0
        {&shortened, 0xF1, -1, -1},
        {&greenZero, 0xFF, 30, 1},  // the missing low digit counts 0
        {&greenOne, 0xFF, 0, 0},    // green 1 lets every pixel through
    };
    for (const Case& c : cases) {
        Bytes image = picture(40, 3, {0, 1, 0});
        setPixel(image, 30, 1, {c.red, 0, 0});
        EXPECT_EQ(findAnywhere(image, templ, *c.tolerance), (c.x >= 0 ? at(c.x, c.y) : kNone)) << *c.tolerance;
    }
}

TEST(FindImage, RectangleIsClampedToTheImage) {
    Bytes image = noise(40, 16, 6);
    Bytes corner = cutOut(image, 35, 12, 5, 4);  // reaches the right and bottom edges
    struct Case {
        int32_t left, top, right, bottom, result, x, y;
    };
    const Case cases[] = {
        {0, 0, 39, 15, 1, 35, 12},
        {0, 0, 5000, 5000, 1, 35, 12},
        {-7, -3, -1, -1, 1, 35, 12},  // a negative right or bottom lies beyond the image
        {INT_MIN, INT_MIN, INT_MIN, INT_MIN, 1, 35, 12},
        {35, 12, 39, 15, 1, 35, 12},
        {35, 12, 0, 0, -1, kUntouched, kUntouched},  // right, bottom below left, top: one column
        {36, 0, 5000, 5000, -1, kUntouched, kUntouched},
        {0, 13, 5000, 5000, -1, kUntouched, kUntouched},
        {100, 100, 5000, 5000, -1, kUntouched, kUntouched},
        {0, 0, 38, 15, 0, -1, -1},  // fits, but not where the template is
        {0, 0, 39, 14, 0, -1, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(find(image, corner, c.left, c.top, c.right, c.bottom), (Found{c.result, c.x, c.y}))
            << c.left << "," << c.top << "," << c.right << "," << c.bottom;
    }
}

TEST(FindImage, TemplateAsLargeAsTheImage) {
    Bytes image = noise(40, 16, 7);
    EXPECT_EQ(find(image, image, 0, 0, 39, 15), at(0, 0));
    EXPECT_EQ(find(image, image, 1, 0, 39, 15), kCannotFit);
    EXPECT_EQ(find(image, image, 0, 1, 39, 15), kCannotFit);
    EXPECT_EQ(findAnywhere(image, noise(41, 16, 7)), kCannotFit);
    EXPECT_EQ(findAnywhere(image, noise(40, 17, 7)), kCannotFit);
}

TEST(FindImage, UnusableInputFindsNothing) {
    const Bytes image = noise(20, 10, 8);
    const Bytes templ = cutOut(image, 2, 2, 4, 3);
    auto patched = [](Bytes bmp, size_t offset, uint32_t value, bool wide = true) {
        if (wide) writeLe32(&bmp[offset], value); else writeLe16(&bmp[offset], uint16_t(value));
        return bmp;
    };
    Bytes unsigned_ = image;
    unsigned_[0] = 'X';
    struct Case {
        const char* what;
        Bytes image, templ;
        Text tolerance;
    };
    const Case cases[] = {
        {"empty image", Bytes(), templ, "000000"},
        {"empty template", image, Bytes(), "000000"},
        {"empty tolerance", image, templ, ""},
        {"no signature", unsigned_, templ, "000000"},
        {"template without signature", image, Bytes(templ.begin() + 1, templ.end()), "000000"},
        {"headers cut short", Bytes(image.begin(), image.begin() + 40), templ, "000000"},
        {"last row cut short", Bytes(image.begin(), image.end() - 1), templ, "000000"},
        {"template rows cut short", image, Bytes(templ.begin(), templ.end() - 1), "000000"},
        {"height beyond the buffer", patched(image, 22, 11), templ, "000000"},
        // Declares more than the image holds, so it never gets to the fit test.
        {"template beyond its buffer", image, patched(templ, 18, 100), "000000"},
        {"template of zero width", image, patched(templ, 18, 0), "000000"},
        {"template of zero height", image, patched(templ, 22, 0), "000000"},
        {"negative height", patched(image, 22, 0xFFFFFFFFu), templ, "000000"},
        {"negative width", image, patched(templ, 18, 0xFFFFFFFCu), "000000"},
        {"tiny info header", patched(image, 14, 12), templ, "000000"},
        {"huge info header", patched(image, 14, 0xFFFFFFF0u), templ, "000000"},
        {"8 bits per pixel", patched(image, 28, 8, false), templ, "000000"},
        {"stride times height overflows", image, patched(templ, 18, 0x40000000u), "000000"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(find(c.image, c.templ, 0, 0, 19, 9, c.tolerance), kNone) << c.what;
    }
}

// ---- Differential: the search against the plain reading of the rule.

struct Scenario {
    Bytes image, templ;
    int32_t left, top, right, bottom;
    Text tolerance;
    int32_t similarity, direction;
};

class Generator {
public:
    explicit Generator(uint32_t seed) : random_(seed) {}

    Scenario next() {
        Scenario s;
        for (Rgb& c : palette_) c = colour();
        int32_t w = between(1, 48), h = between(1, 10);
        s.image = picture(w, h, kBlack, chance(4) ? 32 : 24, chance(4) ? 108 : 40);
        for (int32_t y = 0; y < h; y++)
            for (int32_t x = 0; x < w; x++) setPixel(s.image, x, y, nearby(pick()));

        int32_t tw = between(1, chance(10) ? w + 1 : std::min(w, 7));
        int32_t th = between(1, chance(10) ? h + 1 : std::min(h, 5));
        s.templ = picture(tw, th, kBlack, chance(6) ? 32 : 24);
        for (int32_t y = 0; y < th; y++)
            for (int32_t x = 0; x < tw; x++) setPixel(s.templ, x, y, pick());
        if (!chance(3)) {
            Rgb background = pick();
            int share = between(0, 10);
            for (int32_t y = 0; y < th; y++)
                for (int32_t x = 0; x < tw; x++)
                    if (between(0, 9) < share) setPixel(s.templ, x, y, background);
            for (int32_t y : {0, th - 1})
                for (int32_t x : {0, tw - 1}) setPixel(s.templ, x, y, background);
        }
        // Plant near copies: exact, or with every channel moved a little.
        for (int k = between(0, 3); k > 0 && tw <= w && th <= h; k--) {
            int32_t px = between(0, w - tw), py = between(0, h - th), spread = between(0, 3) * 8;
            Rgb corner = pixelAt(s.templ, 0, 0);
            for (int32_t y = 0; y < th; y++) {
                for (int32_t x = 0; x < tw; x++) {
                    Rgb c = pixelAt(s.templ, x, y);
                    bool isCorner = c.r == corner.r && c.g == corner.g && c.b == corner.b;
                    if (isCorner && chance(2)) continue;
                    setPixel(s.image, px + x, py + y, spread ? nearby(c, spread) : c);
                }
            }
        }

        s.left = chance(2) ? 0 : edge(w);
        s.top = chance(2) ? 0 : edge(h);
        s.right = chance(2) ? w - 1 : edge(w);
        s.bottom = chance(2) ? h - 1 : edge(h);
        s.tolerance = tolerance();
        const int32_t similarities[] = {100, 90, 95, 99, 50, 0, 130, -5, INT_MIN, INT_MAX};
        s.similarity = chance(3) ? between(0, 100) : similarities[between(0, 9)];
        s.direction = chance(6) ? int32_t(random_()) : between(0, 3);
        return s;
    }

private:
    std::mt19937 random_;
    Rgb palette_[4];

    int32_t between(int32_t low, int32_t high) {
        return low + int32_t(random_() % uint32_t(high - low + 1));
    }
    bool chance(int oneIn) { return random_() % uint32_t(oneIn) == 0; }
    Rgb colour() { uint32_t v = random_(); return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16)}; }
    Rgb pick() { return palette_[between(0, 3)]; }
    uint8_t shift(uint8_t v, int spread) { return uint8_t(std::clamp(int(v) + between(-spread, spread), 0, 255)); }
    Rgb nearby(Rgb c, int spread) { return {shift(c.r, spread), shift(c.g, spread), shift(c.b, spread)}; }
    Rgb nearby(Rgb c) { return chance(2) ? c : nearby(c, chance(2) ? 4 : 48); }
    int32_t edge(int32_t size) {
        switch (between(0, 9)) {
        case 0: return INT_MIN;
        case 1: return INT_MAX;
        case 2: return -between(1, 3);
        default: return between(0, size + 2);
        }
    }
    Text tolerance() {
        static const char digits[] = "0123456789ABCDEFabcdefgZ ";
        Text t;
        for (int k = 0; k < 3; k++) {
            switch (between(0, 5)) {
            case 0: case 1: t += "00"; break;
            case 2: t += "0"; t += digits[between(1, 15)]; break;
            case 3: t += "FF"; break;
            default: t += digits[between(0, 24)]; t += digits[between(0, 24)]; break;
            }
        }
        if (chance(5)) t.resize(size_t(between(0, 5)));
        else if (chance(8)) t += "F0";
        return t;
    }
};

TEST(FindImage, AgreesWithThePlainRule) {
    Generator generator(20240611);
    int outcomes[3] = {0, 0, 0};
    for (int i = 0; i < 20000; i++) {
        Scenario s = generator.next();
        Found want = {0, kUntouched, kUntouched}, got = {0, kUntouched, kUntouched};
        want.result = reference::findImage(s.image, s.templ, s.left, s.top, s.right, s.bottom, s.tolerance,
                                           s.similarity, s.direction, want.x, want.y);
        got = find(s.image, s.templ, s.left, s.top, s.right, s.bottom, s.tolerance, s.similarity, s.direction);
        outcomes[want.result + 1]++;
        ASSERT_TRUE(got.result == want.result && got.x == want.x && got.y == want.y)
            << "case " << i << ": got " << got.result << " (" << got.x << "," << got.y << "), want "
            << want.result << " (" << want.x << "," << want.y << "); rectangle " << s.left << "," << s.top
            << "," << s.right << "," << s.bottom << " tolerance '" << s.tolerance << "' similarity "
            << s.similarity << " direction " << s.direction;
    }
    // The scenarios must reach every outcome often, or agreement proves little.
    EXPECT_GT(outcomes[0], 2000);
    EXPECT_GT(outcomes[1], 2000);
    EXPECT_GT(outcomes[2], 2000);
}

}  // namespace
