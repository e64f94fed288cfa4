#pragma once
// DDS files: 2-D, cube and volume images with their mip chains, in the formats of the format table.
#include <string>
#include <vector>

#include "Platform/gfx/GfxImage.h"

class GfxDds {
 public:
  // Reads a whole DDS file into a scratch image (kind, format, sizes, levels and bytes). Every size and
  // count is checked against the bytes given; false with the reason otherwise.
  static bool Read(const uint8_t* data, size_t size, GfxImage& out, std::string* why);
  // Writes the CPU copy of an image; false for images without one or formats DDS cannot name.
  static bool Write(const GfxImage& image, std::vector<uint8_t>& out);
};
