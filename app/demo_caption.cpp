// The status caption: every 25 steps the measured frame rate, with the ball count
// and size, becomes the main window's title.
#include <cfloat>
#include <cmath>
#include <cstdio>

#include "app/demo.h"

float DemoFrameRate(float elapsed) {
    // The negated test also turns a NaN into one second.
    if (!(elapsed > 0.0f)) elapsed = 1.0f;
    // In extended precision from the stored 32-bit elapsed time, so that 0.4f (just
    // above 0.4) gives 62.49, not 62.50.
    long double rate = std::floor((25.0L / static_cast<long double>(elapsed)) * 100.0L) / 100.0L;
    // A subnormal elapsed time would give a rate beyond the float range.
    if (rate > static_cast<long double>(FLT_MAX)) rate = FLT_MAX;
    return static_cast<float>(rate);
}

std::string DemoFormatNumber(int32_t value) {
    const int64_t wide = value;
    return (wide < 0 ? "-" : " ") + std::to_string(wide < 0 ? -wide : wide);
}

std::string DemoFormatRate(float rate) {
    char text[64];
    std::snprintf(text, sizeof text, "%07.2f", static_cast<double>(rate));
    return text;
}

std::wstring DemoStatusCaption(int32_t spriteCount, int32_t width, int32_t height, float rate) {
    const std::string caption = "Sprite Demo:    " + DemoFormatNumber(spriteCount) + " Sprites (" +
                                DemoFormatNumber(width) + " X" + DemoFormatNumber(height) +
                                " pixels) displaying at " + DemoFormatRate(rate) + " Frames/sec";
    return std::wstring(caption.begin(), caption.end());
}

void DemoWriteStatusCaption() {
    // fpsClock holds the start of the measurement, then the elapsed time, then the rate.
    DemoState.fpsClock = static_cast<float>(DemoClock() - static_cast<double>(DemoState.fpsClock));
    DemoState.fpsClock = DemoFrameRate(DemoState.fpsClock);
    const std::wstring caption =
        DemoStatusCaption(DemoState.spriteCount, DemoState.spriteWidth, DemoState.spriteHeight, DemoState.fpsClock);
    SetWindowTextW(DemoState.mainWindow, caption.c_str());
}
