#include "recognizer/image_recognizer.h"

#include <gtest/gtest.h>
