#include "recognizer/find_image_search.h"
#include "recognizer/image_recognizer.h"

// A thin entry: buffers and text become pointer and length (null when
// empty), the outputs their addresses. The search itself touches no member.
int32_t ImageRecognizer::findImage(const Bytes& image, const Bytes& templateImage, int32_t left,
                                   int32_t top, int32_t right, int32_t bottom,
                                   const Text& colourTolerance, int32_t similarity,
                                   int32_t direction, int32_t& xOut, int32_t& yOut) const {
    return searchImage(image.empty() ? nullptr : image.data(), image.size(),
                       templateImage.empty() ? nullptr : templateImage.data(), templateImage.size(),
                       left, top, right, bottom,
                       colourTolerance.empty() ? nullptr : colourTolerance.data(),
                       colourTolerance.size(), similarity, direction, &xOut, &yOut);
}
