// Writes the demo's pictures into the folder given as the only argument:
// ball3d.bmp (420 x 140) and bkgnd1.bmp .. bkgnd5.bmp (800 x 600).
#include <cstdio>
#include <string>

#include "pictures.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    bool ok = PictureWriteBmp(PictureBallStrip(), folder + "/ball3d.bmp");
    for (int n = 1; n <= 5; ++n) {
        ok = PictureWriteBmp(PictureBackground(n, 800, 600), folder + "/bkgnd" + std::to_string(n) + ".bmp") && ok;
    }
    if (!ok) {
        std::fprintf(stderr, "%s: cannot write the pictures into %s\n", argv[0], folder.c_str());
        return 1;
    }
    return 0;
}
