#pragma once
// What the display's race tests share: the race rig in its race-phase mode on the recording backend at a
// chosen size, run into its racing state, and the quads and texts the display queues on the canvas, read
// back as rectangles, colours and atlas cells.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Engine/foundation/WeLocalization.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeTexture.h"
#include "Engine/ui/WeFont.h"
#include "Game/craft/CCraftLinks.h"
#include "Game/craft/CTuber.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CMainGameInterface.h"
#include "Game/shell/CPlayGamePhase.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/HudCells.h"
#include "Game/shell/HudDrawing.h"
#include "Platform/gfx/GfxRecorder.h"
#include "Platform/math/D3DXCOLOR.h"
#include "Tests/Game/shell/RaceTestSupport.h"
#include "Tools/race_common/RaceRig.h"

struct HudQuad
{
    float x0, y0, x1, y1;
    uint32_t colour;
    float u0, v0, u1, v1;
    IDirect3DBaseTexture9* texture;
    bool additive;

    float Alpha() const { return float(colour >> 24) / 255.0f; }
    // The quad shows the cell of the atlas (texture coordinates within a texel of the cell's corners).
    bool Shows(const WeTexture* atlas, const HudCell& cell) const
    {
        if (atlas == nullptr || texture != atlas->m_Texture)
            return false;
        const float w = float(atlas->m_Width), h = float(atlas->m_Height);
        return std::fabs(u0 * w - float(cell.left)) < 1.0f && std::fabs(v0 * h - float(cell.top)) < 1.0f &&
               std::fabs(u1 * w - float(cell.right)) < 1.5f && std::fabs(v1 * h - float(cell.bottom)) < 1.5f;
    }
};

// A text as drawn: its top-left corner and size in pixels after its format's alignment.
struct HudTextBox
{
    std::string text;
    int x, y, w, h;
    uint32_t colour;
    int flags;
    const WeCanvasFont* font;
};

class HudRace : public ::testing::Test
{
protected:
    static constexpr double Step = 1.0 / 64.0;
    // The texture stage the canvas draws its quads with.
    static constexpr int CanvasStage = 6;

    static RaceRigOptions Options(int width, int height, int participants)
    {
        RaceRigOptions o = RaceTestOptions();
        o.width = width;
        o.height = height;
        o.weapons = true;
        o.slots.clear();
        const char* crafts[] = {"Falconer", "EclosionHunter"};
        const char* names[] = {"Player", "Rival", "Vesna", "Okoro", "Maru", "Tamsin"};
        for (int i = 0; i < participants; ++i)
            o.slots.push_back(RaceRigSlot{i == 0 ? 4 : 2, crafts[i % 2], names[i % 6], 0, i + 1});
        return o;
    }

    // The race started and run to its racing state; the display's switches as a race start leaves them.
    void Start(RaceRigOptions options)
    {
        rig = std::make_unique<RaceRig>(std::move(options));
        std::string error;
        ASSERT_TRUE(rig->Start(&error)) << error;
        rig->RunUntil([&] { return rig->InRace() && g_PlayGamePhase.m_RaceState == CPlayGamePhase::Racing; }, 30.0);
        ASSERT_EQ(g_PlayGamePhase.m_RaceState, CPlayGamePhase::Racing);
        player = rig->Player();
        ASSERT_NE(player, nullptr);
        hud.m_Visible = 1;
        hud.m_StandingsShown = 1;
        hud.m_RivalTagMode = 1;
        hud.m_LockRingsShown = 1;
        hud.m_Scale = hud.m_VerticalScale = float(g_ScreenSize.height) / 768.0f;
        hud.m_HorizontalScale = float(g_ScreenSize.width) / 1024.0f;
        Clean();
    }
    void Start(int width = 1024, int height = 768, int participants = 2)
    {
        Start(Options(width, height, participants));
    }
    void TearDown() override
    {
        Clean();
        if (rig)
            rig->Stop();
        rig.reset();
        hud.m_Visible = 1;
        hud.m_RivalTagMode = 1;
    }

    // Nothing queued on the canvas, nothing logged.
    static void Clean()
    {
        g_Canvas.FlushQuads();
        g_Canvas.m_Texts.Reset();
        g_GfxRecorder.ClearLog();
    }

    static std::vector<HudQuad> TakeQuads()
    {
        g_Canvas.FlushQuads();
        std::vector<HudQuad> out;
        for (const GfxDrawRecord* draw : g_GfxRecorder.Draws())
        {
            std::vector<WeCanvasVertex> v(draw->vertices.size() / sizeof(WeCanvasVertex));
            std::memcpy(v.data(), draw->vertices.data(), v.size() * sizeof(WeCanvasVertex));
            const bool additive = draw->state.renderStates[D3DRS_DESTBLEND] == D3DBLEND_ONE;
            for (size_t q = 0; q + 3 < v.size() && q / 4 < draw->primitiveCount / 2; q += 4)
                out.push_back(HudQuad{v[q].x, v[q].y, v[q + 3].x, v[q + 3].y, v[q].colour, v[q].u, v[q].v, v[q + 3].u,
                                      v[q + 3].v, draw->state.textures[CanvasStage], additive});
        }
        g_GfxRecorder.ClearLog();
        return out;
    }

    // The texts queued since the last call without their shadows, placed as their fonts draw them.
    static std::vector<HudTextBox> TakeTexts()
    {
        std::vector<WeCanvasTextNode> nodes;
        for (const WeCanvasTextNode& node : g_Canvas.m_Texts)
            nodes.push_back(node);
        g_Canvas.m_Texts.Reset();
        std::vector<HudTextBox> out;
        for (size_t i = 0; i < nodes.size(); ++i)
        {
            const WeCanvasTextNode& n = nodes[i];
            // A shadowed text is its shadow, a few pixels down and right, then itself.
            if (i + 1 < nodes.size() && nodes[i + 1].text == n.text && nodes[i + 1].x < n.x && nodes[i + 1].y < n.y)
                continue;
            int size[2] = {0, 0};
            if (WeFont* font = static_cast<WeFont*>(n.font))
                font->GetTextExtent(n.text, size, 0);
            int x = n.x, y = n.y;
            if (n.flags & 1)
                x -= size[0] / 2;
            else if (n.flags & 2)
                x -= size[0];
            if (n.flags & 8)
                y -= size[1];
            out.push_back(HudTextBox{n.text.c_str(), x, y, size[0], size[1],
                                     uint32_t(D3DXCOLOR(n.red, n.green, n.blue, n.alpha)), n.flags, n.font});
        }
        return out;
    }

    static const HudTextBox* Find(const std::vector<HudTextBox>& texts, const std::string& prefix)
    {
        for (const HudTextBox& t : texts)
            if (t.text.compare(0, prefix.size(), prefix) == 0)
                return &t;
        return nullptr;
    }

    static std::vector<HudQuad> Showing(const std::vector<HudQuad>& quads, const WeTexture* atlas, const HudCell& cell)
    {
        std::vector<HudQuad> out;
        for (const HudQuad& q : quads)
            if (q.Shows(atlas, cell))
                out.push_back(q);
        return out;
    }

    // One frame of the display's time without the race's tick.
    static void AdvanceFrame() { g_Timer.m_FrameDeltaF = float(Step); }

    // Where a point this far ahead of the player (and this far to its right and up) lies.
    D3DXVECTOR3 Ahead(float forward, float right = 0.0f, float up = 0.0f) const
    {
        const D3DXMATRIX& m = player->GetWorldMatrix();
        return D3DXVECTOR3(m._41 + m._31 * forward + m._11 * right + m._21 * up,
                           m._42 + m._32 * forward + m._12 * right + m._22 * up,
                           m._43 + m._33 * forward + m._13 * right + m._23 * up);
    }
    static D3DXMATRIX At(const D3DXMATRIX& orientation, const D3DXVECTOR3& p)
    {
        D3DXMATRIX m = orientation;
        m._41 = p.x;
        m._42 = p.y;
        m._43 = p.z;
        return m;
    }

    std::unique_ptr<RaceRig> rig;
    CTuber* player = nullptr;
    CMainGameInterface& hud = g_MainGameInterface;
};
