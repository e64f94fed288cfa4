#pragma once
#include "Engine/foundation/WeList.h"
#include "Engine/render/WeBaseRenderer.h"

class WeLight;

// Draws the lens flares of lights. Keeps one record per light whose flare is shown or fading, so a
// light that goes away must leave the list first (its destructor calls RemoveLight).
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

    WeFlareRenderer() = default;
    ~WeFlareRenderer() override;

    bool Init() override;
    void Release() override;

    // Drops the light's record, if it has one.
    void RemoveLight(WeLight* light);
    void ClearLights();

    WeList<FlareRecord> m_Flares;
    bool m_Initialized = false;
};

extern WeFlareRenderer g_FlareRenderer;
