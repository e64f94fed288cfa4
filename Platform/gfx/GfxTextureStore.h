#pragma once
// What the three texture kinds share: the image, one surface object per face and level (handed out with the
// texture's reference), and the bookkeeping with the device.
#include <memory>
#include <vector>

#include "Platform/gfx/GfxSurface.h"

class GfxTextureStore
{
public:
    GfxTextureStore(std::unique_ptr<GfxImage> image, IUnknown* container);
    ~GfxTextureStore();
    GfxImage& Image() { return *m_Image; }
    // The surface of a face and level with a new reference, or null when out of range.
    GfxSurface* Surface(UINT face, UINT level);
    void PreLoad();

private:
    std::unique_ptr<GfxImage> m_Image;
    std::vector<GfxSurface*> m_Surfaces;
};
