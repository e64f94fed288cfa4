#include "Platform/gfx/GfxTextureStore.h"

#include "Platform/gfx/GfxDevice.h"

GfxTextureStore::GfxTextureStore(std::unique_ptr<GfxImage> image, IUnknown* container) : m_Image(std::move(image))
{
    if (m_Image->kind != GfxImageKind::Volume)
    {
        for (UINT face = 0; face < m_Image->faces; ++face)
            for (UINT level = 0; level < m_Image->levels; ++level)
                m_Surfaces.push_back(new GfxSurface(m_Image.get(), face, level, container));
    }
}

GfxTextureStore::~GfxTextureStore()
{
    for (GfxSurface* surface : m_Surfaces)
        surface->DestroyByContainer();
    if (m_Image->device)
        m_Image->device->ForgetImage(m_Image.get());
}

GfxSurface* GfxTextureStore::Surface(UINT face, UINT level)
{
    if (face >= m_Image->faces || level >= m_Image->levels || m_Surfaces.empty())
        return nullptr;
    GfxSurface* surface = m_Surfaces[face * m_Image->levels + level];
    surface->AddRef();
    return surface;
}

void GfxTextureStore::PreLoad()
{
    if (m_Image->device)
        m_Image->device->FlushImage(*m_Image);
}
