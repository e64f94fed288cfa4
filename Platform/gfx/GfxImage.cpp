#include "Platform/gfx/GfxImage.h"

void GfxImage::Layout()
{
    subs.assign(faces * levels, GfxSubImage());
    bool cpu = HasCpuCopy();
    for (UINT face = 0; face < faces; ++face)
    {
        UINT w = width, h = height, d = depth;
        for (UINT level = 0; level < levels; ++level)
        {
            GfxSubImage& sub = Sub(face, level);
            sub.width = w;
            sub.height = h;
            sub.depth = d;
            sub.rowPitch = GfxFormat::RowPitch(*info, w);
            sub.slicePitch = sub.rowPitch * GfxFormat::RowCount(*info, h);
            if (cpu)
                sub.bytes.assign(size_t(sub.slicePitch) * d, 0);
            w = w > 1 ? w / 2 : 1;
            h = h > 1 ? h / 2 : 1;
            d = d > 1 ? d / 2 : 1;
        }
    }
}

bool GfxImage::HasCpuCopy() const
{
    if (kind == GfxImageKind::DepthSurface || kind == GfxImageKind::ColorSurface || kind == GfxImageKind::BackBuffer)
        return false;
    return (usage & D3DUSAGE_RENDERTARGET) == 0;
}

UINT GfxImage::Samples() const
{
    if (multiSample == D3DMULTISAMPLE_NONE)
        return 0;
    if (multiSample == D3DMULTISAMPLE_NONMASKABLE)
        return 2u << multiSampleQuality;
    return UINT(multiSample);
}
