// The status caption: rate arithmetic in extended precision from a 32-bit elapsed
// time, its "0000.00" formatting, and when and with which count it is written.
#include <cmath>
#include <limits>

#include "demo_fixture.h"

namespace {

struct RateCase {
    float elapsed;
    const char* shown;
};

TEST(DemoCaption, RateIsCutToHundredthsAndFormattedWithFourDigits) {
    const RateCase cases[] = {
        {0.5f, "0050.00"},
        {0.75f, "0033.33"},
        {30.0f, "0000.83"},  // stored as 0.82999998, shown to the nearest hundredth
        {0.4f, "0062.49"},   // 0.4f lies just above 0.4: 62.4999..., cut to 62.49
        {0.0f, "0025.00"},   // no time passed: counts as one second
        {-86399.5f, "0025.00"},
        {0.001f, "24999.99"},  // more than four digits before the point are kept
    };
    for (const RateCase& c : cases) {
        EXPECT_EQ(DemoFormatRate(DemoFrameRate(c.elapsed)), c.shown) << "elapsed " << c.elapsed;
    }
}

TEST(DemoCaption, NumbersTakeABlankOrAMinusSign) {
    EXPECT_EQ(DemoFormatNumber(32), " 32");
    EXPECT_EQ(DemoFormatNumber(0), " 0");
    EXPECT_EQ(DemoFormatNumber(-5), "-5");
    EXPECT_EQ(DemoFormatNumber(INT32_MIN), "-2147483648");
}

TEST(DemoCaption, CaptionHasTheExactShape) {
    EXPECT_EQ(DemoStatusCaption(32, 140, 140, DemoFrameRate(0.5f)),
              L"Sprite Demo:     32 Sprites ( 140 X 140 pixels) displaying at 0050.00 Frames/sec");
    EXPECT_EQ(DemoStatusCaption(-1, 140, 140, 25.0f),
              L"Sprite Demo:    -1 Sprites ( 140 X 140 pixels) displaying at 0025.00 Frames/sec");
}

TEST(DemoCaption, ExtremeElapsedTimesStayFinite) {
    const float tiny = std::numeric_limits<float>::denorm_min();
    EXPECT_TRUE(std::isfinite(DemoFrameRate(tiny)));
    EXPECT_EQ(DemoFrameRate(std::numeric_limits<float>::quiet_NaN()), 25.0f);
    EXPECT_EQ(DemoFrameRate(std::numeric_limits<float>::infinity()), 0.0f);
}

class DemoCaptionTest : public DemoTest {};

// The title is replaced at the 25th step of a measurement, from the clock read at
// the start of its first step.
TEST_F(DemoCaptionTest, TitleChangesAtThe25thStep) {
    StartDemo();
    ASSERT_NE(DemoState.mainWindow, nullptr);
    EXPECT_EQ(Title(), L"Sprite Demo");
    fakeNow = 500.0;
    for (int i = 0; i < 24; ++i) {
        Pass();
        fakeNow += 0.02;
    }
    EXPECT_EQ(Title(), L"Sprite Demo");
    fakeNow = 500.75;
    Pass();
    EXPECT_EQ(Title(), L"Sprite Demo:     32 Sprites ( 140 X 140 pixels) displaying at 0033.33 Frames/sec");
    EXPECT_EQ(DemoState.framesMeasured, 0);
}

TEST_F(DemoCaptionTest, MeasurementAcrossMidnightReports25) {
    StartDemo();
    fakeNow = 86399.5;
    Pass();
    fakeNow = 0.3;
    for (int i = 0; i < 24; ++i) Pass();
    EXPECT_EQ(Title(), L"Sprite Demo:     32 Sprites ( 140 X 140 pixels) displaying at 0025.00 Frames/sec");
}

}  // namespace
