#include "Engine/render/WeCanvas.h"

#include <cmath>

#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeShader.h"
#include "Engine/render/WeShaderManager.h"
#include "Engine/render/WeTexture.h"
#include "Engine/render/WeTextureManager.h"
#include "Platform/math/D3DXCOLOR.h"

WeUIReferenceSize g_UIReferenceSize = {1024, 768};
WeCanvas g_Canvas;

namespace
{

constexpr DWORD CanvasFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;
constexpr int32_t CanvasStage = 6;

}  // namespace

WeCanvas::WeCanvas() : m_Vertices(), m_Indices() {}

WeCanvas::~WeCanvas()
{
    m_Texts.Clear();
}

void WeCanvas::LoadShader()
{
    m_Shader = g_ShaderManager.GetShader(WeString("Shaders.Default.2D"), false, true);
    m_Ready = 1;
}

void WeCanvas::BeginFrame()
{
    m_WritePosition = m_Capacity;
    m_Texture = nullptr;
    m_RawTexture = nullptr;
    m_BlendMode = 0;
    m_BatchStart = 0;
    m_BatchCount = 0;
}

int32_t WeCanvas::TakeSlot(WeTexture* texture, IDirect3DTexture9* raw, int32_t blend)
{
    // The video frame belongs to the key too: nothing else may join a batch drawn with it.
    if (texture != m_Texture || raw != m_RawTexture || blend != m_BlendMode)
        FlushQuads();
    if (m_WritePosition >= m_Capacity)
    {
        FlushQuads();
        m_WritePosition = 0;
        m_BatchStart = 0;
    }
    int32_t slot = m_WritePosition++;
    ++m_BatchCount;
    m_Texture = texture;
    m_RawTexture = raw;
    m_BlendMode = blend;
    return slot;
}

void WeCanvas::FillIndices(int32_t slot)
{
    uint16_t b = uint16_t((slot - m_BatchStart) * 4);
    uint16_t* i = &m_Indices[slot * 6];
    i[0] = b;
    i[1] = uint16_t(b + 1);
    i[2] = uint16_t(b + 2);
    i[3] = uint16_t(b + 2);
    i[4] = uint16_t(b + 1);
    i[5] = uint16_t(b + 3);
}

void WeCanvas::FillAxisAligned(int32_t slot, int32_t x, int32_t y, int32_t w, int32_t h, float u0, float v0, float u1,
                               float v1, float tu, float tv, uint32_t argb)
{
    float left = u0 + tu / 2.0f;
    float right = u1 + (u1 - u0) / float(w) - tu / 2.0f;
    float top = v0 + tv / 2.0f;
    float bottom = v1 + (v1 - v0) / float(h) - tv / 2.0f;
    // Summed as floats: a quad far off the screen (a text placed by a hostile layout) must not overflow int.
    float x0 = float(x), y0 = float(y), x1 = x0 + float(w), y1 = y0 + float(h);
    WeCanvasVertex* v = &m_Vertices[slot * 4];
    v[0] = {x0, y0, 0.0f, 1.0f, argb, left, top};
    v[1] = {x1, y0, 0.0f, 1.0f, argb, right, top};
    v[2] = {x0, y1, 0.0f, 1.0f, argb, left, bottom};
    v[3] = {x1, y1, 0.0f, 1.0f, argb, right, bottom};
    FillIndices(slot);
}

void WeCanvas::FillRotated(int32_t slot, float x, float y, float w, float h, float angle, float u0, float v0, float u1,
                           float v1, uint32_t argb)
{
    float cx = x + w / 2.0f, cy = y + h / 2.0f;
    float c = std::cos(angle) / 2.0f, s = std::sin(angle) / 2.0f;
    WeCanvasVertex* v = &m_Vertices[slot * 4];
    v[0] = {cx - c * w + s * h, cy - s * w - c * h, 0.0f, 1.0f, argb, u0, v0};
    v[1] = {cx + c * w + s * h, cy + s * w - c * h, 0.0f, 1.0f, argb, u1, v0};
    v[2] = {cx - c * w - s * h, cy - s * w + c * h, 0.0f, 1.0f, argb, u0, v1};
    v[3] = {cx + c * w - s * h, cy + s * w + c * h, 0.0f, 1.0f, argb, u1, v1};
    FillIndices(slot);
}

void WeCanvas::DrawQuad(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t argb, WeTexture* texture, int32_t blend)
{
    DrawQuadUV(x, y, w, h, 0.0f, 0.0f, 1.0f, 1.0f, argb, texture, blend);
}

void WeCanvas::DrawQuadUV(int32_t x, int32_t y, int32_t w, int32_t h, float u0, float v0, float u1, float v1,
                          uint32_t argb, WeTexture* texture, int32_t blend)
{
    // The uv span divides by the size: an empty quad draws nothing and leaves the batch as it is.
    if (w == 0 || h == 0)
        return;
    float tu = 1.0f, tv = 1.0f;
    if (texture != nullptr)
    {
        tu = texture->m_InvWidth;
        tv = texture->m_InvHeight;
    }
    int32_t slot = TakeSlot(texture, nullptr, blend);
    FillAxisAligned(slot, x, y, w, h, u0, v0, u1, v1, tu, tv, argb);
}

void WeCanvas::DrawRotatedQuad(float x, float y, float w, float h, float angle, uint32_t argb, WeTexture* texture,
                               int32_t blend)
{
    DrawRotatedQuadUV(x, y, w, h, angle, 0.0f, 0.0f, 1.0f, 1.0f, argb, texture, blend);
}

void WeCanvas::DrawRotatedQuadUV(float x, float y, float w, float h, float angle, float u0, float v0, float u1,
                                 float v1, uint32_t argb, WeTexture* texture, int32_t blend)
{
    int32_t slot = TakeSlot(texture, nullptr, blend);
    FillRotated(slot, x, y, w, h, angle, u0, v0, u1, v1, argb);
}

void WeCanvas::DrawD3DTexture(int32_t x, int32_t y, int32_t w, int32_t h, float u0, float v0, float u1, float v1,
                              uint32_t argb, IDirect3DTexture9* texture, int32_t blend)
{
    FlushQuads();
    if (w == 0 || h == 0)
        return;
    float tu = 1.0f, tv = 1.0f;
    if (texture != nullptr)
    {
        D3DSURFACE_DESC desc{};
        if (SUCCEEDED(texture->GetLevelDesc(0, &desc)) && desc.Width > 0 && desc.Height > 0)
        {
            tu = 1.0f / float(desc.Width);
            tv = 1.0f / float(desc.Height);
        }
    }
    int32_t slot = TakeSlot(nullptr, texture, blend);
    FillAxisAligned(slot, x, y, w, h, u0, v0, u1, v1, tu, tv, argb);
}

void WeCanvas::DrawText(WeCanvasFont* font, const WeString& text, int32_t x, int32_t y, int32_t width, int32_t height,
                        uint32_t argb, int32_t flags, float scale)
{
    if (font == nullptr)
        return;
    WeCanvasTextNode& node = m_Texts.PushBack();
    node.font = font;
    node.text = text;
    node.x = x;
    node.y = y;
    node.width = width;
    node.height = height;
    node.alpha = float((argb >> 24) & 0xFF) / 255.0f;
    node.red = float((argb >> 16) & 0xFF) / 255.0f;
    node.green = float((argb >> 8) & 0xFF) / 255.0f;
    node.blue = float(argb & 0xFF) / 255.0f;
    node.flags = flags;
    node.scale = scale;
}

void WeCanvas::DrawTextOutlined(WeCanvasFont* font, const WeString& text, int32_t x, int32_t y, int32_t width,
                                int32_t height, uint32_t argb, uint32_t outlineArgb, int32_t flags, float scale)
{
    static const int32_t offsets[4][2] = {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
    for (const auto& o : offsets)
        DrawText(font, text, x + o[0], y + o[1], width, height, outlineArgb, flags, scale);
    DrawText(font, text, x, y, width, height, argb, flags, scale);
}

void WeCanvas::DrawTextShadowed(WeCanvasFont* font, const WeString& text, int32_t x, int32_t y, int32_t width,
                                int32_t height, uint32_t argb, uint32_t shadowArgb, int32_t flags, float scale)
{
    int32_t dx = int32_t(3.0f * float(g_ScreenSize.width) / float(g_UIReferenceSize.width));
    int32_t dy = int32_t(3.0f * float(g_ScreenSize.height) / float(g_UIReferenceSize.height));
    uint32_t shadow = shadowArgb;
    if (shadow == 0)
    {
        // A quarter of the text's own colour, its alpha kept.
        float r = float((argb >> 16) & 0xFF) / 255.0f * 0.25f;
        float g = float((argb >> 8) & 0xFF) / 255.0f * 0.25f;
        float b = float(argb & 0xFF) / 255.0f * 0.25f;
        shadow = (argb & 0xFF000000u) | (uint32_t(D3DXCOLOR(r, g, b, 0.0f)) & 0x00FFFFFFu);
    }
    DrawText(font, text, x + dx, y + dy, width, height, shadow, flags, scale);
    DrawText(font, text, x, y, width, height, argb, flags, scale);
}

void WeCanvas::Flush()
{
    FlushQuads();
    if (!m_Texts.IsEmpty())
        FlushTexts();
}

void WeCanvas::SetBlendMode(int32_t mode)
{
    g_RenderDevice.SetAlphaBlend(true);
    g_RenderDevice.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    g_RenderDevice.SetRenderState(D3DRS_DESTBLEND, mode == BlendAdditive ? D3DBLEND_ONE : D3DBLEND_INVSRCALPHA);
    m_BlendMode = mode;
}

void WeCanvas::FlushQuads()
{
    if (m_BatchCount == 0)
        return;
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    if (m_Shader == nullptr || device == nullptr)
    {
        // Nothing can draw them: the queued quads are dropped so that the next batch starts consistent.
        m_BatchStart = m_WritePosition >= m_Capacity ? 0 : m_WritePosition;
        m_BatchCount = 0;
        return;
    }
    if (m_RawTexture != nullptr)
        g_RenderDevice.SetD3DTexture(CanvasStage, m_RawTexture);
    else if (m_Texture != nullptr)
        g_RenderDevice.SetTexture(CanvasStage, m_Texture);
    else
        g_RenderDevice.SetTexture(CanvasStage, g_TextureManager.m_DefaultWhite);
    g_RenderDevice.SetSamplerFilter(CanvasStage, 3, 1);
    SetBlendMode(m_BlendMode);
    g_RenderDevice.SetRenderState(D3DRS_ZENABLE, 0);
    m_Shader->Begin(D3DXFX_DONOTSAVESTATE | D3DXFX_DONOTSAVESHADERSTATE | D3DXFX_DONOTSAVESAMPLERSTATE);
    m_Shader->BeginPass(0);
    m_Shader->CommitChanges();
    device->SetFVF(CanvasFvf);
    device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, UINT(m_BatchCount * 4), UINT(m_BatchCount * 2),
                                   &m_Indices[m_BatchStart * 6], D3DFMT_INDEX16, &m_Vertices[m_BatchStart * 4],
                                   sizeof(WeCanvasVertex));
    m_Shader->EndPass();
    m_Shader->End();
    g_RenderDevice.SetRenderState(D3DRS_ZENABLE, 1);
    g_RenderDevice.SetAlphaBlend(false);
    m_BatchStart = m_WritePosition >= m_Capacity ? 0 : m_WritePosition;
    m_BatchCount = 0;
}

void WeCanvas::FlushTexts()
{
    while (!m_Texts.IsEmpty())
    {
        WeTexture* glyphs = m_Texts.FirstNode()->payload.font->GetGlyphTexture();
        WeList<WeCanvasTextNode>::Node* node = m_Texts.FirstNode();
        while (node != nullptr)
        {
            WeList<WeCanvasTextNode>::Node* next = m_Texts.NextNode(node);
            if (node->payload.font->GetGlyphTexture() == glyphs)
            {
                node->payload.font->DrawTextRecord(*this, node->payload);
                m_Texts.Remove(node);
            }
            node = next;
        }
    }
    FlushQuads();
}

void WeCanvas::OnLostDevice() {}

void WeCanvas::OnResetDevice()
{
    if (m_RecreateFonts != nullptr)
        m_RecreateFonts();
    m_Texture = nullptr;
    m_RawTexture = nullptr;
    m_BlendMode = 0;
    m_BatchStart = 0;
    m_BatchCount = 0;
}

void WeCanvas::DestroyFonts()
{
    if (m_DestroyFonts != nullptr)
        m_DestroyFonts();
    // Records may still name fonts that are gone.
    m_Texts.Reset();
}
