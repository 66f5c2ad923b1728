// LoadImageW for bitmap files: the file is read whole, its header checked
// (GdiCheckBmpFile), decoded by SDL's BMP loader from memory, and copied into a
// screen-compatible 32-bit bitmap, scaled nearest-neighbour when asked.
#include <SDL.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/gdi/bmp_file.h"
#include "platform/gdi/pixel_access.h"
#include "platform/system/path_encoding.h"

namespace {

// The contents of a regular file of at most kBmpMaxFileBytes, or nullptr.
uint8_t* ReadFile(const std::string& path, size_t* size) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info {};
    uint8_t* bytes = nullptr;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
        info.st_size <= kBmpMaxFileBytes) {
        *size = static_cast<size_t>(info.st_size);
        bytes = static_cast<uint8_t*>(malloc(*size));
        size_t done = 0;
        while (bytes != nullptr && done < *size) {
            const ssize_t got = read(fd, bytes + done, *size - done);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) {
                free(bytes);
                bytes = nullptr;
            } else {
                done += static_cast<size_t>(got);
            }
        }
    }
    close(fd);
    return bytes;
}

// Decodes checked file contents into 0x00RRGGBB pixels.
SDL_Surface* Decode(const uint8_t* bytes, size_t size) {
    SDL_RWops* stream = SDL_RWFromConstMem(bytes, static_cast<int>(size));
    if (stream == nullptr) return nullptr;
    SDL_Surface* decoded = SDL_LoadBMP_RW(stream, 1);
    if (decoded == nullptr) return nullptr;
    SDL_Surface* converted = SDL_ConvertSurfaceFormat(decoded, SDL_PIXELFORMAT_XRGB8888, 0);
    SDL_FreeSurface(decoded);
    return converted;
}

}  // namespace

HANDLE WINAPI LoadImageW(HINSTANCE hInst, LPCWSTR name, UINT type, int cx, int cy, UINT fuLoad) {
    (void)hInst;  // files are named by path alone
    if (name == nullptr || type != IMAGE_BITMAP || (fuLoad & LR_LOADFROMFILE) == 0 || cx < 0 || cy < 0) {
        return nullptr;
    }
    std::string path;
    if (!SysWideToPath(name, &path)) return nullptr;
    size_t size = 0;
    uint8_t* bytes = ReadFile(path, &size);
    if (bytes == nullptr) return nullptr;
    BmpLayout layout{};
    SDL_Surface* picture = GdiCheckBmpFile(bytes, size, &layout) ? Decode(bytes, size) : nullptr;
    free(bytes);
    if (picture == nullptr) return nullptr;

    HBITMAP result = nullptr;
    if (picture->w == layout.width && picture->h == layout.height && SDL_LockSurface(picture) == 0) {
        result = GdiNewBitmap(cx != 0 ? cx : picture->w, cy != 0 ? cy : picture->h, 32, true, false, true);
        const GdiBitmap* bitmap = GdiLookupBitmap(result);
        const GdiPixelView from{static_cast<uint8_t*>(picture->pixels), picture->pitch, picture->w,
                                picture->h, 32};
        if (bitmap != nullptr && GdiStretchPicture(GdiViewOf(bitmap), from)) {
            // The decoder may leave anything in the unused fourth byte.
            const GdiPixelView to = GdiViewOf(bitmap);
            for (int32_t y = 0; y < to.height; ++y) {
                uint8_t* row = to.Row(y);
                for (int32_t x = 0; x < to.width; ++x) row[x * 4 + 3] = 0;
            }
        } else if (bitmap != nullptr) {
            GdiDeleteBitmap(result);
            result = nullptr;
        }
        SDL_UnlockSurface(picture);
    }
    SDL_FreeSurface(picture);
    return result;
}
