#pragma once
// Labels stamped into a demo's pixels: a 5 x 7 bitmap font of digits, letters (lower case drawn as upper
// case), '-', '.', '_' and space, on a dark box so a label reads over any picture.
#include <cstdint>
#include <vector>

// Draws the text with its top left corner at (x, y), each font pixel as scale x scale pixels, clipped to the
// picture. Characters the font lacks show as a space.
void DemoDrawText(std::vector<uint32_t>& argb, int width, int height, int x, int y, const char* text, uint32_t colour,
                  int scale = 1);
