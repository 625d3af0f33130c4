// How long findImage takes over a whole screen, with the panel's arguments
// (tolerance "000000", similarity 90, direction 0) and a 75 x 34
// white-cornered template, on synthetic screenshots:
//   a  absent: a desktop-like picture without the template, every candidate scanned;
//   b  present: the same picture with the template near the bottom-right corner;
//   c  busy: half the pixels have the anchor colour, so full tests start everywhere.
// Against: one read of the screenshot buffer (summing its bytes), and OpenCV's
// matchTemplate (TM_SQDIFF) plus minMaxLoc when OpenCV is installed.
// Prints, after the usual output, ms per search and the ratios per case.
#include <benchmark/benchmark.h>
#include <emmintrin.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>

#include "common/bitmap.h"
#include "recognizer/image_recognizer.h"

#if LB_WITH_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/core/utility.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace {

struct Rgb {
    uint8_t r, g, b;
};

const Rgb kWhite = {255, 255, 255};
const Rgb kIconGrey = {81, 81, 81};
const Rgb kIconGreen = {7, 193, 96};

struct Canvas {
    Bytes bmp;
    BitmapLayout layout;

    Canvas(int32_t width, int32_t height, Rgb fill) : bmp(makeBitmap(width, height)) {
        readBitmapLayout(bmp, layout);
        fillRect(0, 0, width, height, fill);
    }
    void set(int32_t x, int32_t y, Rgb c) {
        if (!layout.contains(x, y)) return;
        uint8_t* p = &bmp[layout.offsetOf(x, y)];
        p[0] = c.b;
        p[1] = c.g;
        p[2] = c.r;
    }
    Rgb get(int32_t x, int32_t y) const {
        const uint8_t* p = &bmp[layout.offsetOf(x, y)];
        return {p[2], p[1], p[0]};
    }
    void fillRect(int32_t x0, int32_t y0, int32_t w, int32_t h, Rgb c) {
        for (int32_t y = y0; y < y0 + h; y++)
            for (int32_t x = x0; x < x0 + w; x++) set(x, y, c);
    }
};

// Something like the profile card's icons: a ring with an arrow, and a green
// speech bubble, on white.
Canvas iconTemplate() {
    Canvas t(75, 34, kWhite);
    for (int32_t y = 0; y < 34; y++) {
        for (int32_t x = 0; x < 36; x++) {
            int dx = x - 17, dy = y - 17, d = dx * dx + dy * dy;
            if (d >= 13 * 13 && d <= 15 * 15) t.set(x, y, kIconGrey);
        }
    }
    for (int32_t k = 0; k < 8; k++) {
        t.set(13 + k, 21 - k, kIconGrey);
        t.set(14 + k, 21 - k, kIconGrey);
    }
    t.fillRect(17, 12, 6, 2, kIconGrey);
    t.fillRect(21, 12, 2, 6, kIconGrey);
    t.fillRect(44, 6, 28, 18, kIconGreen);
    for (int32_t k = 0; k < 6; k++) t.fillRect(48 + k, 24 + k, 6 - k, 1, kIconGreen);
    for (int32_t k = 0; k < 3; k++) t.fillRect(50 + 7 * k, 14, 3, 3, kWhite);
    return t;
}

Rgb randomColour(std::mt19937& random) {
    uint32_t v = random();
    return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16)};
}

// A chat client over a desktop: a dark side bar, a list of contacts with
// photo-like avatars and lines of text, a message area with bubbles.
Canvas desktop(int32_t width, int32_t height, uint32_t seed) {
    std::mt19937 random(seed);
    Canvas c(width, height, {245, 245, 245});
    int32_t bar = width / 32, list = width / 6;
    c.fillRect(0, 0, bar, height, {46, 46, 46});
    c.fillRect(bar, 0, list, height, {230, 230, 230});
    auto text = [&](int32_t x0, int32_t y0, int32_t w, Rgb ink) {
        for (int32_t y = y0; y < y0 + 12; y++)
            for (int32_t x = x0; x < x0 + w; x++)
                if (random() % 3 == 0) c.set(x, y, ink);
    };
    for (int32_t y = 10; y + 60 < height; y += 64) {
        Rgb base = randomColour(random);
        for (int32_t py = 0; py < 44; py++) {
            for (int32_t px = 0; px < 44; px++) {
                uint32_t v = random();
                c.set(bar + 10 + px, y + py,
                      {uint8_t(base.r + (v & 31)), uint8_t(base.g + (v >> 8 & 31)), uint8_t(base.b + (v >> 16 & 31))});
            }
        }
        text(bar + 64, y + 6, list - 90, {0, 0, 0});
        text(bar + 64, y + 28, list / 2, {153, 153, 153});
    }
    int32_t area = bar + list;
    for (int32_t y = 40; y + 80 < height; y += 90) {
        bool mine = random() % 2 == 0;
        int32_t w = 200 + int32_t(random() % uint32_t(width / 3));
        int32_t x = mine ? width - 80 - w : area + 80;
        c.fillRect(x, y, w, 56, mine ? Rgb{149, 236, 105} : kWhite);
        text(x + 12, y + 10, w - 24, {0, 0, 0});
        text(x + 12, y + 32, w / 2, {0, 0, 0});
    }
    return c;
}

// Half the pixels in the anchor's colour, the rest anything.
Canvas busy(int32_t width, int32_t height, uint32_t seed) {
    std::mt19937 random(seed);
    Canvas c(width, height, kWhite);
    for (int32_t y = 0; y < height; y++)
        for (int32_t x = 0; x < width; x++) c.set(x, y, random() % 2 ? kIconGrey : randomColour(random));
    return c;
}

void paste(Canvas& image, const Canvas& piece, int32_t x0, int32_t y0) {
    for (int32_t y = 0; y < piece.layout.height; y++)
        for (int32_t x = 0; x < piece.layout.width; x++) image.set(x0 + x, y0 + y, piece.get(x, y));
}

struct Scene {
    std::string name;
    Canvas image;
    int32_t expectX, expectY;  // -1 when absent
};

struct Screen {
    int32_t width, height;
    std::vector<Scene> scenes;
};

const Canvas& theTemplate() {
    static const Canvas t = iconTemplate();
    return t;
}

std::vector<Screen>& screens() {
    static std::vector<Screen> all;
    if (all.empty()) {
        for (auto size : {std::pair<int32_t, int32_t>{1920, 1080}, {3840, 2160}}) {
            Screen s{size.first, size.second, {}};
            Canvas plain = desktop(s.width, s.height, 1);
            Canvas present = plain;
            int32_t px = s.width - 75 - 37, py = s.height - 34 - 21;
            paste(present, theTemplate(), px, py);
            s.scenes.push_back({"a absent", plain, -1, -1});
            s.scenes.push_back({"b present", present, px, py});
            s.scenes.push_back({"c busy", busy(s.width, s.height, 2), -1, -1});
            all.push_back(std::move(s));
        }
    }
    return all;
}

std::string sizeName(const Screen& s) { return std::to_string(s.width) + "x" + std::to_string(s.height); }

// One pass over the whole buffer, 16 bytes at a time.
uint64_t sumBytes(const Bytes& b) {
    __m128i sum = _mm_setzero_si128();
    size_t i = 0;
    for (; i + 16 <= b.size(); i += 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&b[i]));
        sum = _mm_add_epi64(sum, _mm_sad_epu8(v, _mm_setzero_si128()));
    }
    uint64_t total = uint64_t(_mm_cvtsi128_si64(sum)) + uint64_t(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sum, sum)));
    for (; i < b.size(); i++) total += b[i];
    return total;
}

void baseline(benchmark::State& state, const Screen* screen) {
    const Bytes& image = screen->scenes[0].image.bmp;
    for (auto _ : state) benchmark::DoNotOptimize(sumBytes(image));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(image.size()));
}

void search(benchmark::State& state, const Screen* screen, const Scene* scene) {
    ImageRecognizer recognizer;
    int32_t x = 0, y = 0;
    int32_t result = 0;
    for (auto _ : state) {
        result = recognizer.findImage(scene->image.bmp, theTemplate().bmp, 0, 0, screen->width - 1,
                                      screen->height - 1, "000000", 90, 0, x, y);
        benchmark::DoNotOptimize(result);
    }
    if (x != scene->expectX || y != scene->expectY) state.SkipWithError("wrong placement");
}

#if LB_WITH_OPENCV
// OpenCV reads the rows as they lie in memory (bottom-up): both pictures
// are mirrored alike, so the search is the same.
cv::Mat matOf(const Canvas& c) {
    return cv::Mat(c.layout.height, c.layout.width, CV_8UC3,
                   const_cast<uint8_t*>(c.bmp.data() + c.layout.pixelOffset), c.layout.stride);
}

void opencv(benchmark::State& state, const Scene* scene) {
    cv::Mat image = matOf(scene->image), templ = matOf(theTemplate()), scores;
    double low = 0, high = 0;
    cv::Point lowAt, highAt;
    for (auto _ : state) {
        cv::matchTemplate(image, templ, scores, cv::TM_SQDIFF);
        cv::minMaxLoc(scores, &low, &high, &lowAt, &highAt);
        benchmark::DoNotOptimize(lowAt);
    }
}
#endif

// Remembers seconds per iteration of every run for the closing table.
class TableReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> seconds;

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (!run.error_occurred && run.iterations > 0)
                seconds[run.benchmark_name()] = run.real_accumulated_time / double(run.iterations);
        ConsoleReporter::ReportRuns(runs);
    }
};

double lookup(const TableReporter& r, const std::string& name) {
    auto it = r.seconds.find(name);
    return it == r.seconds.end() ? 0 : it->second;
}

}  // namespace

int main(int argc, char** argv) {
#if LB_WITH_OPENCV
    cv::setNumThreads(1);  // findImage runs on one thread, and so does this comparison
#endif
    for (const Screen& screen : screens()) {
        std::string size = sizeName(screen);
        benchmark::RegisterBenchmark(("baseline/" + size).c_str(), baseline, &screen)
            ->Unit(benchmark::kMillisecond);
        for (const Scene& scene : screen.scenes) {
            benchmark::RegisterBenchmark(("findImage/" + scene.name + "/" + size).c_str(), search, &screen, &scene)
                ->Unit(benchmark::kMillisecond);
#if LB_WITH_OPENCV
            benchmark::RegisterBenchmark(("opencv/" + scene.name + "/" + size).c_str(), opencv, &scene)
                ->Unit(benchmark::kMillisecond);
#endif
        }
    }
    benchmark::Initialize(&argc, argv);
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\n%-10s %-10s %12s %12s %12s %12s\n", "size", "case", "findImage ms", "x baseline", "OpenCV ms",
                "x faster");
    for (const Screen& screen : screens()) {
        std::string size = sizeName(screen);
        double base = lookup(reporter, "baseline/" + size);
        std::printf("%-10s %-10s %12.3f\n", size.c_str(), "baseline", base * 1e3);
        for (const Scene& scene : screen.scenes) {
            double ours = lookup(reporter, "findImage/" + scene.name + "/" + size);
            double theirs = lookup(reporter, "opencv/" + scene.name + "/" + size);
            std::printf("%-10s %-10s %12.3f %12.2f", size.c_str(), scene.name.c_str(), ours * 1e3,
                        base > 0 ? ours / base : 0.0);
            if (theirs > 0 && ours > 0) std::printf(" %12.3f %12.1f", theirs * 1e3, theirs / ours);
            std::printf("\n");
        }
    }
    benchmark::Shutdown();
    return 0;
}
