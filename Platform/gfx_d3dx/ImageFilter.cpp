#include "Platform/gfx_d3dx/ImageFilter.h"

#include <algorithm>
#include <cmath>

#include "Platform/gfx_d3dx/PixelCodec.h"

namespace
{

// Resamples along one axis: `count` texels apart by `stride` floats become `newCount`, for every line.
void Resample(const std::vector<float>& src, std::vector<float>* dst, uint32_t lines, uint32_t count, uint32_t newCount,
              auto&& at, auto&& atOut)
{
    (void)lines;
    double scale = double(count) / double(newCount);
    for (uint32_t line = 0; line < lines; ++line)
    {
        for (uint32_t i = 0; i < newCount; ++i)
        {
            float acc[4] = {0, 0, 0, 0};
            if (scale >= 1.0)
            {
                double b = i * scale, e = (i + 1) * scale;
                double total = 0;
                for (uint32_t s = uint32_t(b); s < count && double(s) < e; ++s)
                {
                    double w = std::min(e, double(s + 1)) - std::max(b, double(s));
                    if (w <= 0)
                        continue;
                    const float* t = &src[at(line, s)];
                    for (int c = 0; c < 4; ++c)
                        acc[c] += float(w) * t[c];
                    total += w;
                }
                for (float& a : acc)
                    a = float(a / total);
            }
            else
            {
                double centre = (i + 0.5) * scale - 0.5;
                double f = std::floor(centre);
                double frac = centre - f;
                int s0 = std::clamp(int(f), 0, int(count) - 1), s1 = std::clamp(int(f) + 1, 0, int(count) - 1);
                const float* a = &src[at(line, uint32_t(s0))];
                const float* b = &src[at(line, uint32_t(s1))];
                for (int c = 0; c < 4; ++c)
                    acc[c] = float(a[c] * (1 - frac) + b[c] * frac);
            }
            float* o = &(*dst)[atOut(line, i)];
            for (int c = 0; c < 4; ++c)
                o[c] = acc[c];
        }
    }
}

}  // namespace

std::vector<float> ImageFilter::Resize(const std::vector<float>& src, uint32_t w, uint32_t h, uint32_t d, uint32_t nw,
                                       uint32_t nh, uint32_t nd)
{
    std::vector<float> cur = src;
    if (nw != w)
    {
        std::vector<float> next(size_t(nw) * h * d * 4);
        Resample(
            cur, &next, h * d, w, nw, [&](uint32_t line, uint32_t s) { return (size_t(line) * w + s) * 4; },
            [&](uint32_t line, uint32_t i) { return (size_t(line) * nw + i) * 4; });
        cur.swap(next);
        w = nw;
    }
    if (nh != h)
    {
        std::vector<float> next(size_t(w) * nh * d * 4);
        // A line is one column of one slice.
        Resample(
            cur, &next, w * d, h, nh,
            [&](uint32_t line, uint32_t s) { return ((size_t(line / w) * h + s) * w + line % w) * 4; },
            [&](uint32_t line, uint32_t i) { return ((size_t(line / w) * nh + i) * w + line % w) * 4; });
        cur.swap(next);
        h = nh;
    }
    if (nd != d)
    {
        std::vector<float> next(size_t(w) * h * nd * 4);
        size_t plane = size_t(w) * h;
        Resample(
            cur, &next, uint32_t(plane), d, nd, [&](uint32_t line, uint32_t s) { return (s * plane + line) * 4; },
            [&](uint32_t line, uint32_t i) { return (i * plane + line) * 4; });
        cur.swap(next);
    }
    return cur;
}

bool ImageFilter::BuildMips(ImageData* image, uint32_t first)
{
    if (!PixelCodec::Supports(image->format))
        return false;
    for (uint32_t f = 0; f < image->faces; ++f)
    {
        std::vector<float> rgba;
        if (first >= image->levels || !PixelCodec::ToRgba(image->format, image->Sub(f, first), &rgba))
            return false;
        for (uint32_t l = first + 1; l < image->levels; ++l)
        {
            const ImageLevel& prev = image->Sub(f, l - 1);
            ImageLevel& lv = image->Sub(f, l);
            rgba = Resize(rgba, prev.width, prev.height, prev.depth, lv.width, lv.height, lv.depth);
            if (!PixelCodec::FromRgba(image->format, rgba, &lv))
                return false;
        }
    }
    return true;
}

bool ImageFilter::Rebuild(const ImageData& src, uint32_t width, uint32_t height, uint32_t depth, D3DFORMAT format,
                          uint32_t levels, ImageData* out)
{
    if (!PixelCodec::Supports(src.format) || !PixelCodec::Supports(format))
        return false;
    out->kind = src.kind;
    out->format = format;
    out->width = width;
    out->height = height;
    out->depth = src.kind == ImageKind::Volume ? depth : 1;
    out->faces = src.faces;
    uint32_t full = ImageData::FullChain(width, height, out->depth);
    out->levels = levels == 0 || levels > full ? full : levels;
    if (!out->Layout())
        return false;
    for (uint32_t f = 0; f < src.faces; ++f)
    {
        const ImageLevel& s = src.Sub(f, 0);
        std::vector<float> rgba;
        if (!PixelCodec::ToRgba(src.format, s, &rgba))
            return false;
        ImageLevel& d = out->Sub(f, 0);
        if (s.width != d.width || s.height != d.height || s.depth != d.depth)
            rgba = Resize(rgba, s.width, s.height, s.depth, d.width, d.height, d.depth);
        if (!PixelCodec::FromRgba(format, rgba, &d))
            return false;
    }
    return BuildMips(out, 0);
}
