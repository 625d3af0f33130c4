// The search behind ImageRecognizer::findImage, on plain pointers.
//
// Buffers come as pointer and length, a missing or empty one as a null
// pointer. The search keeps its state in locals, only reads the buffers,
// allocates nothing and may run on any number of threads at once.
#pragma once

#include <cstddef>
#include <cstdint>

// Finds the template in the rectangle left..right, top..bottom (inclusive) of
// the image. Returns 1 with the match's top-left corner in *xOut, *yOut; 0
// with both -1 when nothing matches or the input is unusable; -1, leaving
// *xOut and *yOut alone, when the template cannot fit in the rectangle.
int32_t searchImage(const uint8_t* image, size_t imageLength, const uint8_t* templateImage,
                    size_t templateLength, int32_t left, int32_t top, int32_t right, int32_t bottom,
                    const char* colourTolerance, size_t toleranceLength, int32_t similarity,
                    int32_t direction, int32_t* xOut, int32_t* yOut);
