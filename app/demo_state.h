// The demo's process-wide variables: one table, zero at process start, used only
// by the program's one thread.
#pragma once

#include <cstdint>

#include "platform/win32.h"

constexpr int32_t CANVAS_ID = 110;       // control id of the canvas
constexpr int32_t BUTTON_ID_BASE = 500;  // button k has the id BUTTON_ID_BASE + k
constexpr int32_t DEMO_BUTTON_COUNT = 11;
constexpr int32_t DEMO_BALL_COUNT = 32;

// One ball's own position (left and top edge in canvas pixels) and direction (+1/-1).
struct MotionEntry {
    int32_t posX;
    int32_t posY;
    int32_t dirX;
    int32_t dirY;
};

// The font that dialog windows made from now on take from their template.
struct DemoFont {
    const wchar_t* faceName;  // 0 = none chosen yet
    int32_t pointSize;
    int32_t weight;
    int32_t charSet;
};

typedef LRESULT (*DemoCallback)(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

struct DemoStateData {
    // ---- The demo --------------------------------------------------------------------
    HWND mainWindow;          // the main window
    HWND canvasWindow;        // the canvas control, set by the scene set-up
    int32_t openWindowCount;  // as last returned by DemoProcessMessage
    int32_t frameDelay;       // milliseconds slept after every step: 0 or 50
    int32_t minX, minY;       // least left and top edge of a ball: 0
    int32_t maxX, maxY;       // canvas width - 1 and height - 1, pixels
    int32_t spriteWidth;      // one ball frame: 140 x 140
    int32_t spriteHeight;
    int32_t spriteCount;      // balls the demo counts as present (the caption shows it)
    int32_t alphaBlendOn;     // 1 = balls half translucent
    int32_t flipOn;           // 1 = balls cycle through the four flip states
    int32_t spriteChoice;     // 1 = frame 1; 2 = frames 3 and 2 alternating
    int32_t frameToggle;      // 0/1, changes at every step
    int32_t flipPhase;        // 0..4: current flip state, 0 until it first advances
    int32_t flipPhaseTicks;   // 0..1: steps since flipPhase last advanced
    int32_t framesMeasured;   // 0..25: steps in the current frame-rate measurement
    float fpsClock;           // measurement start, then elapsed seconds, then the rate
    int32_t backgroundIndex;  // background picture shown last, 1..5; 0 before the first
    MotionEntry motionTable[DEMO_BALL_COUNT + 1];  // [1..32]; [0] unused

    // ---- Window plumbing -------------------------------------------------------------
    DemoFont dialogFont;          // font of the dialog template
    int32_t liveWindowCount;      // +1 on WM_INITDIALOG, -1 on WM_DESTROY
    HWND activeWindow;            // the window last activated; 0 = none
    HACCEL activeAccelerators;    // its accelerator table; the demo has none
    DemoCallback windowCallback;  // the main window's callback; 0 until it is shown
    HBRUSH backgroundBrush;       // COLOR_ACTIVECAPTION brush of the main window
    HDC canvasPictureDC;          // memory DC that holds the canvas picture
    HBITMAP canvasPicture;        // the canvas control's own picture, its client size
    HGDIOBJ canvasPicturePrevious;  // what canvasPictureDC held before the picture
    COLORREF canvasTextColor;     // the canvas control's colour settings
    COLORREF canvasBackColor;
};

extern DemoStateData DemoState;
