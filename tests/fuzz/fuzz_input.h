// Reading a fuzzer's byte string as a sequence of decisions. Every read succeeds:
// past the end of the input a read gives 0, so every input, however short, is a
// complete run. Numbers that matter at the edges are drawn from tables of
// interesting values most of the time, so the 32-bit limits come up often.
#pragma once

#include <climits>
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// For the harness's own pixel loops (models and checks): coverage feedback from
// them means nothing to the fuzzer and would cost most of its time.
#define FUZZ_NO_COVERAGE __attribute__((no_sanitize("coverage"), noinline))

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool Empty() const { return pos_ >= size_; }

    uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }

    uint32_t U32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= uint32_t(Byte()) << (8 * i);
        return v;
    }
    int32_t I32() { return static_cast<int32_t>(U32()); }

    // A value in lo..hi (lo <= hi), uniform enough for a fuzzer.
    int32_t Range(int32_t lo, int32_t hi) {
        const uint64_t span = uint64_t(int64_t(hi) - lo) + 1;
        const uint64_t raw = span <= 256 ? Byte() : span <= 65536 ? (Byte() | Byte() << 8) : U32();
        return static_cast<int32_t>(lo + int64_t(raw % span));
    }

    // A signed 32-bit number near the limits, near zero, or anything.
    int32_t Extreme() {
        static constexpr int32_t kValues[] = {
            0,           1,           -1,          2,           -2,          7,
            100,         101,         -100,        255,         256,         257,
            1000,        1001,        65535,       65536,       INT32_MAX,   INT32_MAX - 1,
            INT32_MIN,   INT32_MIN + 1, INT32_MAX / 2, INT32_MIN / 2, 0x40000000, -0x40000000};
        const uint8_t selector = Byte();
        if (selector < 160) return kValues[selector % (sizeof kValues / sizeof kValues[0])];
        if (selector < 220) return Range(-300, 1500);
        return I32();
    }

    // A float that may be any bit pattern (NaN, infinities, huge, negative).
    float AnyFloat() {
        static constexpr float kValues[] = {0.0f, 0.5f, 0.7f, 1.0f, 0.25f, 1.5f, -1.0f, 100.0f};
        const uint8_t selector = Byte();
        if (selector < 200) return kValues[selector % 8];
        const uint32_t bits = U32();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }

    // Up to maxLength bytes of any value, NUL and bytes above 127 included.
    std::string Text(size_t maxLength) {
        const size_t length = Byte() % (maxLength + 1);
        std::string text;
        for (size_t i = 0; i < length && !Empty(); ++i) text.push_back(static_cast<char>(Byte()));
        return text;
    }

    // A 64-bit seed for filling large pictures without spending input bytes.
    uint64_t Seed() { return uint64_t(U32()) << 32 | U32(); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// A small deterministic generator for pixel data (splitmix64).
class FuzzRandom {
public:
    explicit FuzzRandom(uint64_t seed) : state_(seed) {}
    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    uint32_t Below(uint32_t bound) { return bound ? static_cast<uint32_t>(Next() % bound) : 0; }

private:
    uint64_t state_;
};

// Stops the run with a message a person can act on when a property does not hold;
// libFuzzer then saves the input that broke it.
inline void FuzzCheck(bool holds, const char* format, ...) {
    if (holds) return;
    std::va_list args;
    va_start(args, format);
    std::fputs("fuzz check failed: ", stderr);
    std::vfprintf(stderr, format, args);
    std::fputc('\n', stderr);
    va_end(args);
    std::abort();
}
