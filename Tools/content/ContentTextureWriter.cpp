#include "Tools/content/ContentTextureWriter.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <sstream>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeTexture.h"
#include "Platform/gfx_d3dx/D3DX9.h"
#include "Platform/system/SysRandom.h"
#include "Tools/content/ContentIniReader.h"
#include "Tools/content/ContentPortrait.h"

namespace
{

constexpr int32_t TextureFileType = 1;
constexpr int MaxSize = 4096;

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        parts.push_back(part);
    if (!text.empty() && text.back() == separator)
        parts.push_back(std::string());
    return parts;
}

bool ParseInt(const std::string& text, int lo, int hi, int* out)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    int v = std::atoi(text.c_str());
    if (v < lo || v > hi)
        return false;
    *out = v;
    return true;
}

// A plain decimal in the C locale: digits with at most one point.
bool ParseFloatValue(const std::string& text, float* out)
{
    if (text.empty() || text.size() > 12 || text.find_first_not_of("0123456789.") != std::string::npos ||
        text.find('.') != text.rfind('.') || text == ".")
        return false;
    double whole = 0.0, scale = 1.0;
    bool fraction = false;
    for (char c : text)
    {
        if (c == '.')
        {
            fraction = true;
            continue;
        }
        if (fraction)
            scale /= 10.0;
        whole = whole * (fraction ? 1.0 : 10.0) + (fraction ? (c - '0') * scale : (c - '0'));
    }
    *out = float(whole);
    return true;
}

bool ParseColour(const std::string& text, float rgba[4])
{
    if (text.size() != 9 || text[0] != '#' || text.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos)
        return false;
    uint32_t v = uint32_t(std::strtoul(text.c_str() + 1, nullptr, 16));
    rgba[3] = float((v >> 24) & 0xFF) / 255.0f;
    rgba[0] = float((v >> 16) & 0xFF) / 255.0f;
    rgba[1] = float((v >> 8) & 0xFF) / 255.0f;
    rgba[2] = float(v & 0xFF) / 255.0f;
    return true;
}

uint32_t Pack(const float c[4])
{
    auto channel = [](float v)
    {
        v = std::clamp(v, 0.0f, 1.0f);
        return uint32_t(v * 255.0f + 0.5f);
    };
    return (channel(c[3]) << 24) | (channel(c[0]) << 16) | (channel(c[1]) << 8) | channel(c[2]);
}

uint32_t Mix(const float a[4], const float b[4], float t)
{
    float c[4];
    for (int i = 0; i < 4; ++i)
        c[i] = a[i] + (b[i] - a[i]) * t;
    return Pack(c);
}

bool IsPowerOfTwo(int v)
{
    return v > 0 && (v & (v - 1)) == 0;
}

}  // namespace

bool ContentTextureWriter::Parse(const std::string& path, const std::string& text, Description* out,
                                 ContentError* error)
{
    ContentIniReader reader(path, text);
    ContentIniLine item;
    out->path = path;
    bool haveSize = false;
    bool haveKind = false;
    std::string sizeText;
    int sizeLine = 0;
    while (reader.NextKey("Texture", &item))
    {
        const int number = item.number;
        auto fail = [&](const std::string& reason)
        {
            reader.Fail(number, reason);
            *error = reader.Error();
            return false;
        };
        const std::string& key = item.key;
        const std::string& value = item.value;
        if (key == "kind")
        {
            if (value == "2d")
                out->kind = WeTexture::Kind2D;
            else if (value == "cube")
                out->kind = WeTexture::KindCube;
            else if (value == "volume")
                out->kind = WeTexture::KindVolume;
            else
                return fail("kind must be 2d, cube or volume");
            haveKind = true;
        }
        else if (key == "size")
        {
            sizeText = value;
            sizeLine = number;
            haveSize = true;
        }
        else if (key == "format")
        {
            if (value == "A8R8G8B8")
                out->format = D3DFMT_A8R8G8B8;
            else if (value == "X8R8G8B8")
                out->format = D3DFMT_X8R8G8B8;
            else if (value == "DXT1")
                out->format = D3DFMT_DXT1;
            else if (value == "DXT5")
                out->format = D3DFMT_DXT5;
            else
                return fail("format must be A8R8G8B8, X8R8G8B8, DXT1 or DXT5");
        }
        else if (key == "levels")
        {
            if (value == "1")
                out->singleLevel = true;
            else if (value == "full")
                out->singleLevel = false;
            else
                return fail("levels must be 1 or full");
        }
        else if (key == "minlevel")
        {
            if (!ParseInt(value, 0, 2, &out->minimumLevel))
                return fail("minlevel must be 0, 1 or 2");
        }
        else if (key == "fill" || key == "checker" || key == "gradient" || key == "dot" || key == "noise" ||
                 key == "faces" || key == "streak" || key == "puff" || key == "ring" || key == "band" ||
                 key == "portrait")
        {
            if (!out->generator.empty())
                return fail("a second generator (" + key + "); a texture takes one");
            out->generator = key;
            out->argument = Split(value, ',');
            out->generatorLine = number;
        }
        else
        {
            return fail("unknown key " + key);
        }
    }
    if (reader.Failed())
    {
        *error = reader.Error();
        return false;
    }
    if (!haveKind || !haveSize)
    {
        *error = {path, 0, haveKind ? "size missing" : "kind missing"};
        return false;
    }
    std::vector<std::string> dims = Split(sizeText, 'x');
    size_t wanted = out->kind == WeTexture::KindVolume ? 3 : 2;
    int d[3] = {0, 0, 1};
    bool ok = dims.size() == wanted;
    for (size_t i = 0; ok && i < dims.size(); ++i)
        ok = ParseInt(dims[i], 1, MaxSize, &d[i]);
    if (!ok)
    {
        *error = {path, sizeLine,
                  wanted == 3 ? "size must be WxHxD, each 1.." + std::to_string(MaxSize)
                              : "size must be WxH, each 1.." + std::to_string(MaxSize)};
        return false;
    }
    out->width = d[0];
    out->height = d[1];
    out->depth = d[2];
    if (out->kind == WeTexture::KindCube && out->width != out->height)
    {
        *error = {path, sizeLine, "a cube is square"};
        return false;
    }
    if (!out->singleLevel && !(IsPowerOfTwo(out->width) && IsPowerOfTwo(out->height) && IsPowerOfTwo(out->depth)))
    {
        *error = {path, sizeLine, "a full mip chain needs power-of-two sizes"};
        return false;
    }
    bool block = out->format == D3DFMT_DXT1 || out->format == D3DFMT_DXT5;
    if (block && out->kind == WeTexture::KindVolume)
    {
        *error = {path, 0, "volume textures take A8R8G8B8 or X8R8G8B8"};
        return false;
    }
    if (block && (out->width % 4 != 0 || out->height % 4 != 0))
    {
        *error = {path, sizeLine, "DXT sizes are multiples of 4"};
        return false;
    }
    if (out->generator.empty())
    {
        *error = {path, 0, "no generator (fill, checker, gradient, dot, noise or faces)"};
        return false;
    }
    std::vector<uint32_t> probe;
    return Generate(*out, 0, &probe, error);
}

bool ContentTextureWriter::Generate(const Description& d, int slice, std::vector<uint32_t>* pixels, ContentError* error)
{
    if (m_Image != nullptr)
    {
        *pixels = *m_Image;
        return true;
    }
    const std::vector<std::string>& a = d.argument;
    auto fail = [&](const std::string& reason)
    {
        *error = {std::string(), d.generatorLine, reason};
        return false;
    };
    float c0[4], c1[4];
    const int w = d.width, h = d.height;
    pixels->assign(size_t(w) * size_t(h), 0u);
    if (d.generator == "portrait")
    {
        // Angles in degrees, either sign.
        auto angle = [](const std::string& text, float* out)
        {
            const bool negative = !text.empty() && text[0] == '-';
            if (!ParseFloatValue(negative ? text.substr(1) : text, out) || *out > 360.0f)
                return false;
            *out = negative ? -*out : *out;
            return true;
        };
        float yaw = 0.0f, pitch = 0.0f;
        if (a.size() != 3 || !angle(a[1], &yaw) || !angle(a[2], &pitch) || d.kind != WeTexture::Kind2D)
            return fail("portrait=<Package.Folder.Mesh>,<yaw>,<pitch> (2-D)");
        // Content/Assets/<Package>/<Folder>/<File>.tex: the Assets folder three levels up.
        std::string assets = d.path;
        for (int up = 0; up < 3; ++up)
        {
            const size_t slash = assets.find_last_of('/');
            assets = slash == std::string::npos ? std::string(".") : assets.substr(0, slash);
        }
        std::string reason;
        if (!ContentPortrait::Paint(assets, a[0], yaw, pitch, w, h, pixels, &reason))
            return fail(reason);
        return true;
    }
    if (d.generator == "fill")
    {
        if (a.size() != 1 || !ParseColour(a[0], c0))
            return fail("fill=#AARRGGBB");
        std::fill(pixels->begin(), pixels->end(), Pack(c0));
        return true;
    }
    if (d.generator == "checker")
    {
        int cells = 0;
        if (a.size() != 3 || !ParseColour(a[0], c0) || !ParseColour(a[1], c1) || !ParseInt(a[2], 1, MaxSize, &cells))
            return fail("checker=#AARRGGBB,#AARRGGBB,<cells across>");
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                (*pixels)[size_t(y) * w + x] = (((x * cells / w) + (y * cells / h)) & 1) ? Pack(c1) : Pack(c0);
        return true;
    }
    if (d.generator == "gradient")
    {
        if (a.size() != 3 || !ParseColour(a[0], c0) || !ParseColour(a[1], c1) ||
            (a[2] != "horizontal" && a[2] != "vertical"))
            return fail("gradient=#AARRGGBB,#AARRGGBB,horizontal|vertical");
        bool across = a[2] == "horizontal";
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
            {
                int n = across ? w : h;
                float t = n > 1 ? float(across ? x : y) / float(n - 1) : 0.0f;
                (*pixels)[size_t(y) * w + x] = Mix(c0, c1, t);
            }
        return true;
    }
    if (d.generator == "dot")
    {
        // "soft," in front keeps the value from starting with a colour (the ini style reads that as one).
        const size_t at = a.size() == 3 && a[0] == "soft" ? 1 : 0;
        if (a.size() != 2 + at || !ParseColour(a[at], c0) || !ParseColour(a[at + 1], c1))
            return fail("dot=[soft,]#centre,#edge");
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
            {
                float dx = (float(x) + 0.5f) / float(w) * 2.0f - 1.0f;
                float dy = (float(y) + 0.5f) / float(h) * 2.0f - 1.0f;
                float r = std::min(1.0f, std::sqrt(dx * dx + dy * dy));
                float t = r * r * (3.0f - 2.0f * r);  // smooth fall-off to the edge colour
                (*pixels)[size_t(y) * w + x] = Mix(c0, c1, t);
            }
        return true;
    }
    if (d.generator == "faces")
    {
        // One flat colour per cube face, in face order (+X, -X, +Y, -Y, +Z, -Z): a sky whose sides tell apart.
        const char* usage = "faces=flat,<six #AARRGGBB, +X -X +Y -Y +Z -Z> (cube textures only)";
        if (a.size() != 7 || a[0] != "flat" || d.kind != WeTexture::KindCube)
            return fail(usage);
        if (!ParseColour(a[1 + size_t(slice % 6)], c0))
            return fail(usage);
        std::fill(pixels->begin(), pixels->end(), Pack(c0));
        return true;
    }
    if (d.generator == "noise")
    {
        int seed = 0, cells = 0;
        if (a.size() != 4 || !ParseInt(a[0], 0, 0x7FFFFFFF, &seed) || !ParseColour(a[1], c0) ||
            !ParseColour(a[2], c1) || !ParseInt(a[3], 1, 256, &cells))
            return fail("noise=<seed>,#AARRGGBB,#AARRGGBB,<cells across>");
        // A lattice of random values, smoothly interpolated; wraps so it tiles.
        SysRandom::Seed(uint32_t(seed) + uint32_t(slice) * 7919u);
        std::vector<float> lattice(size_t(cells) * size_t(cells));
        for (float& v : lattice)
            v = float(SysRandom::Next()) / float(SysRandom::Max);
        auto at = [&](int x, int y) { return lattice[size_t((y % cells) * cells + (x % cells))]; };
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
            {
                float fx = (float(x) + 0.5f) / float(w) * float(cells);
                float fy = (float(y) + 0.5f) / float(h) * float(cells);
                int ix = int(fx), iy = int(fy);
                float tx = fx - float(ix), ty = fy - float(iy);
                tx = tx * tx * (3.0f - 2.0f * tx);
                ty = ty * ty * (3.0f - 2.0f * ty);
                float top = at(ix, iy) + (at(ix + 1, iy) - at(ix, iy)) * tx;
                float bottom = at(ix, iy + 1) + (at(ix + 1, iy + 1) - at(ix, iy + 1)) * tx;
                (*pixels)[size_t(y) * w + x] = Mix(c0, c1, top + (bottom - top) * ty);
            }
        return true;
    }
    // Sprites of the particle and flare content.
    if (d.generator == "streak")
    {
        float aspect = 0.0f;
        if (a.size() != 3 || !ParseFloatValue(a[0], &aspect) || !ParseColour(a[1], c0) || !ParseColour(a[2], c1) ||
            aspect < 1.0f || aspect > 64.0f)
            return fail("streak=<length over width, 1..64>,#centre,#edge");
        // An ellipse drawn out along v: a spark that the renderer turns along its velocity (1: a round disc).
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
            {
                float dx = ((float(x) + 0.5f) / float(w) * 2.0f - 1.0f) * aspect;
                float dy = (float(y) + 0.5f) / float(h) * 2.0f - 1.0f;
                float r = std::min(1.0f, std::sqrt(dx * dx + dy * dy));
                (*pixels)[size_t(y) * w + x] = Mix(c0, c1, r * r * (3.0f - 2.0f * r));
            }
        return true;
    }
    if (d.generator == "puff")
    {
        int seed = 0, cells = 0;
        if (a.size() != 4 || !ParseInt(a[0], 0, 0x7FFFFFFF, &seed) || !ParseColour(a[1], c0) ||
            !ParseColour(a[2], c1) || !ParseInt(a[3], 1, 64, &cells))
            return fail("puff=<seed>,#centre,#edge,<cells across>");
        // A soft disc whose edge is broken up by value noise: a smoke puff.
        SysRandom::Seed(uint32_t(seed) + uint32_t(slice) * 7919u);
        std::vector<float> lattice(size_t(cells + 1) * size_t(cells + 1));
        for (float& v : lattice)
            v = float(SysRandom::Next()) / float(SysRandom::Max);
        auto at = [&](int x, int y) { return lattice[size_t(y * (cells + 1) + x)]; };
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
            {
                float u = (float(x) + 0.5f) / float(w), v = (float(y) + 0.5f) / float(h);
                float fx = u * float(cells), fy = v * float(cells);
                int ix = std::min(int(fx), cells - 1), iy = std::min(int(fy), cells - 1);
                float tx = fx - float(ix), ty = fy - float(iy);
                tx = tx * tx * (3.0f - 2.0f * tx);
                ty = ty * ty * (3.0f - 2.0f * ty);
                float top = at(ix, iy) + (at(ix + 1, iy) - at(ix, iy)) * tx;
                float bottom = at(ix, iy + 1) + (at(ix + 1, iy + 1) - at(ix, iy + 1)) * tx;
                float noise = top + (bottom - top) * ty;
                float dx = u * 2.0f - 1.0f, dy = v * 2.0f - 1.0f;
                float r = std::min(1.0f, std::sqrt(dx * dx + dy * dy) * (0.75f + 0.5f * noise));
                (*pixels)[size_t(y) * w + x] = Mix(c0, c1, r * r * (3.0f - 2.0f * r));
            }
        return true;
    }
    if (d.generator == "ring")
    {
        float radius = 0.0f, width = 0.0f;
        if (a.size() != 4 || !ParseFloatValue(a[0], &radius) || !ParseFloatValue(a[1], &width) ||
            !ParseColour(a[2], c0) || !ParseColour(a[3], c1) || radius <= 0.0f || radius > 1.0f || width <= 0.0f ||
            width > 1.0f)
            return fail("ring=<radius 0..1>,<width 0..1>,#ring,#outside");
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
            {
                float dx = (float(x) + 0.5f) / float(w) * 2.0f - 1.0f;
                float dy = (float(y) + 0.5f) / float(h) * 2.0f - 1.0f;
                float t = std::min(1.0f, std::fabs(std::sqrt(dx * dx + dy * dy) - radius) / width);
                (*pixels)[size_t(y) * w + x] = Mix(c0, c1, t * t * (3.0f - 2.0f * t));
            }
        return true;
    }
    if (d.generator == "band")
    {
        if (a.size() != 3 || (a[0] != "horizontal" && a[0] != "vertical") || !ParseColour(a[1], c0) ||
            !ParseColour(a[2], c1))
            return fail("band=horizontal|vertical,#centre,#edge");
        // Bright along the middle line, soft towards both edges: a ribbon seen across.
        bool across = a[0] == "horizontal";
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
            {
                int n = across ? w : h;
                float t = std::fabs((float(across ? x : y) + 0.5f) / float(n) * 2.0f - 1.0f);
                (*pixels)[size_t(y) * w + x] = Mix(c0, c1, t * t * (3.0f - 2.0f * t));
            }
        return true;
    }
    return fail("unknown generator " + d.generator);
}

bool ContentTextureWriter::Write(const std::string& path, const std::string& name, WeVirtualFileSystem& staged,
                                 ContentError* error)
{
    std::string text;
    if (!ContentIniReader::ReadFile(path, &text, error))
        return false;
    Description d;
    if (!Parse(path, text, &d, error))
    {
        if (error->file.empty())
            error->file = path;
        return false;
    }
    m_Image = nullptr;
    return WriteDescription(path, d, name, staged, error);
}

bool ContentTextureWriter::WriteImage(const std::string& source, const std::string& name, int width, int height,
                                      const std::vector<uint32_t>& argb, WeVirtualFileSystem& staged,
                                      ContentError* error)
{
    if (width <= 0 || height <= 0 || argb.size() != size_t(width) * size_t(height))
    {
        *error = {source, 0, "the picture's size does not match its pixels"};
        return false;
    }
    Description d;
    d.width = width;
    d.height = height;
    d.singleLevel = false;
    m_Image = &argb;
    const bool ok = WriteDescription(source, d, name, staged, error);
    m_Image = nullptr;
    return ok;
}

bool ContentTextureWriter::WriteDescription(const std::string& path, const Description& d, const std::string& name,
                                            WeVirtualFileSystem& staged, ContentError* error)
{
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    UINT levels = d.singleLevel ? 1 : 0;
    bool block = d.format == D3DFMT_DXT1 || d.format == D3DFMT_DXT5;
    // Pixels are written in A8R8G8B8 (X8R8G8B8 has the same bytes); DXT is compressed from that by the layer.
    D3DFORMAT drawFormat = block ? D3DFMT_A8R8G8B8 : d.format;
    IDirect3DBaseTexture9* drawn = nullptr;
    IDirect3DBaseTexture9* final = nullptr;
    auto fill = [&](D3DLOCKED_RECT locked, int slice, size_t offset) -> bool
    {
        std::vector<uint32_t> pixels;
        if (!Generate(d, slice, &pixels, error))
            return false;
        if (slice == 0)
        {
            m_Preview = pixels;
            m_PreviewWidth = d.width;
            m_PreviewHeight = d.height;
        }
        for (int y = 0; y < d.height; ++y)
            std::memcpy(static_cast<uint8_t*>(locked.pBits) + offset + size_t(y) * size_t(locked.Pitch),
                        &pixels[size_t(y) * size_t(d.width)], size_t(d.width) * 4);
        return true;
    };
    HRESULT hr = E_FAIL;
    bool ok = true;
    if (d.kind == WeTexture::Kind2D)
    {
        IDirect3DTexture9* t = nullptr;
        hr = device->CreateTexture(UINT(d.width), UINT(d.height), levels, 0, drawFormat, D3DPOOL_MANAGED, &t, nullptr);
        drawn = t;
        D3DLOCKED_RECT locked{};
        ok = SUCCEEDED(hr) && SUCCEEDED(t->LockRect(0, &locked, nullptr, 0)) && fill(locked, 0, 0);
        if (SUCCEEDED(hr))
            t->UnlockRect(0);
    }
    else if (d.kind == WeTexture::KindCube)
    {
        IDirect3DCubeTexture9* t = nullptr;
        hr = device->CreateCubeTexture(UINT(d.width), levels, 0, drawFormat, D3DPOOL_MANAGED, &t, nullptr);
        drawn = t;
        for (int face = 0; ok && SUCCEEDED(hr) && face < 6; ++face)
        {
            D3DLOCKED_RECT locked{};
            ok = SUCCEEDED(t->LockRect(D3DCUBEMAP_FACES(face), 0, &locked, nullptr, 0)) && fill(locked, face, 0);
            t->UnlockRect(D3DCUBEMAP_FACES(face), 0);
        }
    }
    else
    {
        IDirect3DVolumeTexture9* t = nullptr;
        hr = device->CreateVolumeTexture(UINT(d.width), UINT(d.height), UINT(d.depth), levels, 0, drawFormat,
                                         D3DPOOL_MANAGED, &t, nullptr);
        drawn = t;
        D3DLOCKED_BOX box{};
        ok = SUCCEEDED(hr) && SUCCEEDED(t->LockBox(0, &box, nullptr, 0));
        for (int slice = 0; ok && slice < d.depth; ++slice)
        {
            D3DLOCKED_RECT rows{box.RowPitch, box.pBits};
            ok = fill(rows, slice, size_t(slice) * size_t(box.SlicePitch));
        }
        if (SUCCEEDED(hr))
            t->UnlockBox(0);
    }
    if (FAILED(hr) || !ok)
    {
        if (drawn != nullptr)
            drawn->Release();
        if (error->reason.empty())
            *error = {path, 0, "the graphics layer refused the texture"};
        if (error->file.empty())
            error->file = path;
        return false;
    }
    if (!d.singleLevel)
        D3DXFilterTexture(drawn, nullptr, 0, D3DX_DEFAULT);
    final = drawn;
    if (block)
    {
        // Each level and face compressed from the drawn one.
        UINT count = drawn->GetLevelCount();
        if (d.kind == WeTexture::Kind2D)
        {
            IDirect3DTexture9* t = nullptr;
            ok = SUCCEEDED(
                device->CreateTexture(UINT(d.width), UINT(d.height), count, 0, d.format, D3DPOOL_MANAGED, &t, nullptr));
            for (UINT level = 0; ok && level < count; ++level)
            {
                IDirect3DSurface9 *from = nullptr, *to = nullptr;
                ok = SUCCEEDED(static_cast<IDirect3DTexture9*>(drawn)->GetSurfaceLevel(level, &from)) &&
                     SUCCEEDED(t->GetSurfaceLevel(level, &to)) &&
                     SUCCEEDED(
                         D3DXLoadSurfaceFromSurface(to, nullptr, nullptr, from, nullptr, nullptr, D3DX_FILTER_NONE, 0));
                if (from)
                    from->Release();
                if (to)
                    to->Release();
            }
            final = t;
        }
        else
        {
            IDirect3DCubeTexture9* t = nullptr;
            ok = SUCCEEDED(device->CreateCubeTexture(UINT(d.width), count, 0, d.format, D3DPOOL_MANAGED, &t, nullptr));
            for (UINT level = 0; ok && level < count; ++level)
                for (int face = 0; ok && face < 6; ++face)
                {
                    IDirect3DSurface9 *from = nullptr, *to = nullptr;
                    ok = SUCCEEDED(static_cast<IDirect3DCubeTexture9*>(drawn)->GetCubeMapSurface(D3DCUBEMAP_FACES(face),
                                                                                                 level, &from)) &&
                         SUCCEEDED(t->GetCubeMapSurface(D3DCUBEMAP_FACES(face), level, &to)) &&
                         SUCCEEDED(D3DXLoadSurfaceFromSurface(to, nullptr, nullptr, from, nullptr, nullptr,
                                                              D3DX_FILTER_NONE, 0));
                    if (from)
                        from->Release();
                    if (to)
                        to->Release();
                }
            final = t;
        }
        drawn->Release();
        if (!ok)
        {
            if (final)
                final->Release();
            *error = {path, 0, "the graphics layer could not compress the texture"};
            return false;
        }
    }

    // The texture record itself, through the engine's writer; generated textures have no file time.
    WeTexture texture;
    texture.m_Texture = final;
    texture.m_Kind = d.kind;
    texture.m_Format = d.format;
    texture.m_Width = d.width;
    texture.m_Height = d.height;
    texture.m_Depth = d.depth;
    texture.m_MinimumLevel = d.minimumLevel;
    texture.m_SingleLevel = d.singleLevel ? 1 : 0;
    texture.m_LastWriteLow = 0;
    texture.m_LastWriteHigh = 0;
    texture.m_Valid = 1;
    bool written = staged.Create(name.c_str(), TextureFileType, true) && staged.GetStream() != nullptr &&
                   texture.WriteToStream(*staged.GetStream());
    written = staged.EndCreate() && written;
    if (!written)
    {
        *error = {path, 0, "cannot write the member " + name};
        return false;
    }
    return true;
}
