#pragma once
// Reference counting shared by the resource objects: created with one reference, deleted at zero.
#include "Platform/gfx/D3D9.h"

template <class Interface>
class GfxRefCounted : public Interface
{
public:
    ULONG AddRef() override { return ++m_Refs; }
    ULONG Release() override
    {
        ULONG refs = --m_Refs;
        if (refs == 0)
            delete this;
        return refs;
    }
    ULONG RefCount() const { return m_Refs; }

protected:
    ~GfxRefCounted() override = default;
    ULONG m_Refs = 1;
};
