// Runs the benchmarks and ends with the tables: for the demo's scene the median CPU
// time per frame of each case and its ratio to the memcpy of the same bytes, the
// same for the best run, the pixel rate, the heap allocations per frame and the
// change in live GDI objects, then the targets; for the scaling cases each frame
// beside its own memcpy baseline, and how fast the time grows with the number of
// balls and the canvas area. A table none of whose cases ran is left out.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>

#include "bench_scale.h"
#include "engine/render/compose_kernels.h"

namespace {

struct BenchFigures {
    double microseconds;
    double bestMicroseconds;
    double allocations;
    double gdiObjects;
    double written;  // pixels a scaling frame writes
};

// Rows of the table in order, by benchmark name, with the text shown for each.
struct BenchRow {
    const char* name;
    const char* label;
};
const BenchRow kRows[] = {
    {"memcpy", "memcpy of the same bytes"},
    {"compositor_vector/opaque", "compositor, vector kernels: opaque"},
    {"compositor_vector/50%", "compositor, vector kernels: 50 %"},
    {"compositor_vector/flipped", "compositor, vector kernels: flipped"},
    {"compositor_vector/flipped_50%", "compositor, vector kernels: flipped, 50 %"},
    {"compositor_vector/opaque_hard_edges", "compositor, vector kernels: opaque, no soft edges"},
    {"compositor_vector/50%_hard_edges", "compositor, vector kernels: 50 %, no soft edges"},
    {"compositor_sse41/opaque", "compositor, SSE4.1 kernels: opaque"},
    {"compositor_sse41/50%", "compositor, SSE4.1 kernels: 50 %"},
    {"compositor_avx512/opaque", "compositor, AVX-512 kernels: opaque"},
    {"compositor_avx512/50%", "compositor, AVX-512 kernels: 50 %"},
    {"compositor_avx2/opaque", "compositor, AVX2 kernels: opaque"},
    {"compositor_avx2/50%", "compositor, AVX2 kernels: 50 %"},
    {"compositor_avx2/opaque_hard_edges", "compositor, AVX2 kernels: opaque, no soft edges"},
    {"compositor_reference/opaque", "compositor, reference kernels: opaque"},
    {"compositor_reference/50%", "compositor, reference kernels: 50 %"},
    {"compositor_reference/flipped", "compositor, reference kernels: flipped"},
    {"sdl_colorkey_rle/opaque", "SDL2 blit, colour key + RLE: opaque"},
    {"sdl_colorkey_rle/50%", "SDL2 blit, colour key + RLE: alpha mod 50 %"},
    {"sdl_colorkey/opaque", "SDL2 blit, colour key: opaque"},
    {"sdl_colorkey/50%", "SDL2 blit, colour key: alpha mod 50 %"},
    {"pixman_over/opaque", "pixman OVER, premultiplied: opaque"},
    {"pixman_over/50%", "pixman OVER, premultiplied: solid mask 50 %"},
    {"demo_frame/opaque", "whole headless demo frame: opaque"},
    {"demo_frame/50%", "whole headless demo frame: AlphaBlend ON"},
};

// The console output as usual, plus the medians (or the single runs) kept for
// the table that Finalize prints.
class BenchTableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            const bool aggregate = run.run_type == Run::RT_Aggregate;
            const std::string& name = run.run_name.function_name;
            const double toMicroseconds = 1e6 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            if (aggregate && run.aggregate_name == "best") {
                best[name] = run.GetAdjustedCPUTime() * toMicroseconds;
                continue;
            }
            const bool median = aggregate && run.aggregate_name == "median";
            if (!median && (aggregate || medians.count(name))) continue;
            auto counter = [&](const char* key) {
                auto it = run.counters.find(key);
                return it == run.counters.end() ? 0.0 : it->second.value;
            };
            const double microseconds = run.GetAdjustedCPUTime() * toMicroseconds;
            BenchFigures figures{microseconds, microseconds, counter("allocs"), counter("gdi"),
                                 counter("written")};
            if (median)
                medians[name] = figures;
            else
                singles[name] = figures;
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const auto& [name, figures] : singles)
            if (!medians.count(name)) medians[name] = figures;
        for (auto& [name, figures] : medians)
            if (best.count(name)) figures.bestMicroseconds = best[name];
        PrintSceneTable();
        PrintScaleTables();
    }

private:
    void PrintSceneTable() const {
        bool any = false;
        for (const BenchRow& row : kRows) any = any || Find(row.name);
        if (!any) return;
        const BenchFigures* memcpyFigures = Find("memcpy");
        const SprSpanKernels* best = SprSpanKernelsOf(SprKernelSetDefault);
        const char* vector = best == SprSpanKernelsOf(SprKernelSetAvx512)  ? "AVX-512"
                             : best == SprSpanKernelsOf(SprKernelSetAvx2)    ? "AVX2"
                             : best == SprSpanKernelsOf(SprKernelSetSse41) ? "SSE4.1"
                                                                          : "reference";
        std::printf("\nPer frame: 800 x 600 canvas restored, 32 balls of 140 x 140 drawn "
                    "(vector kernels: %s)\n\n",
                    vector);
        std::printf("| %-50s | %9s | %8s | %9s | %8s | %7s | %12s | %11s |\n", "case", "ms/frame",
                    "x memcpy", "best ms", "x memcpy", "Mpx/s", "allocs/frame", "GDI objects");
        std::printf("|%s|%s|%s|%s|%s|%s|%s|%s|\n", std::string(52, '-').c_str(),
                    std::string(11, '-').c_str(), std::string(10, '-').c_str(),
                    std::string(11, '-').c_str(), std::string(10, '-').c_str(),
                    std::string(9, '-').c_str(), std::string(14, '-').c_str(),
                    std::string(13, '-').c_str());
        for (const BenchRow& row : kRows) {
            const BenchFigures* f = Find(row.name);
            if (!f) continue;
            const double ratio = memcpyFigures ? f->microseconds / memcpyFigures->microseconds : 0.0;
            const double bestRatio =
                memcpyFigures ? f->bestMicroseconds / memcpyFigures->bestMicroseconds : 0.0;
            std::printf("| %-50s | %9.3f | %8.2f | %9.3f | %8.2f | %7.0f | %12.1f | %+11.0f |\n",
                        row.label, f->microseconds / 1000.0, ratio, f->bestMicroseconds / 1000.0,
                        bestRatio, (800.0 * 600.0 + 32.0 * 140.0 * 140.0) / f->microseconds,
                        f->allocations, f->gdiObjects);
        }
        std::printf("\nTargets (medians; best runs in brackets):\n");
        Target("vector opaque / memcpy", "compositor_vector/opaque", "memcpy", 1.4, true);
        Target("vector 50 % / memcpy", "compositor_vector/50%", "memcpy", 1.8, true);
        Target("pixman opaque / vector opaque", "pixman_over/opaque", "compositor_vector/opaque", 1.4,
               false);
        Target("pixman 50 % / vector 50 %", "pixman_over/50%", "compositor_vector/50%", 2.0, false);
        Target("headless frame / memcpy", "demo_frame/opaque", "memcpy", 3.0, true);
    }

    // The scaling cases: against the number of balls, then against the canvas size.
    void PrintScaleTables() const {
        const std::vector<BenchScaleCase> counts = BenchScaleCountCases();
        const std::vector<BenchScaleCase> canvases = BenchScaleCanvasCases();
        auto ran = [this](const std::vector<BenchScaleCase>& cases) {
            for (const BenchScaleCase& c : cases)
                if (Find(BenchScaleName(c, false)) && Find(BenchScaleName(c, true))) return true;
            return false;
        };
        if (!ran(counts) && !ran(canvases)) return;
        std::printf("\nScale: per frame every ball moved by the demo's bounce rule, then "
                    "SpriteUpdateCanvas\n(the invalid area restored, the balls drawn, the invalid "
                    "area copied to the window),\nbeside a memcpy of the same bytes over the same "
                    "rectangles\n");
        if (ran(counts)) {
            std::printf("\nAgainst the number of balls:\n\n");
            PrintScaleRows(counts);
        }
        if (ran(canvases)) {
            std::printf("\nAgainst the canvas size:\n\n");
            PrintScaleRows(canvases);
        }
        std::string growth;
        for (const int32_t size : {140, 32})
            for (const int32_t opacity : {0, 50})
                growth += Growth(BenchScaleCase{800, 600, 32, size, opacity},
                                 BenchScaleCase{800, 600, 1000, size, opacity}, 32.0, 1000.0,
                                 "balls 32 to 1000");
        for (const int32_t balls : {32, 1000})
            growth += Growth(BenchScaleCase{800, 600, balls, 140, 0},
                             BenchScaleCase{3840, 2160, balls, 140, 0}, 800.0 * 600.0,
                             3840.0 * 2160.0, "area 800 x 600 to 3840 x 2160");
        if (!growth.empty())
            std::printf("\nGrowth, the exponent k of time ~ n^k between the medians:\n%s", growth.c_str());
    }

    void PrintScaleRows(const std::vector<BenchScaleCase>& cases) const {
        std::printf("| %-11s | %5s | %-9s | %-7s | %9s | %9s | %9s | %8s | %8s | %12s | %11s |\n", "canvas",
                    "balls", "ball", "opacity", "Mpx/frame", "ms/frame", "memcpy ms", "x memcpy", "best x",
                    "allocs/frame", "GDI objects");
        std::printf("|-------------|-------|-----------|---------|-----------|-----------|-----------|"
                    "----------|----------|--------------|-------------|\n");
        for (const BenchScaleCase& c : cases) {
            const BenchFigures* frame = Find(BenchScaleName(c, false));
            const BenchFigures* baseline = Find(BenchScaleName(c, true));
            if (!frame || !baseline) continue;
            const std::string canvas = std::to_string(c.canvasWidth) + " x " + std::to_string(c.canvasHeight);
            const std::string ball = std::to_string(c.ballSize) + " x " + std::to_string(c.ballSize);
            const std::string opacity = c.opacity == 0 ? "opaque" : std::to_string(c.opacity) + " %";
            std::printf("| %-11s | %5d | %-9s | %-7s | %9.2f | %9.3f | %9.3f | %8.2f | %8.2f | %12.1f | %+11.0f |\n",
                        canvas.c_str(), c.balls, ball.c_str(), opacity.c_str(), frame->written / 1e6,
                        frame->microseconds / 1000.0, baseline->microseconds / 1000.0,
                        frame->microseconds / baseline->microseconds,
                        frame->bestMicroseconds / baseline->bestMicroseconds, frame->allocations,
                        frame->gdiObjects);
        }
    }

    // The exponent k of time ~ n^k between two cases, for the frame, the baseline and
    // the pixels written, as a line of text; empty when a case did not run.
    std::string Growth(const BenchScaleCase& from, const BenchScaleCase& to, double nFrom, double nTo,
                const char* what) const {
        const BenchFigures* f0 = Find(BenchScaleName(from, false));
        const BenchFigures* f1 = Find(BenchScaleName(to, false));
        const BenchFigures* b0 = Find(BenchScaleName(from, true));
        const BenchFigures* b1 = Find(BenchScaleName(to, true));
        if (!f0 || !f1 || !b0 || !b1) return "";
        const double span = std::log(nTo / nFrom);
        const std::string label = std::string(what) + ", " +
                                  (from.balls == to.balls ? std::to_string(to.balls) + " balls of " : "") +
                                  std::to_string(to.ballSize) + " x " + std::to_string(to.ballSize) +
                                  (to.opacity == 0 ? ", opaque" : ", 50 %");
        char line[160];
        std::snprintf(line, sizeof line, "  %-64s frame %5.2f   memcpy %5.2f   pixels written %5.2f\n",
                      label.c_str(), std::log(f1->microseconds / f0->microseconds) / span,
                      std::log(b1->microseconds / b0->microseconds) / span,
                      std::log(f1->written / f0->written) / span);
        return line;
    }

    const BenchFigures* Find(const std::string& name) const {
        auto it = medians.find(name);
        return it == medians.end() ? nullptr : &it->second;
    }
    // Prints the ratio of two medians against its limit: at most (atMost) or at least.
    void Target(const char* what, const char* a, const char* b, double limit, bool atMost) const {
        const BenchFigures* fa = Find(a);
        const BenchFigures* fb = Find(b);
        if (!fa || !fb) return;
        const double ratio = fa->microseconds / fb->microseconds;
        const double bestRatio = fa->bestMicroseconds / fb->bestMicroseconds;
        const bool met = atMost ? ratio <= limit : ratio >= limit;
        std::printf("  %-32s %5.2f [%5.2f]  (%s %.1f)  %s\n", what, ratio, bestRatio,
                    atMost ? "at most" : "at least", limit, met ? "met" : "NOT MET");
    }

    std::map<std::string, BenchFigures> medians;
    std::map<std::string, BenchFigures> singles;
    std::map<std::string, double> best;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    BenchTableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
