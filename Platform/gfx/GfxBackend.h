#pragma once
// What a device needs from the machine below it. The OpenGL backend draws; the recording backend is this
// class as it stands, doing nothing, while the device writes every call into the recorder.
#include <string>

#include "Platform/gfx/GfxBuffer.h"
#include "Platform/gfx/GfxImage.h"
#include "Platform/gfx/GfxState.h"

class GfxBackend
{
public:
    virtual ~GfxBackend() = default;
    // Takes or makes the window and its context, sized for the present parameters.
    virtual bool Open(HWND window, const D3DPRESENT_PARAMETERS& params)
    {
        (void)window;
        (void)params;
        return true;
    }
    // A reset: new back-buffer size, interval or window mode.
    virtual bool Resize(const D3DPRESENT_PARAMETERS& params)
    {
        (void)params;
        return true;
    }
    virtual bool CreateImage(GfxImage& image)
    {
        (void)image;
        return true;
    }
    virtual void DestroyImage(GfxImage& image) { (void)image; }
    virtual void UploadImage(GfxImage& image, UINT sub) { (void)image, (void)sub; }
    virtual bool CreateBuffer(GfxBuffer& buffer)
    {
        (void)buffer;
        return true;
    }
    virtual void DestroyBuffer(GfxBuffer& buffer) { (void)buffer; }
    virtual void UploadBuffer(GfxBuffer& buffer, UINT offset, UINT size, bool discard)
    {
        (void)buffer, (void)offset, (void)size, (void)discard;
    }
    virtual void Clear(const GfxState& state, DWORD count, const RECT* rects, DWORD flags, D3DCOLOR color, float z,
                       DWORD stencil)
    {
        (void)state, (void)count, (void)rects, (void)flags, (void)color, (void)z, (void)stencil;
    }
    virtual void Draw(const GfxState& state, const GfxDraw& draw) { (void)state, (void)draw; }
    virtual bool Stretch(GfxSurface& source, const RECT& sourceRect, GfxSurface& dest, const RECT& destRect,
                         D3DTEXTUREFILTERTYPE filter)
    {
        (void)source, (void)sourceRect, (void)dest, (void)destRect, (void)filter;
        return true;
    }
    virtual bool Fill(GfxSurface& surface, const RECT& rect, D3DCOLOR color)
    {
        (void)surface, (void)rect, (void)color;
        return true;
    }
    // Reads a colour surface into level 0 of a system-memory image of the same size and format.
    virtual bool Read(GfxSurface& source, GfxImage& dest)
    {
        (void)source, (void)dest;
        return true;
    }
    virtual void Present(GfxSurface& backBuffer) { (void)backBuffer; }

    // Effect programs, from complete GLSL sources. Without GL a program is only a number, so effect
    // bookkeeping runs the same with nothing compiled.
    enum class UniformType
    {
        Float1,
        Float2,
        Float3,
        Float4,
        Matrix4,
        Int1
    };
    virtual uint32_t BuildProgram(const std::string& vertex, const std::string& fragment, std::string* log)
    {
        (void)vertex, (void)fragment, (void)log;
        return ++m_ProgramCount;
    }
    virtual void DestroyProgram(uint32_t program) { (void)program; }
    virtual int UniformLocation(uint32_t program, const char* name)
    {
        (void)program, (void)name;
        return -1;
    }
    virtual void SetUniform(uint32_t program, int location, UniformType type, UINT count, const void* data)
    {
        (void)program, (void)location, (void)type, (void)count, (void)data;
    }

private:
    uint32_t m_ProgramCount = 0;
};
