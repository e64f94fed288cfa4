#pragma once
#include <cstdint>

#include "Platform/math/D3DXVECTOR3.h"

class WeTexture;

// The display's drawing helpers: atlas cells in atlas pixels, colours from floats, and world points on
// the screen through the chase camera.

// A rectangle of an atlas in its pixels: left, top, right, bottom.
struct HudCell
{
    int32_t left, top, right, bottom;
};

// The cell at (x, y) of size w by h; nothing without an atlas.
void DrawHudCell(WeTexture* atlas, const HudCell& cell, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t argb,
                 int32_t blend = 1);
// The cell's rows from top to its bottom, for a bar that empties from the top.
void DrawHudCellRows(WeTexture* atlas, const HudCell& cell, float top, int32_t x, int32_t y, int32_t w, int32_t h,
                     uint32_t argb, int32_t blend = 1);
// The cell at (x, y) of size w by h rotated by angle radians about its centre.
void DrawHudCellRotated(WeTexture* atlas, const HudCell& cell, float x, float y, float w, float h, float angle,
                        uint32_t argb, int32_t blend = 1);
// Four floats to ARGB: each clamped and rounded, not-a-number as 0.
uint32_t HudColour(float r, float g, float b, float a);
// White at alpha a.
uint32_t HudWhite(float a);
// The point's place on the screen as fractions of its width and height, when it lies in front of the
// camera: a point on or behind the camera's plane (W too small to divide by) is off screen.
bool ProjectHudPoint(const D3DXVECTOR3& point, float& x, float& y);
// A pixel coordinate of a fraction of a size; a fraction no screen reaches lands far off it.
int32_t HudPixel(float fraction, int32_t size);
