#include "Tools/map_common/MapPlan.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include <stb/stb_image_write.h>

#include "Engine/foundation/WeFileSystem.h"
#include "Platform/system/SysPath.h"
#include "Tools/content/ContentError.h"
#include "Tools/content/ContentTextureWriter.h"
#include "Tools/movie/MoviePainter.h"

namespace
{

MovieColour Colour(uint32_t argb, float alpha = 1.0f)
{
    MovieColour c;
    c.a = alpha;
    c.r = float((argb >> 16) & 0xFF) / 255.0f;
    c.g = float((argb >> 8) & 0xFF) / 255.0f;
    c.b = float(argb & 0xFF) / 255.0f;
    return c;
}

constexpr uint32_t Night = 0xFF0B1020u;
constexpr uint32_t EdgeCyan = 0xFF35E0FFu;
constexpr uint32_t Amber = 0xFFFFB020u;
constexpr uint32_t White = 0xFFF2F5FAu;

}  // namespace

std::vector<uint32_t> PaintMapPlan(const MapDescription& map, const std::vector<MapPathNode>& nodes, int width,
                                   int height)
{
    // Every section and both branches of a fork, each its own line, so that a jump stays a gap.
    std::vector<std::vector<D3DXVECTOR3>> lines;
    for (const MapLoopItem& item : map.loop)
    {
        const int count = item.isFork ? 2 : 1;
        for (int b = 0; b < count; ++b)
            for (const MapSection& part : SplitAtGap(item.isFork ? item.branches[b] : item.section))
            {
                const std::vector<MapFrame> samples = SampleSection(part, map.step);
                std::vector<D3DXVECTOR3> line;
                for (const MapFrame& f : samples)
                    line.push_back(f.position);
                lines.push_back(line);
            }
    }
    float minX = 1e30f, maxX = -1e30f, minZ = 1e30f, maxZ = -1e30f;
    for (const auto& line : lines)
        for (const D3DXVECTOR3& p : line)
        {
            minX = std::min(minX, p.x);
            maxX = std::max(maxX, p.x);
            minZ = std::min(minZ, p.z);
            maxZ = std::max(maxZ, p.z);
        }
    MoviePainter painter(width, height);
    painter.Fill(Colour(Night), MovieBlend::Over);
    if (minX > maxX)
    {
        std::vector<uint32_t> empty(size_t(width) * size_t(height), Night);
        return empty;
    }
    // Fitted with a margin of a tenth, north (+z) up.
    const float margin = 0.1f * float(std::min(width, height));
    const float spanX = std::max(maxX - minX, 1.0f), spanZ = std::max(maxZ - minZ, 1.0f);
    const float scale = std::min((float(width) - 2.0f * margin) / spanX, (float(height) - 2.0f * margin) / spanZ);
    const float offsetX = (float(width) - spanX * scale) * 0.5f;
    const float offsetY = (float(height) - spanZ * scale) * 0.5f;
    const auto screen = [&](const D3DXVECTOR3& p, float& x, float& y)
    {
        x = offsetX + (p.x - minX) * scale;
        y = float(height) - (offsetY + (p.z - minZ) * scale);
    };
    const float road = std::max(1.5f, float(std::min(width, height)) / 90.0f);
    for (int pass = 0; pass < 2; ++pass)
        for (const auto& line : lines)
            for (size_t i = 1; i < line.size(); ++i)
            {
                float x1, y1, x2, y2;
                screen(line[i - 1], x1, y1);
                screen(line[i], x2, y2);
                if (pass == 0)
                    painter.Segment(x1, y1, x2, y2, road * 1.2f, Colour(EdgeCyan, 0.3f), road * 1.5f, MovieBlend::Add);
                else
                    painter.Segment(x1, y1, x2, y2, road * 0.5f, Colour(EdgeCyan), road * 0.5f, MovieBlend::Over);
            }
    // Ticks across the road: the start line at the first node, the checkpoints.
    const auto tick = [&](const MapPathNode& node, float length, uint32_t colour, float thickness)
    {
        const D3DXVECTOR3 p(node.frame._41, node.frame._42, node.frame._43);
        const D3DXVECTOR3 right(node.frame._11, 0.0f, node.frame._13);
        const float l = std::sqrt(right.x * right.x + right.z * right.z);
        if (l < 1e-4f)
            return;
        float x, y;
        screen(p, x, y);
        const float dx = right.x / l * length, dy = -right.z / l * length;
        painter.Segment(x - dx, y - dy, x + dx, y + dy, thickness, Colour(colour), thickness, MovieBlend::Over);
    };
    for (const MapPathNode& node : nodes)
        if (node.checkpoint)
            tick(node, road * 1.6f, White, std::max(1.0f, road * 0.4f));
    if (!nodes.empty())
        tick(nodes.front(), road * 2.2f, Amber, road * 0.7f);

    std::vector<uint8_t> bytes(size_t(width) * size_t(height) * 4);
    painter.Finish(1.0f, bytes.data());
    std::vector<uint32_t> out(size_t(width) * size_t(height));
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = 0xFF000000u | (uint32_t(bytes[i * 4 + 2]) << 16) | (uint32_t(bytes[i * 4 + 1]) << 8) |
                 uint32_t(bytes[i * 4]);
    return out;
}

bool WriteMapPlans(const MapDescription& map, const std::vector<MapPathNode>& nodes, const std::string& fileName,
                   const std::string& packagesFolder, const std::string& previewsFolder, std::string& written,
                   std::string& error)
{
    for (const MapPlan& plan : map.plans)
    {
        const auto fail = [&](const std::string& message)
        {
            error = fileName + ":" + std::to_string(plan.line) + ": " + message;
            return false;
        };
        std::string texture;
        for (const MapHeaderField& f : map.headerFields)
            if (f.key == plan.field)
                texture = f.value;
        if (texture.empty())
            return fail("the plan is painted into the header's " + plan.field + " texture, and it names none");
        const std::vector<uint32_t> pixels = PaintMapPlan(map, nodes, plan.width, plan.height);
        ContentTextureWriter writer;
        ContentError why;
        WeFileSystem tree;
        tree.SetRoot(packagesFolder.c_str());
        if (!writer.WriteImage(fileName, texture, plan.width, plan.height, pixels, tree, &why))
            return fail(texture + ": " + why.reason);
        written += texture + " (" + std::to_string(plan.width) + "x" + std::to_string(plan.height) + " plan)\n";
        if (previewsFolder.empty())
            continue;
        std::error_code ec;
        std::filesystem::create_directories(previewsFolder, ec);
        std::vector<uint8_t> rgba(pixels.size() * 4);
        for (size_t i = 0; i < pixels.size(); ++i)
        {
            rgba[i * 4] = uint8_t(pixels[i] >> 16);
            rgba[i * 4 + 1] = uint8_t(pixels[i] >> 8);
            rgba[i * 4 + 2] = uint8_t(pixels[i]);
            rgba[i * 4 + 3] = 255;
        }
        const std::string png = SysPath::Join(previewsFolder, texture + ".png");
        if (stbi_write_png(png.c_str(), plan.width, plan.height, 4, rgba.data(), plan.width * 4) == 0)
            return fail(png + ": cannot be written");
    }
    return true;
}
