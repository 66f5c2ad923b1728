// Bitmap files through LoadImageW: the input is written to a file and loaded at
// its natural size and scaled to a few sizes. A load either fails (0) or gives a
// bitmap of exactly the asked size whose pixels can be read back with a zero fourth
// byte; either way no GDI object is left behind once the bitmap is deleted.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "platform/testing/platform_testing.h"
#include "platform/win32.h"
#include "support/dib_support.h"

namespace {

// One file per process, rewritten for every input and removed at exit.
struct InputFile {
    std::string path;
    std::wstring wide;
    ~InputFile() { std::remove(path.c_str()); }
};

InputFile MakeInputFile() {
    const char* dir = std::getenv("TMPDIR");
    const std::string path = std::string(dir && *dir ? dir : "/tmp") + "/load_image_fuzz_" +
                             std::to_string(getpid()) + ".bmp";
    return InputFile{path, std::wstring(path.begin(), path.end())};
}

const InputFile& File() {
    static const InputFile file = MakeInputFile();
    return file;
}

bool WriteInput(const uint8_t* data, size_t size) {
    FILE* file = std::fopen(File().path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

FUZZ_NO_COVERAGE bool FourthBytesClear(const std::vector<uint32_t>& pixels) {
    for (uint32_t p : pixels)
        if ((p >> 24) != 0) return false;
    return true;
}

void LoadAt(int cx, int cy) {
    HANDLE handle = LoadImageW(nullptr, File().wide.c_str(), IMAGE_BITMAP, cx, cy, LR_LOADFROMFILE);
    if (handle == nullptr) return;
    FuzzCheck(GetObjectType(handle) == OBJ_BITMAP, "LoadImageW gave something that is not a bitmap");
    BITMAP bm{};
    FuzzCheck(GetObjectA(handle, sizeof bm, &bm) == int(sizeof bm), "GetObjectA failed");
    FuzzCheck(bm.bmWidth > 0 && bm.bmHeight > 0 && (cx == 0 || bm.bmWidth == cx) &&
                  (cy == 0 || bm.bmHeight == cy),
              "asked for %d x %d, got %d x %d", cx, cy, bm.bmWidth, bm.bmHeight);
    const TestPixels read = TestReadBitmap(static_cast<HBITMAP>(handle));
    FuzzCheck(read.width == bm.bmWidth && read.height == bm.bmHeight,
              "GetDIBits could not read the %d x %d bitmap back", bm.bmWidth, bm.bmHeight);
    FuzzCheck(FourthBytesClear(read.pixels), "a loaded pixel has a non-zero fourth byte");
    FuzzCheck(DeleteObject(handle) == TRUE, "the loaded bitmap could not be deleted");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!WriteInput(data, size)) return 0;
    const GdiObjectCounts start = PlatformLiveGdiObjects();
    // Natural size, the ball picture's size, and stretches up and down.
    static constexpr int kSizes[][2] = {{0, 0}, {420, 140}, {97, 61}, {1, 1}, {3, 0}, {0, 257}};
    for (const auto& s : kSizes) LoadAt(s[0], s[1]);
    const GdiObjectCounts end = PlatformLiveGdiObjects();
    FuzzCheck(end.Total() == start.Total(), "loading left %d GDI objects alive",
              end.Total() - start.Total());
    return 0;
}
