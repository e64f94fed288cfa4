#pragma once
// The captures of a run side by side in one picture, so that a person looks at the whole game at once: each
// frame shrunk by a whole factor (the mean of each block of pixels), in rows of a fixed count on a dark ground.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "Tests/support/GameProcess.h"
#include "Tools/demo_common/DemoFrame.h"

namespace playthrough
{
inline bool WriteContactSheet(const std::string& path, const std::vector<CapturedFrame>& frames, uint32_t columns,
                              uint32_t shrink)
{
    if (frames.empty() || columns == 0 || shrink == 0)
        return false;
    const uint32_t tileW = frames[0].width / shrink;
    const uint32_t tileH = frames[0].height / shrink;
    constexpr uint32_t Gap = 4;
    const uint32_t rows = uint32_t((frames.size() + columns - 1) / columns);
    const uint32_t width = columns * tileW + (columns + 1) * Gap;
    const uint32_t height = rows * tileH + (rows + 1) * Gap;
    std::vector<uint32_t> sheet(size_t(width) * height, 0xFF202020u);
    for (size_t i = 0; i < frames.size(); ++i)
    {
        const CapturedFrame& frame = frames[i];
        if (frame.width / shrink != tileW || frame.height / shrink != tileH)
            return false;
        const uint32_t left = Gap + uint32_t(i % columns) * (tileW + Gap);
        const uint32_t top = Gap + uint32_t(i / columns) * (tileH + Gap);
        for (uint32_t y = 0; y < tileH; ++y)
            for (uint32_t x = 0; x < tileW; ++x)
            {
                uint32_t sum[3] = {};
                for (uint32_t dy = 0; dy < shrink; ++dy)
                    for (uint32_t dx = 0; dx < shrink; ++dx)
                    {
                        const uint32_t p = frame.At(x * shrink + dx, y * shrink + dy);
                        sum[0] += p >> 16 & 0xFF;
                        sum[1] += p >> 8 & 0xFF;
                        sum[2] += p & 0xFF;
                    }
                const uint32_t n = shrink * shrink;
                sheet[size_t(top + y) * width + left + x] =
                    0xFF000000u | (sum[0] / n) << 16 | (sum[1] / n) << 8 | (sum[2] / n);
            }
    }
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    return DemoWritePng(path.c_str(), width, height, sheet);
}
}  // namespace playthrough
