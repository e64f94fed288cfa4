#pragma once
#include <cstdint>
#include <vector>

#include "Game/craft/CTuber.h"

class WeLight;
class WeMaterial;
class WeModel;
class WeNewParticleSystem;

// The weapon kinds' shared resources: loaded once with the game data, cloned or copied by every launch.
struct CWeaponAssets
{
    static constexpr int32_t ModelCount = 19, ParticleCount = 10, LightCount = 2;
    static const char* const ModelNames[ModelCount];
    static const char* const ParticleNames[ParticleCount];
    static const char* const LightNames[LightCount];

    bool loaded = false;
    WeModel* models[ModelCount] = {};
    WeNewParticleSystem* particles[ParticleCount] = {};
    WeLight* lights[LightCount] = {};
    WeMaterial* trailMaterial = nullptr;
    // Every name the loader asked for, and whether it was there.
    std::vector<CTuberAssetRequest> requests;

    // By full name; null when it is not one of the above or was not loaded.
    WeModel* Model(const char* name) const;
    WeNewParticleSystem* Particles(const char* name) const;
    WeLight* Light(const char* name) const;
};

// The force-field mine's two models: the post and the field panel.
struct CForceFieldMineModels
{
    WeModel* mine = nullptr;
    WeModel* field = nullptr;
};

extern CWeaponAssets g_WeaponAssets;
extern CForceFieldMineModels g_ForceFieldMineModels;

// Loads the models, the particle templates and the light assets once; a missing one is a debug line.
void LoadWeaponAssets();
void ReleaseWeaponAssets();
