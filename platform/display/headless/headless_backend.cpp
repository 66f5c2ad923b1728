// The headless backend: the same window system with no desktop. Surfaces live in
// memory; tests inject input and read pixels through platform/platform_testing.h.
#include "platform/display/display.h"
#include "platform/platform_testing.h"

namespace {

int32_t screenWidth = 1280;
int32_t screenHeight = 1024;

void HeadlessScreenSize(int32_t* width, int32_t* height) {
    *width = screenWidth;
    *height = screenHeight;
}

const DisplayBackend headlessBackend = {
    .name = "headless",
    .screenSize = HeadlessScreenSize,
};

}  // namespace

const DisplayBackend& DisplayGetBackend() { return headlessBackend; }

void PlatformSetScreenSize(int32_t width, int32_t height) {
    screenWidth = width;
    screenHeight = height;
}
