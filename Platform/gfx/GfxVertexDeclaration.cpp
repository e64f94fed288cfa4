#include "Platform/gfx/GfxVertexDeclaration.h"

HRESULT GfxVertexDeclaration::GetDeclaration(D3DVERTEXELEMENT9* elements, UINT* count)
{
    if (!count)
        return D3DERR_INVALIDCALL;
    if (elements)
    {
        for (size_t i = 0; i < m_Elements.size(); ++i)
            elements[i] = m_Elements[i];
    }
    *count = UINT(m_Elements.size());
    return D3D_OK;
}
