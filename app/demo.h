// The demo program's procedures: entry and main loop, window, controls, scene,
// animation step and status caption.
#pragma once

#include <cstdint>
#include <string>

#include "app/demo_state.h"
#include "platform/win32.h"

// ---- Entry, main loop and window ------------------------------------------------------
// The program's entry: starts the engine, opens the window, runs the loop until the
// window is closed, then shuts the engine down.
void DemoMain();
// DemoMain before its loop: the engine initialised, the window made, its scene set
// up and shown, the window count 1 and no frame delay.
void DemoStartUp();
// One pass of DemoMain's loop: at most one message, one animation step, the frame
// delay. Returns the number of open windows, which ends the loop at 0.
int32_t DemoMainLoopPass();
// Takes and dispatches at most one message; sleeps idleSleep ms when there was
// none. Returns the number of open windows.
int32_t DemoProcessMessage(int32_t idleSleep);
// Creates the main window with its controls, sets up the scene and shows it.
void DemoCreateWindow();
// The main window's callback. Returns 0 for every message.
LRESULT DemoWindowCallback(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// The dialog procedure of the demo's windows: bookkeeping, colours, the canvas
// picture and the routing of messages to the callbacks.
INT_PTR CALLBACK DemoDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// ---- Controls ---------------------------------------------------------------------------
void DemoCreateControls(HWND window);
// Draws background picture n (1..5; -1 = the next one) into the canvas picture.
void DemoLoadBackground(int32_t n);
// The callback of the eleven buttons. Returns 0.
LRESULT DemoButtonCallback(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// ---- Scene and animation --------------------------------------------------------------
void DemoSetUpScene();
// init 1 places and shows the balls; any other value is one animation step.
void DemoAnimationStep(int32_t init);
// Ball n's next left (top) edge, bouncing off the canvas edges.
int32_t DemoStepX(int32_t n);
int32_t DemoStepY(int32_t n);
// "LOGO" followed by n.
std::string DemoBallName(int32_t n);

// ---- Status caption -------------------------------------------------------------------
// Frames per second for 25 frames in `elapsed` seconds, cut down to a multiple of
// 0.01; a non-positive elapsed time counts as one second.
float DemoFrameRate(float elapsed);
// The number with one leading blank, or "-" when negative.
std::string DemoFormatNumber(int32_t value);
// The rate to the nearest hundredth with at least four digits before the point.
std::string DemoFormatRate(float rate);
std::wstring DemoStatusCaption(int32_t spriteCount, int32_t width, int32_t height, float rate);
// Ends a measurement: computes the rate and writes the caption into the title bar.
void DemoWriteStatusCaption();

// ---- System services as the demo uses them -------------------------------------------
// Seconds since local midnight, millisecond resolution.
double DemoClock();
void DemoSleep(DWORD milliseconds);
// The folder of the program's executable, without a trailing separator.
std::wstring DemoProgramFolder();
