// libFuzzer target for the dot-matrix operations: a library file and a
// bitmap from the input, then recognition and search over the bitmap.
//
// Input: 8 option bytes (similarity, left, top, right, bottom, colour,
// tolerance, bitmap mode), a 2-byte library length, the library bytes, and
// the rest for the bitmap. In bitmap mode 1 the rest fills the pixels of a
// well-formed bitmap whose size comes from its first two bytes; otherwise the
// rest is taken as the bitmap file as it is.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include <unistd.h>

#include "common/bitmap.h"
#include "recognizer/image_recognizer.h"
#include "recognizer/message_box.h"

namespace {

void ignoreMessage(const Text&, const Text&) {}

Text libraryPath() {
    static const Text path = "/tmp/lb_dot_matrix_fuzz_" + std::to_string(getpid()) + ".txt";
    return path;
}

Text hexByte(uint8_t value) {
    const char* digits = "0123456789ABCDEF";
    return Text{digits[value >> 4], digits[value & 15]};
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setMessageSink(ignoreMessage);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 10) return 0;
    const uint8_t* options = data;
    size_t libraryLength = std::min<size_t>(size_t(data[8]) | size_t(data[9]) << 8, size - 10);
    const uint8_t* library = data + 10;
    const uint8_t* rest = library + libraryLength;
    const size_t restLength = size - 10 - libraryLength;

    FILE* file = std::fopen(libraryPath().c_str(), "wb");
    if (!file) return 0;
    std::fwrite(library, 1, libraryLength, file);
    std::fclose(file);
    ImageRecognizer recognizer;
    recognizer.loadLibrary(libraryPath());

    Bytes image;
    if ((options[7] & 1) && restLength >= 2) {
        image = makeBitmap(1 + rest[0] % 40, 1 + rest[1] % 24);
        size_t pixels = std::min(image.size() - kBitmapHeadersSize, restLength - 2);
        std::memcpy(image.data() + kBitmapHeadersSize, rest + 2, pixels);
    } else {
        image.assign(rest, rest + restLength);
    }

    const int32_t similarity = options[0] % 128 - 10;
    const int32_t left = int8_t(options[1]), top = int8_t(options[2]);
    const int32_t right = options[3], bottom = options[4];
    const Text colours = "FFFFFF-000000|" + hexByte(options[5]) + hexByte(options[5]) + hexByte(options[6]) + "-" +
                         hexByte(options[6]) + "0000";

    recognizer.recognizeText(image, left, top, right, bottom, colours, similarity);

    Text words;
    for (size_t i = 0; i < recognizer.glyphTexts.size() && i < 3; i++) words += recognizer.glyphTexts[i];
    if (!recognizer.glyphTexts.empty()) words += "|" + recognizer.glyphTexts.back();
    int32_t x = 0, y = 0;
    recognizer.findText(image, left, top, right, bottom, words, colours, similarity, x, y);
    return 0;
}
