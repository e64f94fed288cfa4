#pragma once
// What the widget tests share: the UI manager over a recording device of 1024 x 768 (one layout pixel per
// reference pixel), skin parts and keys written straight into the configuration store, and the quads the
// canvas handed to the device, read back from the recorder's log.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeTexture.h"
#include "Engine/ui/WeFontTable.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIRoot.h"
#include "Tests/Engine/render/RenderTestSupport.h"

// One drawn quad: its screen rectangle, colour and the texture bound for it.
struct UIQuad
{
    float x0, y0, x1, y1;
    uint32_t colour;
    IDirect3DBaseTexture9* texture;
    int draw;  // index of the device draw it belongs to
    uint32_t Alpha() const { return colour >> 24; }
};

class UIRenderTest : public RecordingRender
{
protected:
    void SetUp() override
    {
        RecordingRender::SetUp();
        ASSERT_TRUE(Create(1024, 768));
        GetConfigString(WeString("UI.Fonts.DefaultFontName"), WeString("")) = "Liberation Sans";
        GetConfigString(WeString("UI.Fonts.DefaultUnicodeFontName"), WeString("")) = "DejaVu Sans";
        GetConfigString(WeString("UI.Fonts.Charsets"), WeString("")) = "";
        g_UIMain.Init();
        g_UIMain.m_FrameTime = 1.0 / 60.0;
        // A skin of its own, so that skin quads are told apart from untextured ones.
        g_UIMain.m_SkinTexture = g_TextureManager.CreateTexture(64, 64, D3DFMT_A8R8G8B8, 0, D3DPOOL_MANAGED, 1, true);
        g_Canvas.BeginFrame();
        g_GfxRecorder.ClearLog();
    }
    void TearDown() override
    {
        g_UIMain.ProcessEvents();
        g_Canvas.Flush();
        g_UIMain.Shutdown();
        g_FontTable.DestroyAll();
        g_ScreenSize = {1024, 768};
        RecordingRender::TearDown();
    }

    static void SetInt(const char* key, int32_t value) { GetConfigInt(WeString(key), 0) = value; }
    static void SetFloat(const char* key, float value) { GetConfigFloat(WeString(key), 0.0f) = value; }
    static void SetString(const char* key, const char* value) { GetConfigString(WeString(key), WeString("")) = value; }
    // A skin part's pixel rectangle in the texture map.
    static void SetPart(const char* name, int32_t x, int32_t y, int32_t w, int32_t h)
    {
        WeString p = WeString("UITextureMap.") + name;
        GetConfigInt(p + ".XPos", 0) = x;
        GetConfigInt(p + ".YPos", 0) = y;
        GetConfigInt(p + ".Width", 0) = w;
        GetConfigInt(p + ".Height", 0) = h;
    }
    static WeUIComponent* Root() { return g_UIMain.m_Root; }
    static void Ticks(int n)
    {
        g_Timer.m_FrameDeltaF = 1.0f / 60.0f;
        for (int i = 0; i < n; ++i)
            g_UIMain.Tick();
    }
    // Flushes the canvas and returns every quad drawn since the log was last cleared, in order.
    static std::vector<UIQuad> Quads()
    {
        g_Canvas.Flush();
        std::vector<UIQuad> quads;
        int index = 0;
        for (const GfxDrawRecord* d : g_GfxRecorder.Draws())
        {
            size_t n = d->vertices.size() / sizeof(WeCanvasVertex) / 4;
            std::vector<WeCanvasVertex> v(n * 4);
            std::memcpy(v.data(), d->vertices.data(), v.size() * sizeof(WeCanvasVertex));
            for (size_t q = 0; q < std::min<size_t>(n, d->primitiveCount / 2); ++q)
            {
                const WeCanvasVertex* c = &v[q * 4];
                quads.push_back({c[0].x, c[0].y, c[3].x, c[3].y, c[0].colour, d->state.textures[6], index});
            }
            ++index;
        }
        return quads;
    }
    // Quads bound to the skin texture.
    static std::vector<UIQuad> SkinQuads()
    {
        std::vector<UIQuad> skin;
        for (const UIQuad& q : Quads())
            if (g_UIMain.m_SkinTexture != nullptr && q.texture == g_UIMain.m_SkinTexture->GetD3DTexture())
                skin.push_back(q);
        return skin;
    }
};
