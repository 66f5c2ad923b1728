// The scene: the engine started and attached to the canvas, and 32 balls, LOGO1
// made from the ball picture and LOGO2..LOGO32 its clones, hidden on the canvas.
#include "app/demo.h"
#include "engine/sprite_engine.h"

namespace {

// The ball picture held selected in a memory DC; both 0 when the file is missing.
struct BallPicture {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ previous;
};

// Loads graphics\ball3d.bmp and makes sure it is width x height, stretching it
// when it is not.
BallPicture DemoLoadBallPicture(int32_t width, int32_t height) {
    BallPicture picture{};
    const std::wstring path = DemoProgramFolder() + L"\\graphics\\ball3d.bmp";
    auto loaded = static_cast<HBITMAP>(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    if (loaded == nullptr) return picture;

    BITMAP info{};
    GetObjectA(loaded, sizeof info, &info);
    HDC screen = GetDC(nullptr);
    if (info.bmWidth != width || info.bmHeight != height) {
        HBITMAP stretched = CreateCompatibleBitmap(screen, width, height);
        HDC source = CreateCompatibleDC(screen);
        HDC target = CreateCompatibleDC(screen);
        HGDIOBJ sourcePrevious = SelectObject(source, loaded);
        HGDIOBJ targetPrevious = SelectObject(target, stretched);
        StretchBlt(target, 0, 0, width, height, source, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
        SelectObject(target, targetPrevious);
        SelectObject(source, sourcePrevious);
        DeleteDC(target);
        DeleteDC(source);
        DeleteObject(loaded);
        loaded = stretched;
    }
    picture.bitmap = loaded;
    picture.dc = CreateCompatibleDC(screen);
    picture.previous = SelectObject(picture.dc, picture.bitmap);
    ReleaseDC(nullptr, screen);
    return picture;
}

void DemoFreeBallPicture(BallPicture& picture) {
    if (picture.dc != nullptr) {
        SelectObject(picture.dc, picture.previous);
        DeleteDC(picture.dc);
    }
    if (picture.bitmap != nullptr) DeleteObject(picture.bitmap);
    picture = BallPicture{};
}

}  // namespace

void DemoSetUpScene() {
    SpriteEngineStart(DEMO_BALL_COUNT, -1, -1);

    // The canvas size in pixels: its dialog-unit size in the main window's units.
    RECT canvas{0, 0, 400, 300};
    MapDialogRect(DemoState.mainWindow, &canvas);
    DemoState.maxX = canvas.right - canvas.left - 1;
    DemoState.maxY = canvas.bottom - canvas.top - 1;
    DemoState.minX = 0;
    DemoState.minY = 0;
    DemoState.spriteWidth = 140;
    DemoState.spriteHeight = 140;

    BallPicture picture = DemoLoadBallPicture(3 * DemoState.spriteWidth, DemoState.spriteHeight);

    DemoState.canvasWindow = GetDlgItem(DemoState.mainWindow, CANVAS_ID);
    SpriteAttachCanvas(DemoState.canvasWindow);
    DemoState.spriteCount = DEMO_BALL_COUNT;

    std::string ballList;
    const std::string firstName = DemoBallName(1);
    for (int32_t i = 1; i <= DEMO_BALL_COUNT; ++i) {
        const std::string name = DemoBallName(i);
        ballList = ballList.empty() ? name : ballList + "|" + name;
        if (i == 1) {
            SpriteCreateFromBitmap(name, picture.bitmap, 3, -1, 50);
        } else {
            SpriteClone(name, firstName);
        }
    }
    DemoFreeBallPicture(picture);

    SpriteSetCanvas(DemoState.canvasWindow, ballList);
    SpriteSetOpacity(ballList, 1, 0);
}
