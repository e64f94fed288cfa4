#pragma once
#include <vector>

#include "Platform/gfx/GfxRefCounted.h"
#include "Platform/gfx/GfxVertexLayout.h"

class GfxVertexDeclaration : public GfxRefCounted<IDirect3DVertexDeclaration9>
{
public:
    GfxVertexDeclaration(const D3DVERTEXELEMENT9* elements, UINT count, const GfxVertexLayout& layout)
        : m_Elements(elements, elements + count), m_Layout(layout)
    {
    }
    HRESULT GetDeclaration(D3DVERTEXELEMENT9* elements, UINT* count) override;
    const GfxVertexLayout& Layout() const { return m_Layout; }

private:
    ~GfxVertexDeclaration() override = default;
    std::vector<D3DVERTEXELEMENT9> m_Elements;  // including the end marker
    GfxVertexLayout m_Layout;
};
