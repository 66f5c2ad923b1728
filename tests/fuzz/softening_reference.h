// A second implementation of edge softening, written straight from its rule, for
// the fuzz targets to compare the engine's with.
#pragma once

#include <cstdint>
#include <vector>

#include "fuzz_input.h"

// The softening rule on a strip of w x h pixels, using V (the picture before the
// build) for every test and E for the results, written back at the end.
class ReferenceSoftening {
public:
    ReferenceSoftening(std::vector<uint32_t>& image, int64_t w, int64_t h, uint32_t key)
        : image_(image), v_(image), e_(image.size(), 0), w_(w), h_(h), key_(key) {}

    FUZZ_NO_COVERAGE void Run() {
        for (int64_t y = 0; y < h_; ++y) {
            Scan(false, y, +1);
            Scan(false, y, -1);
        }
        for (int64_t x = 0; x < w_; ++x) {
            Scan(true, x, +1);
            Scan(true, x, -1);
        }
        for (size_t i = 0; i < image_.size(); ++i)
            if ((e_[i] >> 24) != 0) image_[i] = e_[i];
    }

private:
    // Pixel number `pos` along scan line `line`, rows or columns.
    int64_t Index(bool vertical, int64_t line, int64_t pos) const {
        return vertical ? pos * w_ + line : line * w_ + pos;
    }
    bool Opaque(int64_t index) const { return v_[size_t(index)] != key_; }
    bool Step(bool vertical, int64_t line, int64_t pos) const {
        const int64_t lines = vertical ? w_ : h_;
        return (line > 0 && Opaque(Index(vertical, line - 1, pos))) ||
               (line < lines - 1 && Opaque(Index(vertical, line + 1, pos)));
    }
    FUZZ_NO_COVERAGE void Scan(bool vertical, int64_t line, int dir) {
        const int64_t length = vertical ? h_ : w_;
        int run = 0, n = 0;
        uint32_t colour = 0;
        for (int64_t pos = dir > 0 ? 0 : length - 1; pos >= 0 && pos < length; pos += dir) {
            if (Opaque(Index(vertical, line, pos))) {
                run = 15;
                continue;
            }
            if (run <= 0) continue;
            if (!Step(vertical, line, pos)) {
                run = 0;
                continue;
            }
            if (run == 15) {
                colour = v_[size_t(Index(vertical, line, pos - dir))];
                n = 1;
                for (int64_t a = pos + dir; a >= 0 && a < length; a += dir) {
                    if (Opaque(Index(vertical, line, a)) || !Step(vertical, line, a)) break;
                    if (++n == 15) break;
                }
                run = n;
            }
            uint32_t& e = e_[size_t(Index(vertical, line, pos))];
            if (!vertical || (e >> 24) == 0 || n > 1)
                e = (colour & 0x00FFFFFFu) | (uint32_t(n * 16 + run) << 24);
            --run;
        }
    }

    std::vector<uint32_t>& image_;
    const std::vector<uint32_t> v_;
    std::vector<uint32_t> e_;
    int64_t w_, h_;
    uint32_t key_;
};
