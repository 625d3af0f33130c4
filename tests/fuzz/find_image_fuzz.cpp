// Feeds findImage arbitrary images, templates and options, and checks every
// answer against the plain reading of the rule.
//
// Input: 16 option bytes, then the payload.
//   0-3   left, top, right, bottom as signed bytes; 127 and -128 stand for
//         the int32 extremes
//   4     similarity (signed), 5 direction (signed)
//   6     bits 0-2: tolerance length (0-7); bit 3: build the bitmaps here
//   7-13  tolerance characters
//   14-15 where the payload splits into image and template (raw bitmaps)
// With bit 6.3 clear the payload is taken as the two raw buffers, headers
// and all. With it set, four payload bytes give both sizes and the rest
// fills the pixels of well-formed bitmaps, which reach the scan far more
// often.
#include <cstdint>
#include <cstdlib>

#include "common/bitmap.h"
#include "recognizer/image_recognizer.h"
#include "tests/recognizer/find_image_reference.h"

namespace {

int32_t coordinate(uint8_t byte) {
    int8_t v = static_cast<int8_t>(byte);
    if (v == 127) return INT32_MAX;
    if (v == -128) return INT32_MIN;
    return v;
}

Bytes filled(int32_t width, int32_t height, const uint8_t* pixels, size_t count, size_t& used) {
    Bytes bmp = makeBitmap(width, height);
    if (count == 0) return bmp;
    for (size_t i = 54; i < bmp.size(); i++) bmp[i] = pixels[used++ % count];
    return bmp;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 16) return 0;
    const uint8_t* payload = data + 16;
    size_t length = size - 16;

    Bytes image, templ;
    if (data[6] & 8) {
        if (length < 4) return 0;
        size_t used = 0;
        image = filled(1 + payload[0] % 48, 1 + payload[1] % 16, payload + 4, length - 4, used);
        templ = filled(1 + payload[2] % 8, 1 + payload[3] % 6, payload + 4, length - 4, used);
    } else {
        size_t split = readLe16(data + 14) % (length + 1);
        image.assign(payload, payload + split);
        templ.assign(payload + split, payload + length);
    }
    Text tolerance(reinterpret_cast<const char*>(data + 7), data[6] & 7);
    int32_t left = coordinate(data[0]), top = coordinate(data[1]);
    int32_t right = coordinate(data[2]), bottom = coordinate(data[3]);
    int32_t similarity = static_cast<int8_t>(data[4]), direction = static_cast<int8_t>(data[5]);

    int32_t x = 77, y = 77, wantX = 77, wantY = 77;
    int32_t result = ImageRecognizer().findImage(image, templ, left, top, right, bottom, tolerance, similarity,
                                                 direction, x, y);
    int32_t want = reference::findImage(image, templ, left, top, right, bottom, tolerance, similarity,
                                        direction, wantX, wantY);
    if (result != want || x != wantX || y != wantY) abort();
    return 0;
}
