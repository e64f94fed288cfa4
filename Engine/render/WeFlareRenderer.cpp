#include "Engine/render/WeFlareRenderer.h"

#include <cmath>

#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeCamera.h"
#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/world/WeActor.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WePhysics.h"
#include "Engine/world/WeRaycastHit.h"
#include "Engine/world/WeWorld.h"
#include "Platform/physics/NxTypes.h"

WeFlareRenderer g_FlareRenderer;

const float WeFlareRenderer::RingPositions[5] = {0.5f, 0.333f, 0.125f, -0.25f, -0.5f};
const float WeFlareRenderer::RingSizes[5] = {0.5f, 0.25f, 1.0f, 0.25f, 0.5f};

namespace
{

// A light nearer than this casts no ray: the ray would be of no length or negative.
constexpr float RayMargin = 0.1f;

uint32_t AlphaByte(float alpha)
{
    float a = std::round(alpha * 255.0f);
    if (!(a > 0.0f))
        return 0;
    return a >= 255.0f ? 255u : uint32_t(a);
}

WeTexture* FetchOnce(WeTexture*& slot, const WeString& name)
{
    if (slot == nullptr && !name.IsEmpty())
        slot = g_TextureManager.GetTexture(name, false, 0, false);
    return slot;
}

}  // namespace

WeFlareRenderer::~WeFlareRenderer() = default;

bool WeFlareRenderer::Init()
{
    if (m_Initialized)
        return true;
    m_Initialized = true;
    OnResetDevice();
    ClearLights();
    return true;
}

void WeFlareRenderer::Release()
{
    ClearLights();
    m_Occluders.Reset();
    m_Initialized = false;
}

void WeFlareRenderer::RemoveLight(WeLight* light)
{
    for (WeList<FlareRecord>::Node* node = m_Flares.FirstNode(); node != nullptr;)
    {
        WeList<FlareRecord>::Node* next = m_Flares.NextNode(node);
        if (node->payload.light == light)
            m_Flares.Remove(node);
        node = next;
    }
}

void WeFlareRenderer::ClearLights()
{
    m_Flares.Reset();
}

WeFlareRenderer::FlareRecord* WeFlareRenderer::FindRecord(WeLight* light)
{
    for (WeList<FlareRecord>::Node* node = m_Flares.FirstNode(); node != nullptr; node = m_Flares.NextNode(node))
        if (node->payload.light == light)
            return &node->payload;
    return nullptr;
}

bool WeFlareRenderer::IsOccluded(const WeLight* light, const WeCamera* camera) const
{
    const D3DXVECTOR3 target = light->GetWorldPosition();
    const D3DXVECTOR3 eye = camera->m_Position;
    const D3DXVECTOR3 toLight = target - eye;
    const float distance = std::sqrt(toLight.x * toLight.x + toLight.y * toLight.y + toLight.z * toLight.z);
    if (distance >= RayMargin)
    {
        WeList<WeRaycastHit> hits;
        if (g_Physics.RaycastAll(eye, toLight / distance, NX_ALL_SHAPES, hits, 0xFFFFFFFFu, distance - RayMargin, 0))
            for (WeList<WeRaycastHit>::Node* n = hits.FirstNode(); n != nullptr; n = hits.NextNode(n))
                if (n->payload.actor != nullptr && !n->payload.actor->m_FurtherSwitch2)
                    return true;
    }
    for (WeList<WeBoundingSphere>::Node* n = m_Occluders.FirstNode(); n != nullptr; n = m_Occluders.NextNode(n))
        if (n->payload.IntersectsLine(eye, target))
            return true;
    return false;
}

void WeFlareRenderer::Collect(WeWorld* world, WeCamera* camera)
{
    if (!g_RenderDevice.m_FlareOption || world == nullptr || camera == nullptr)
        return;
    const float dt = g_Timer.m_FrameDeltaF;
    WeHashTable<WeActor*>& lights = world->GetLights();
    for (WeHashTable<WeActor*>::Entry* e = lights.First(); e != nullptr; e = lights.Next())
    {
        WeLight* light = dynamic_cast<WeLight*>(e->value);
        if (light == nullptr || !(light->m_Flare || light->m_FlareRings))
            continue;
        const D3DXVECTOR3 p = light->GetWorldPosition();
        const D3DXMATRIX& m = camera->m_ViewProjection;
        const float cx = p.x * m._11 + p.y * m._21 + p.z * m._31 + m._41;
        const float cy = p.x * m._12 + p.y * m._22 + p.z * m._32 + m._42;
        const float cz = p.x * m._13 + p.y * m._23 + p.z * m._33 + m._43;
        const float cw = p.x * m._14 + p.y * m._24 + p.z * m._34 + m._44;
        // A point on the camera's plane has no projection: off screen, and no record keeps infinities.
        float x = 0.0f, y = 0.0f, depth = 0.0f;
        bool onScreen = false;
        if (std::fabs(cw) > 1e-6f && camera->m_Far > 0.0f)
        {
            x = cx / std::fabs(cw);
            y = cy / std::fabs(cw);
            depth = cz / camera->m_Far;
            const bool inDepth = (depth > 0.0f && depth < 1.0f) || (light->m_FlareFlags[2] && depth >= 0.9999f);
            onScreen = std::isfinite(x) && std::isfinite(y) && std::isfinite(depth) && std::fabs(x) < 1.0f &&
                       std::fabs(y) < 1.0f && inDepth;
            if (!onScreen && !(std::isfinite(x) && std::isfinite(y) && std::isfinite(depth)))
                x = y = depth = 0.0f;
        }
        const bool occluded = onScreen && IsOccluded(light, camera);

        FlareRecord* record = FindRecord(light);
        FlareRecord fresh;
        fresh.light = light;
        FlareRecord& r = record != nullptr ? *record : fresh;
        const float fadeIn = light->m_FlareFadeTimes[0];
        const float fadeOut = light->m_FlareFadeTimes[1];
        // Fade times of 0 or less are instant: the fade counts as complete, nothing is divided by them.
        if (occluded)
        {
            if (!r.occluded)
                r.fadeOutTimer = fadeIn > 0.0f ? (1.0f - r.fadeInTimer / fadeIn) * fadeOut : 0.0f;
            r.fadeOutTimer += dt;
        }
        else
        {
            if (r.occluded)
                r.fadeInTimer = fadeOut > 0.0f ? (1.0f - r.fadeOutTimer / fadeOut) * fadeIn : 0.0f;
            r.fadeInTimer = r.fadeInTimer + dt < fadeIn ? r.fadeInTimer + dt : fadeIn;
        }
        const bool keep = (light->m_Flare && r.fadeOutTimer < fadeOut && depth > 0.0f) || (onScreen && !occluded);
        if (!keep)
        {
            if (record != nullptr)
                RemoveLight(light);
            continue;
        }
        r.onScreen = onScreen;
        r.occluded = occluded;
        r.x = x;
        r.y = y;
        r.depth = depth;
        if (record == nullptr)
            m_Flares.PushBack(r);
    }
}

void WeFlareRenderer::Draw(WeWorld* world, WeCamera* camera)
{
    (void)world;
    if (!g_RenderDevice.m_FlareOption || camera == nullptr)
        return;
    const float W = float(g_ScreenSize.width);
    const float H = float(g_ScreenSize.height);
    // The camera's roll: the point one unit above it, seen from the camera.
    const D3DXMATRIX& v = camera->m_View;
    const D3DXVECTOR3 above = camera->m_Position + D3DXVECTOR3(0.0f, 1.0f, 0.0f);
    const float ax = above.x * v._11 + above.y * v._21 + above.z * v._31 + v._41;
    const float ay = above.x * v._12 + above.y * v._22 + above.z * v._32 + v._42;
    const float roll = std::atan2(ax, ay);
    for (WeList<FlareRecord>::Node* node = m_Flares.FirstNode(); node != nullptr; node = m_Flares.NextNode(node))
    {
        const FlareRecord& r = node->payload;
        WeLight* light = r.light;
        if (light == nullptr)
            continue;
        const float fadeIn = light->m_FlareFadeTimes[0];
        const float fadeOut = light->m_FlareFadeTimes[1];
        const float sx = (r.x + 1.0f) * W / 2.0f;
        const float sy = (1.0f - r.y) * H / 2.0f;
        if (light->m_Flare && light->m_FlareSpriteValues[0] > 0.0f && (!r.occluded || r.fadeOutTimer < fadeOut))
        {
            WeTexture* texture = FetchOnce(light->m_FlareTexture, light->m_FlareTextureName);
            float w = light->m_FlareValues[0] * W;
            float h = light->m_FlareValues[1] * H;
            if (light->m_FlareFlags[0])
            {
                const D3DXVECTOR3 p = light->GetWorldPosition();
                const float z = p.x * v._13 + p.y * v._23 + p.z * v._33 + v._43;
                if (z > 0.001f)
                {
                    w = w * 100.0f / z;
                    h = h * 100.0f / z;
                }
            }
            float alpha = light->m_FlareSpriteValues[0];
            if (r.occluded)
                alpha *= fadeOut > 0.0f ? 1.0f - r.fadeOutTimer / fadeOut : 0.0f;
            else if (r.fadeInTimer < fadeIn)
                alpha *= r.fadeInTimer / fadeIn;
            const float angle = light->m_FlareFlags[1] ? 0.0f : roll;
            g_Canvas.DrawRotatedQuad(sx - w / 2.0f, sy - h / 2.0f, w, h, angle, (AlphaByte(alpha) << 24) | 0xFFFFFFu,
                                     texture, 2);
        }
        if (light->m_FlareRings && !r.occluded)
        {
            for (int32_t i = 0; i < WeLight::RingCount; ++i)
            {
                const float value = light->m_FlareSpriteValues[i + 1];
                if (value == 0.0f)
                    continue;
                WeTexture* texture = FetchOnce(light->m_RingTextures[i], light->m_RingTextureNames[i]);
                const float cx = (RingPositions[i] * r.x + 1.0f) * W / 2.0f;
                const float cy = (1.0f - RingPositions[i] * r.y) * H / 2.0f;
                const float w = light->m_FlareValues[2] * RingSizes[i] * W;
                const float h = light->m_FlareValues[3] * RingSizes[i] * H;
                g_Canvas.DrawQuad(int32_t(std::lround(cx - w / 2.0f)), int32_t(std::lround(cy - h / 2.0f)),
                                  int32_t(std::lround(w)), int32_t(std::lround(h)),
                                  (AlphaByte(value) << 24) | 0xFFFFFFu, texture, 2);
            }
        }
    }
}
