#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "Engine/render/WeBaseRenderer.h"
#include "Engine/render/WeRenderHeap.h"

class WeCamera;
class WeLight;
class WeMaterial;
class WeShader;
class WeWorld;
struct WeRenderItem;

// Projected lights: each frame the visible projector lights are collected into an omni and a spot list,
// the opaque items they reach are offered to them, and after the opaque pass each projector draws its
// items again with its own material, blended over the scene. Items are grouped by material.
class WeProjectorRenderer : public WeBaseRenderer
{
public:
    struct Projector
    {
        WeLight* light = nullptr;
        WeRenderHeap* heap = nullptr;
    };

    WeProjectorRenderer() : WeBaseRenderer(OrderProjector) {}
    ~WeProjectorRenderer() override;

    bool Init() override;
    void Release() override;

    // Per frame, from the queue's Prepare: the lists emptied, then filled for the world and camera.
    void Clear();
    void Collect(WeWorld* world, WeCamera* camera);
    void OfferItem(WeRenderItem* item);
    // From the queue's Render, after the opaque pass.
    void Draw(WeWorld* world, WeCamera* camera);

    uint8_t m_Initialised = 0;
    WeShader* m_Spot = nullptr;
    WeShader* m_Omni = nullptr;
    std::vector<Projector> m_OmniList;
    std::vector<Projector> m_SpotList;

private:
    WeRenderHeap* TakeHeap();
    int32_t MaterialKey(WeMaterial* material);
    void DrawOmni();
    void DrawSpot();

    // Heaps reused from frame to frame; the material keys of the frame.
    std::vector<WeRenderHeap*> m_Heaps;
    size_t m_HeapsUsed = 0;
    std::vector<WeMaterial*> m_Materials;
};

extern WeProjectorRenderer g_ProjectorRenderer;
