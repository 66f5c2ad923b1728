// The vector span kernels against the blend tables for every source byte,
// destination byte and weight, and the choice of the kernel set.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/render/compose_kernels.h"
#include "kernel_sets.h"
#include "engine_fixture.h"

namespace {


class SimdBlendTest : public EngineTest, public ::testing::WithParamInterface<KernelSetCase> {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        kernels = SprSpanKernelsOf(GetParam().set);
        if (!kernels) GTEST_SKIP() << GetParam().name << " is not available on this CPU";
    }

    SprSpriteParams Params(int32_t translucency, float edgeBlend) const {
        const auto& t = EngineState.BlendTables;
        // A key no pixel of these tests has: their fourth bytes are 0 or 1.
        return {0xFFFFFFFFu,
                translucency,
                t.MulTable.data() + translucency * 256,
                t.MulTable.data() + (100 - translucency) * 256,
                t.MulTable.data(),
                t.DivTable.data(),
                edgeBlend};
    }
    // The table rule for one byte: source s at weight w over destination d.
    static uint32_t TableBlend(int32_t w, uint32_t s, uint32_t d) {
        const auto& t = EngineState.BlendTables;
        return t.DivTable[t.MulTable[w * 256 + s] + t.MulTable[(100 - w) * 256 + d]];
    }

    // Runs `kernel` over one row holding every (s, d) pair: source pixel s * 256 + d
    // has the colour bytes (blue s, green 255 - s, red s) and fourth byte `code`,
    // its destination (d, d, 255 - d) and fourth byte 0xA5, so that each colour
    // byte position sees every pair. Checks each result against weight w.
    void CheckAllPairs(SprSpanKernel kernel, const SprSpriteParams& params, uint32_t code, int32_t w) {
        std::vector<uint32_t> src(65536), dst(65536);
        for (uint32_t s = 0; s < 256; ++s)
            for (uint32_t d = 0; d < 256; ++d) {
                src[s * 256 + d] = code << 24 | s << 16 | (255 - s) << 8 | s;
                dst[s * 256 + d] = 0xA5000000u | (255 - d) << 16 | d << 8 | d;
            }
        kernel(params, SprSpan{src.data(), dst.data(), 1, 65536});
        int failures = 0;
        for (uint32_t s = 0; s < 256 && failures < 5; ++s)
            for (uint32_t d = 0; d < 256 && failures < 5; ++d) {
                const uint32_t expected = 0xA5000000u | TableBlend(w, s, 255 - d) << 16 |
                                          TableBlend(w, 255 - s, d) << 8 | TableBlend(w, s, d);
                if (dst[s * 256 + d] != expected) {
                    ++failures;
                    ADD_FAILURE() << "weight " << w << " code " << code << " s " << s << " d " << d
                                  << ": got " << std::hex << dst[s * 256 + d] << ", expected "
                                  << expected;
                }
            }
    }

    const SprSpanKernels* kernels = nullptr;
};

// Plain pixels: T = 0 copies the source whole; T = 1..99 blends at 100 - T.
TEST_P(SimdBlendTest, PlainPixelsMatchTheTablesForEveryTranslucency) {
    std::vector<uint32_t> src(4096), dst(4096), expected(4096);
    for (uint32_t i = 0; i < 4096; ++i) {
        src[i] = (i * 2654435761u) & 0x00FFFFFFu;
        expected[i] = src[i];
        dst[i] = i * 40503u;
    }
    kernels->opaque(Params(0, 1.0f), SprSpan{src.data(), dst.data(), 1, 4096});
    EXPECT_EQ(dst, expected);
    for (int32_t t = 1; t <= 99; ++t) CheckAllPairs(kernels->blended, Params(t, 1.0f), 0, 100 - t);
}

// Edge pixels: code 0x01 (n = 0, k = 1) with edgeBlend 1 gives the edge opacity
// 100 - T exactly, so T = 0..99 blends at every weight from 100 down to 1, and
// edgeBlend 0 at weight 0; through both kernels.
TEST_P(SimdBlendTest, EdgePixelsMatchTheTablesForEveryWeight) {
    for (int32_t t = 0; t <= 99; ++t) {
        const SprSpanKernel kernel = t == 0 ? kernels->opaque : kernels->blended;
        CheckAllPairs(kernel, Params(t, 1.0f), 0x01, 100 - t);
    }
    CheckAllPairs(kernels->opaque, Params(0, 0.0f), 0x01, 0);
    CheckAllPairs(kernels->blended, Params(50, 0.0f), 0x01, 0);
}

// Rows of every length up to a few blocks, both directions, with key, plain and
// edge pixels of every code: each kernel writes what the reference writes and
// nothing on either side of the span.
TEST_P(SimdBlendTest, RowsOfEveryLengthStayInsideTheirSpan) {
    constexpr int32_t kGuard = 20, kLongest = 50;
    const uint32_t key = 0x00123456u;
    uint32_t random = 12345;
    auto next = [&random] { return random = random * 1664525u + 1013904223u; };
    std::vector<uint32_t> src(kLongest), expected(kLongest + 2 * kGuard), actual;
    uint32_t code = 0;
    for (const int32_t t : {0, 37}) {
        for (const float edgeBlend : {1.0f, 0.5f}) {
            const SprSpriteParams params = Params(t, edgeBlend);
            for (int32_t count = 1; count <= kLongest; ++count) {
                for (const int32_t step : {1, -1}) {
                    for (uint32_t& pixel : src) {
                        const uint32_t roll = next() >> 29;  // 0..7
                        pixel = roll < 2 ? key : next() & 0x00FFFFFFu;
                        if (roll >= 5) pixel |= (code++ & 0xFF) << 24;
                    }
                    for (uint32_t& pixel : expected) pixel = next();
                    actual = expected;
                    // The span's first pixel, with room for the whole row either way.
                    const int32_t first = step > 0 ? kGuard : kGuard + count - 1;
                    const SprSpanKernel reference =
                        t == 0 ? SprReferenceSpanKernels.opaque : SprReferenceSpanKernels.blended;
                    const SprSpanKernel kernel = t == 0 ? kernels->opaque : kernels->blended;
                    SprSpriteParams keyed = params;
                    keyed.key = key;
                    reference(keyed, SprSpan{src.data(), expected.data() + first, step, count});
                    kernel(keyed, SprSpan{src.data(), actual.data() + first, step, count});
                    ASSERT_EQ(actual, expected) << "T " << t << " edgeBlend " << edgeBlend
                                                << " count " << count << " step " << step;
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sets, SimdBlendTest, ::testing::ValuesIn(kVectorSets),
                         [](const auto& info) { return std::string(info.param.name); });

// The division the vector kernels use in place of DivTable.
TEST(SimdDivision, ShiftedProductDividesBy100UpTo25500) {
    for (uint32_t i = 0; i <= 25500; ++i) ASSERT_EQ((i * 5243) >> 19, i / 100) << i;
}

TEST_F(EngineTest, KernelSetSelection) {
    ASSERT_NE(SprSpanKernelsOf(SprKernelSetDefault), nullptr);
    EXPECT_EQ(SprSpanKernelsOf(SprKernelSetReference), &SprReferenceSpanKernels);
    EXPECT_EQ(SprSpanKernelsOf(static_cast<SprKernelSet>(99)), nullptr);
    EXPECT_FALSE(SprSelectSpanKernels(static_cast<SprKernelSet>(99)));

    ASSERT_TRUE(SprSelectSpanKernels(SprKernelSetReference));
    EXPECT_EQ(&SprActiveSpanKernels(), &SprReferenceSpanKernels);
#if !defined(SPRITE_REFERENCE_COMPOSITOR) && (defined(__x86_64__) || defined(__i386__))
    // This CPU's best set is the default; every x86-64 CPU we run on has SSE4.1.
    const SprSpanKernels* best = SprSpanKernelsOf(SprKernelSetAvx512);
    if (!best) best = SprSpanKernelsOf(SprKernelSetAvx2);
    if (!best) best = SprSpanKernelsOf(SprKernelSetSse41);
    EXPECT_EQ(SprSpanKernelsOf(SprKernelSetDefault), best);
#endif
    ASSERT_TRUE(SprSelectSpanKernels(SprKernelSetDefault));
    EXPECT_EQ(&SprActiveSpanKernels(), SprSpanKernelsOf(SprKernelSetDefault));
}

}  // namespace
