#pragma once
#include "Tools/movie/MovieScript.h"

#include <cstdint>
#include <vector>

// Draws one frame in software: shapes given by their signed distance, so that every edge is smoothed
// over one pixel and a glow falls off with the distance from the shape. Coordinates are pixels, with
// (0, 0) the top left corner of the frame; angles are radians, clockwise on screen.
class MoviePainter
{
public:
    struct Cell
    {
        float x, y;  // centre
        float halfW, halfH;
    };

    MoviePainter(int width, int height);

    int Width() const { return m_Width; }
    int Height() const { return m_Height; }

    void Clear();
    void Fill(const MovieColour& colour, MovieBlend blend);
    // From `from` to `to` along the direction of `angle` (0: left to right, pi/2: top to bottom).
    void Gradient(const MovieColour& from, const MovieColour& to, float angle);
    // outline 0 fills the shape; otherwise a band of that width is drawn along its edge.
    void Box(float x, float y, float halfW, float halfH, float angle, float outline, const MovieColour& colour,
             float glow, MovieBlend blend);
    // A regular polygon of the given corner radius; fewer than three sides is a circle.
    void Polygon(float x, float y, float radius, int sides, float angle, float outline, const MovieColour& colour,
                 float glow, MovieBlend blend);
    void Segment(float x1, float y1, float x2, float y2, float width, const MovieColour& colour, float glow,
                 MovieBlend blend);
    // A picture of ARGB pixels (rows top to bottom) stretched over the whole frame, with an opacity.
    void Picture(const uint32_t* argb, int width, int height, float alpha);
    // Axis-aligned boxes drawn as one shape, so that touching boxes show no seam.
    void Cells(const std::vector<Cell>& cells, const MovieColour& colour, float glow, MovieBlend blend);

    // The frame as X8R8G8B8 pixels (B, G, R, 255 in memory), every colour scaled by `brightness`, with an
    // ordered dither that keeps dark gradients from banding.
    void Finish(float brightness, uint8_t* pixels) const;
    // The colour of one pixel, 0..1.
    void Pixel(int x, int y, float rgb[3]) const;

private:
    // reach: how far from the shape a pixel can still be touched by it (its edge, outline and glow).
    // skip(x, y, reach) may pass over pixels known to be farther than that, before their distance is
    // worked out.
    template <typename Distance, typename Skip>
    void Shape(float minX, float minY, float maxX, float maxY, const Distance& distance, const Skip& skip,
               float outline, const MovieColour& colour, float glow, MovieBlend blend);

    int m_Width;
    int m_Height;
    std::vector<float> m_Rgb;
};
