// The sprite engine's public operations: the one header applications include.
//
// Conventions: texts in are std::string_view, texts out std::string; numbers are
// int32_t; out-arguments are references; handles are the platform's types.
// Nothing reports an error: a refused call has no effect, and a query that finds
// no sprite returns 0, zeroed outputs or the empty text. Sprite names compare
// without regard to case and only their first eight bytes count. A sprite list
// is names separated by "|"; blanks around each item are ignored.
// All calls come from the thread that owns the canvas windows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/win32.h"

// ---- Lifetime ---------------------------------------------------------------------
// Once, before any window exists: adds the canvas atoms, gives the sprite table
// two empty records and switches automatic invalidation on.
void SpriteEngineInit();
// Sizes the sprite table (maxSprites limited to 10..1000), creates the back buffer
// (the screen's size, at least minWidth x minHeight and 256 x 257) and the blend
// tables. A second call after a successful one changes nothing; after a failed
// one the engine stays unstarted and the next call tries again.
void SpriteEngineStart(int32_t maxSprites, int32_t minWidth, int32_t minHeight);
// Once, after the canvases are gone: frees the back buffer, every sprite image
// once, the sprite table, the blend tables and the atoms.
void SpriteEngineShutdown();

// ---- Canvases -------------------------------------------------------------------
// Makes a window a canvas: the engine paints it as its own picture with the sprites
// over it. Refused when the engine is not started, for a non-window, or twice.
void SpriteAttachCanvas(HWND hwnd);
// After the canvas window's own picture changed: drops the cached background and
// repaints the visible canvas at once. Ignores 0, hidden windows and non-canvases.
void SpriteResetBackground(HWND hwnd);
// Paints now whatever part of the visible window is invalid; nothing if nothing is.
void SpriteUpdateCanvas(HWND hwnd);
// Invalidates the whole client area of the visible window and paints it now.
void SpriteRedrawCanvas(HWND hwnd);

// ---- Creation and image drawing ---------------------------------------------------
// Makes a sprite from a bitmap cut into frameCount (1..100) equal frames side by
// side, colour key `color` (0x00BBGGRR; negative = magenta) and edge softening in
// percent. When the name exists, its image is redrawn from the bitmap instead.
// The bitmap stays the caller's.
void SpriteCreateFromBitmap(std::string_view name, HBITMAP bitmap, int32_t frameCount,
                            int32_t color, int32_t edgeSoftening);
// The bitmap's size as the platform reports it; 0 and 0 for anything not a bitmap.
void SpriteGetBitmapSize(HGDIOBJ bitmap, int32_t& width, int32_t& height);
// Deletes the handle if it is a bitmap; anything else is left alone.
void SpriteDeleteBitmap(HGDIOBJ handle);
// Opens the named sprite's image for drawing: dc has the image selected; the
// rectangle (inclusive) is the frame's, or the whole strip's for frame 0. Returns 1,
// or 0 when another image is open, the name finds no sprite or it has no image.
int32_t SpriteBeginDraw(std::string_view name, int32_t frame, HDC& dc, int32_t& left,
                        int32_t& top, int32_t& right, int32_t& bottom);
// Closes the open image and prepares it: clears the edge codes and, for a softening
// above 0 (above 100 counts as 100), softens the outline.
void SpriteEndDraw(int32_t softening);

// ---- Cloning and deletion ---------------------------------------------------------
// Makes `name` a clone of `sourceName`, sharing its image, in the lowest free slot.
// Refused for a taken or empty name, a missing source, a source that is a clone.
void SpriteClone(std::string_view name, std::string_view sourceName);
// Deletes the sprite; deleting a sprite that has clones deletes its clones too.
// Marks the rectangles of the visible ones invalid.
void SpriteDelete(std::string_view name);

// ---- Commands on sprite lists -----------------------------------------------------
// Puts the sprites on a canvas, hidden. Marks a sprite's rectangle on the canvas it
// leaves when it was visible there. Refused for a window that is not a canvas.
void SpriteSetCanvas(HWND canvas, std::string_view list);
// Moves to (x, y), or by (x, y) when relative is non-zero. Marks the old rectangle
// when the position changes and the new one always.
void SpriteMove(std::string_view list, int32_t x, int32_t y, int32_t relative);
// Shows (show non-zero) or hides; marks the rectangle when visibility changed.
void SpriteShow(std::string_view list, int32_t show);
// Opacity in percent (limited to 0..100; 0 and 100 both mean opaque). Marks the
// rectangle when the value changed and refresh is non-zero.
void SpriteSetOpacity(std::string_view list, int32_t opacity, int32_t refresh);
// Sets the 1-based frame, or steps it when relative is non-zero; below 1 wraps to
// the last frame, above the last to 1. Marks when changed and refresh is non-zero.
void SpriteSetFrame(std::string_view list, int32_t frame, int32_t relative, int32_t refresh);
// Sets both mirror flags; marks the rectangle whenever refresh is non-zero.
void SpriteSetFlip(std::string_view list, int32_t horizontal, int32_t vertical,
                   int32_t refresh);
// Switches the marking of changed rectangles on (non-zero) or off.
void SpriteSetAutoInvalidate(int32_t on);

// ---- Queries and drawing order ------------------------------------------------------
// Each returns 1 and fills both outputs, or 0 with both outputs 0 for no sprite.
int32_t SpriteGetPosition(std::string_view name, int32_t& x, int32_t& y);
int32_t SpriteGetSize(std::string_view name, int32_t& width, int32_t& height);
int32_t SpriteGetFrame(std::string_view name, int32_t& frameCount, int32_t& currentFrame);
// "V" visible, "E" translucency (100 - opacity), ">" horizontal flip, "^" vertical
// flip (case and surrounding blanks ignored); any other text, or no sprite, gives 0.
int32_t SpriteGetFlag(std::string_view name, std::string_view letter);
// Exchanges the two sprites' places in the drawing order. Marks nothing.
void SpriteSwap(std::string_view nameA, std::string_view nameB);

// ---- Collisions -------------------------------------------------------------------
// The visible sprites on the same canvas whose solid pixels overlap the named
// sprite's, in drawing order, upper-cased and cut to eight bytes, joined by "|";
// empty when none or when the sprite is hidden or missing.
std::string SpriteCollisions(std::string_view name);
// The topmost visible sprite of the canvas with a solid pixel at (px, py); empty
// when none or when the window is not a canvas.
std::string SpriteAtPoint(HWND canvas, int32_t px, int32_t py);
