#pragma once
#include <cstdint>

#include "Engine/foundation/WeList.h"
#include "Engine/foundation/WeString.h"
#include "Engine/render/WeCanvasFont.h"
#include "Platform/gfx/D3D9.h"

class WeShader;
class WeTexture;

// The design resolution that screen-space layout scales from.
struct WeUIReferenceSize
{
    int32_t width;
    int32_t height;
};
extern WeUIReferenceSize g_UIReferenceSize;

// One pre-transformed canvas vertex: position in pixels, rhw 1, ARGB colour, texture coordinates.
struct WeCanvasVertex
{
    float x;
    float y;
    float z;
    float rhw;
    uint32_t colour;
    float u;
    float v;
};
static_assert(sizeof(WeCanvasVertex) == 28, "the canvas vertex is 28 bytes");

// The engine's 2-D batcher: screen-space quads are queued into fixed arrays and drawn with one indexed
// draw per run that shares a texture and a blend mode (at most 1024 quads); texts are queued apart and
// drawn after the quads of the same flush, grouped by their fonts' glyph textures.
class WeCanvas
{
public:
    static constexpr int32_t Capacity = 1024;
    static constexpr int32_t BlendAdditive = 2;

    WeCanvas();
    virtual ~WeCanvas();
    WeCanvas(const WeCanvas&) = delete;
    WeCanvas& operator=(const WeCanvas&) = delete;

    void LoadShader();
    void BeginFrame();
    void DrawQuad(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t argb, WeTexture* texture, int32_t blend);
    void DrawQuadUV(int32_t x, int32_t y, int32_t w, int32_t h, float u0, float v0, float u1, float v1, uint32_t argb,
                    WeTexture* texture, int32_t blend);
    void DrawRotatedQuad(float x, float y, float w, float h, float angle, uint32_t argb, WeTexture* texture,
                         int32_t blend);
    void DrawRotatedQuadUV(float x, float y, float w, float h, float angle, float u0, float v0, float u1, float v1,
                           uint32_t argb, WeTexture* texture, int32_t blend);
    void DrawD3DTexture(int32_t x, int32_t y, int32_t w, int32_t h, float u0, float v0, float u1, float v1,
                        uint32_t argb, IDirect3DTexture9* texture, int32_t blend);
    void DrawText(WeCanvasFont* font, const WeString& text, int32_t x, int32_t y, int32_t width, int32_t height,
                  uint32_t argb, int32_t flags, float scale);
    void DrawTextOutlined(WeCanvasFont* font, const WeString& text, int32_t x, int32_t y, int32_t width, int32_t height,
                          uint32_t argb, uint32_t outlineArgb, int32_t flags, float scale);
    void DrawTextShadowed(WeCanvasFont* font, const WeString& text, int32_t x, int32_t y, int32_t width, int32_t height,
                          uint32_t argb, uint32_t shadowArgb, int32_t flags, float scale);
    void Flush();
    void FlushQuads();
    void FlushTexts();
    void SetBlendMode(int32_t mode);
    void OnLostDevice();
    void OnResetDevice();
    void DestroyFonts();

    // The font table lives with the fonts above the renderer; they install these when they start.
    void (*m_RecreateFonts)() = nullptr;
    void (*m_DestroyFonts)() = nullptr;

    int32_t GetQueuedTextCount() const { return m_Texts.Count(); }
    const WeCanvasVertex* GetVertices() const { return m_Vertices; }

    WeShader* m_Shader = nullptr;
    WeList<WeCanvasTextNode> m_Texts;
    WeCanvasVertex m_Vertices[Capacity * 4];
    uint16_t m_Indices[Capacity * 6];
    WeTexture* m_Texture = nullptr;
    IDirect3DTexture9* m_RawTexture = nullptr;
    int32_t m_BlendMode = 0;
    int32_t m_BatchStart = 0;
    int32_t m_BatchCount = 0;
    int32_t m_Capacity = Capacity;
    int32_t m_WritePosition = Capacity;
    uint8_t m_Ready = 0;

private:
    // Ends the batch when the key changes or the arrays are full; returns the slot for the next quad.
    int32_t TakeSlot(WeTexture* texture, IDirect3DTexture9* raw, int32_t blend);
    void FillAxisAligned(int32_t slot, int32_t x, int32_t y, int32_t w, int32_t h, float u0, float v0, float u1,
                         float v1, float tu, float tv, uint32_t argb);
    void FillRotated(int32_t slot, float x, float y, float w, float h, float angle, float u0, float v0, float u1,
                     float v1, uint32_t argb);
    void FillIndices(int32_t slot);
};

extern WeCanvas g_Canvas;
