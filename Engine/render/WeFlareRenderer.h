#pragma once
#include <cstdint>

#include "Engine/foundation/WeList.h"
#include "Engine/render/WeBaseRenderer.h"
#include "Engine/world/WeBoundingSphere.h"

class WeCamera;
class WeLight;
class WeWorld;

// Draws the lens flares of lights. Keeps one record per light whose flare is shown or fading, so a
// light that goes away must leave the list first (its destructor calls RemoveLight). Occluder spheres
// (the craft's, appended each tick and emptied by the race every update) hide flares behind them as
// physics shapes do.
class WeFlareRenderer : public WeBaseRenderer
{
public:
    struct FlareRecord
    {
        WeLight* light = nullptr;
        bool onScreen = false;
        bool occluded = false;
        float fadeOutTimer = 0.0f;
        float fadeInTimer = 0.0f;
        float x = 0.0f;
        float y = 0.0f;
        float depth = 0.0f;
    };
    static const float RingPositions[5];
    static const float RingSizes[5];

    WeFlareRenderer() : WeBaseRenderer(OrderFlare) {}
    ~WeFlareRenderer() override;

    bool Init() override;
    void Release() override;

    // Drops the light's record, if it has one.
    void RemoveLight(WeLight* light);
    void ClearLights();
    void AddOccluder(const WeBoundingSphere& sphere) { m_Occluders.PushBack(sphere); }
    void ClearOccluders() { m_Occluders.Reset(); }

    // From the queue's Prepare and Render, with the flares option on.
    void Collect(WeWorld* world, WeCamera* camera);
    void Draw(WeWorld* world, WeCamera* camera);

    FlareRecord* FindRecord(WeLight* light);

    WeList<FlareRecord> m_Flares;
    WeList<WeBoundingSphere> m_Occluders;
    bool m_Initialized = false;

private:
    bool IsOccluded(const WeLight* light, const WeCamera* camera) const;
};

extern WeFlareRenderer g_FlareRenderer;
