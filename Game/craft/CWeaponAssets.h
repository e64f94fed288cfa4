#pragma once
#include <vector>

#include "Game/craft/CTuber.h"

class WeLight;
class WeModel;
class WeNewParticleSystem;

// The force-field mine's two models: the post and the field panel it stands in.
struct CForceFieldMineModels
{
    WeModel* m_Mine = nullptr;
    WeModel* m_Field = nullptr;
};

// The weapon kinds' shared resources, loaded once with the game data and kept until the race tools or the
// program release them. A kind clones a model or copies a template; it never changes these.
struct CWeaponAssets
{
    bool m_Loaded = false;
    WeModel* m_StandardLaser = nullptr;
    WeModel* m_DoubleBolt = nullptr;
    WeModel* m_QuantumPrefire = nullptr;
    WeModel* m_QuantumBolt = nullptr;
    WeModel* m_SlowingRocket = nullptr;
    WeModel* m_FrontFieldGenerator = nullptr;
    WeModel* m_MiniGunAmmo = nullptr;
    WeModel* m_NuclearWarhead = nullptr;
    WeModel* m_ContactMine = nullptr;
    WeModel* m_SingularityMine = nullptr;
    WeModel* m_HomingMine = nullptr;
    WeModel* m_ProximityMine = nullptr;
    CForceFieldMineModels m_ForceFieldMine;
    WeModel* m_MotionMine = nullptr;
    WeModel* m_StealthMine = nullptr;
    WeModel* m_NukeMine = nullptr;
    WeModel* m_ElectricMine = nullptr;
    WeModel* m_EMPMine = nullptr;
    WeNewParticleSystem* m_HomingMissileParticles[2] = {};
    WeLight* m_HomingMissileLight = nullptr;
    WeLight* m_SwarmerLight = nullptr;
    WeNewParticleSystem* m_QuantumPrefireParticles = nullptr;
    WeNewParticleSystem* m_QuantumBoltParticles[2] = {};
    WeNewParticleSystem* m_SlowingRocketParticles = nullptr;
    WeNewParticleSystem* m_TranslocatorAuraParticles = nullptr;
    WeNewParticleSystem* m_GravityMineParticles[3] = {};
    std::vector<CTuberAssetRequest> m_Requests;  // every name asked for, in order
};

extern CWeaponAssets g_WeaponAssets;
extern CForceFieldMineModels& g_ForceFieldMineModels;

// Loads the models, the particle templates and the two lights once; a second call keeps what is loaded. A name
// that is missing leaves its entry empty, with a debug line.
void LoadWeaponAssets();
// Deletes them all, so a later load starts again.
void ReleaseWeaponAssets();
