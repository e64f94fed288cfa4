#pragma once
#include <cstdint>
#include <vector>

#include "Game/craft/CTuber.h"

class CTuber;
class WeModel;

// The maker of wreck pieces: it holds the piece models and turns a craft's death into up to ten pieces.
class CTuberPartFabric
{
public:
    static constexpr int32_t ModelCount = 10;

    CTuberPartFabric();
    virtual ~CTuberPartFabric();
    CTuberPartFabric(const CTuberPartFabric&) = delete;
    CTuberPartFabric& operator=(const CTuberPartFabric&) = delete;

    // Loads both tables (a missing model leaves a null entry), releasing what an earlier load kept.
    static void LoadModels();
    static void ReleaseModels();
    // A death's wreck: posted now, made by the race's wreck drain outside the physics reports.
    void SpawnTuberParts(CTuber* craft);

    static WeModel* s_PartModels[ModelCount];
    static WeModel* s_FragmentModels[ModelCount];
    static std::vector<CTuberAssetRequest> s_Requests;  // every name LoadModels asked for
};

extern CTuberPartFabric g_TuberPartFabric;
