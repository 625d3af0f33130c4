#include "recognizer/image_recognizer.h"

int32_t ImageRecognizer::findImage(const Bytes&, const Bytes&, int32_t, int32_t, int32_t, int32_t,
                                   const Text&, int32_t, int32_t, int32_t& xOut, int32_t& yOut) const {
    xOut = yOut = -1;
    return 0;
}
