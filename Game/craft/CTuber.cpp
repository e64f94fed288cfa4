#include "Game/craft/CTuber.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Engine/foundation/WeBusy.h"
#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/render/WeFlareRenderer.h"
#include "Engine/render/WeMaterialManager.h"
#include "Engine/render/WeModel.h"
#include "Engine/render/WeModelManager.h"
#include "Engine/runtime/WeSound.h"
#include "Engine/runtime/WeSound3D.h"
#include "Engine/world/WeAABB.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Engine/world/WePhysicHandle.h"
#include "Engine/world/WePhysics.h"
#include "Engine/world/WeTrail.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CCraftLinks.h"
#include "Game/craft/CTrigger.h"
#include "Game/craft/CTuberBoundKeys.h"
#include "Game/craft/CTuberCatalogue.h"
#include "Game/craft/CTuberPart.h"
#include "Game/craft/CTuberPartSpawn.h"
#include "Game/craft/CTuberSetting.h"
#include "Game/craft/CWeaponDescriptionManager.h"
#include "Game/shell/CActorKinds.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/COneShotSounds.h"
#include "Game/shell/CPickupAction.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/PathNodeFields.h"
#include "Platform/math/D3DXMatrixFunctions.h"
#include "Platform/math/D3DXVectorFunctions.h"

CTuber::Constants CTuber::s_Constants;
CTuber::Assets CTuber::s_Assets;
bool CTuber::s_LockingHeard = false;

const char* const TuberBoundKeyNames[13] = {
    "tuber.Weapons.MinLockDot",
    "tuber.Respawn.Time",
    "tuber.Respawn.AITime",
    "tuber.Turbo.UsagePerSecond",
    "tuber.HyperBrake.UsagePerSecond",
    "tuber.HyperBrake.ExtraAccel",
    "tuber.HyperBrake.MaxTime",
    "tuber.Healing.BaseHealingHP",
    "tuber.Render.InvisibilityFadeInSpeed",
    "tuber.Render.InvisibilityFadeOutSpeed",
    "tuber.Render.RaceFinishedFadeOutSpeed",
    "tuber.Render.AddonsFadeInSpeed",
    "tuber.Render.AddonsFadeOutSpeed",
};

CTuberBoundKeys& TuberBoundKeys()
{
    static CTuberBoundKeys keys;
    return keys;
}

namespace
{
// Bound before the game starts, so their entries (with defaults) exist from the first configuration read.
[[maybe_unused]] const CTuberBoundKeys& s_BoundKeys = TuberBoundKeys();

constexpr float TeleportGraceSeconds = 0.8f;

D3DXVECTOR3 Row(const D3DXMATRIX& m, int row)
{
    return D3DXVECTOR3(m.m[row][0], m.m[row][1], m.m[row][2]);
}

float Finite(float value, float fallback)
{
    return std::isfinite(value) ? value : fallback;
}

void Record(const char* name, const char* kind, bool found)
{
    CTuber::s_Assets.requests.push_back(CTuberAssetRequest{name, kind, found});
    if (!found)
        DebugLogPrintf("MISSING %s %s", kind, name);
}

WeNewParticleSystem* LoadParticleTemplate(const char* name)
{
    WeNewParticleSystem* system = new WeNewParticleSystem();
    const bool found = system->LoadDefinition(WeVirtualFileSystem::Instance(), name);
    Record(name, "particles", found);
    if (!found)
    {
        delete system;
        return nullptr;
    }
    return system;
}

WeModel* LoadSharedModel(const char* name)
{
    WeModel* model = g_ModelManager.Load(name, 0);
    Record(name, "model", model != nullptr);
    return model;
}

// A child model actor holding its own instance of the model; none when the model is missing.
WeActor* MakeModelChild(CTuber* craft, WeModel* model, bool visible)
{
    if (!model)
        return nullptr;
    WeActor* child = new WeActor();
    child->m_Model = g_ModelManager.Clone(model);
    child->m_ModelVisible = visible;
    child->SetParent(craft);
    craft->m_World->AddActor(child);
    return child;
}

WeNewParticleSystem* MakeParticleChild(CTuber* craft, WeNewParticleSystem* templ, const D3DXVECTOR3& offset,
                                       bool visible)
{
    if (!templ)
        return nullptr;
    WeNewParticleSystem* system = new WeNewParticleSystem();
    templ->CopyTo(system);
    system->m_ModelVisible = visible;
    system->SetParent(craft);
    system->SetLocation(offset);
    craft->m_World->AddActor(system);
    return system;
}

// Reads "x,y,z" in the C locale; a missing, unreadable or non-finite part is 0.
D3DXVECTOR3 ParseOffset(const char* text)
{
    float values[3] = {0.0f, 0.0f, 0.0f};
    const char* p = text;
    for (int i = 0; i < 3 && p; ++i)
    {
        char* end = nullptr;
        const float v = std::strtof(p, &end);
        if (end != p && std::isfinite(v))
            values[i] = v;
        p = std::strchr(p, ',');
        if (p)
            ++p;
    }
    return D3DXVECTOR3(values[0], values[1], values[2]);
}

template <class T>
void ExpireChild(T*& child)
{
    if (!child)
        return;
    child->Detach();
    child->Expire();
    child = nullptr;
}

template <class T>
void DeleteSound(T*& sound)
{
    if (!sound)
        return;
    sound->Stop();
    delete sound;
    sound = nullptr;
}
}  // namespace

CTuber::CTuber(CRaceParticipant* participant) : m_Participant(participant)
{
    m_Type = ActorKind;
    m_WantsPreTick = true;
    m_WantsTick = true;
    m_AllLights = true;
    m_RenderValue = 400.0f;
    D3DXMatrixIdentity(&m_FrontLaunchMatrix);
    D3DXMatrixIdentity(&m_RearLaunchMatrix);
    if (!s_Constants.loaded)
        LoadConstants();

    if (m_Participant)
    {
        m_Participant->m_Craft = this;
        m_Description = g_TuberCatalogue.Find(m_Participant->m_CraftKey);
        if (!m_Description && !g_TuberCatalogue.m_Names.IsEmpty())
        {
            // A key a later pack dropped: race with the first craft rather than with none.
            const WeString& first = g_TuberCatalogue.m_Names.Front();
            DebugLogPrintf("UNKNOWN CRAFT %s, RACING %s", m_Participant->m_CraftKey.c_str(), first.c_str());
            m_Participant->m_CraftKey = first;
            m_Description = g_TuberCatalogue.Find(first);
        }
        m_Participant->m_CraftEntry = m_Description;
    }

    m_EngineSound = new WeSound3D("Sounds.Tuber.Engine", m_IsPlayer);
    m_TurboSound = new WeSound3D("Sounds.Tuber.Turbo", m_IsPlayer);
    m_QuadDamageFireSound = new WeSound("Sounds.Pickup.QuadDamageFire", false);
    InitFromDescription();
}

CTuber::~CTuber()
{
    if (m_Participant && m_Participant->m_Craft == this)
        m_Participant->m_Craft = nullptr;
    if (g_Game.m_PlayerTuber == this)
        g_Game.m_PlayerTuber = nullptr;
    DeleteSound(m_EngineSound);
    DeleteSound(m_TurboSound);
    DeleteSound(m_QuadDamageFireSound);
    DeleteSound(m_ScrapeLoopSound);
    DeleteSound(m_LockingSound);
    DeleteSound(m_LockedSound);
    for (int32_t type = 0; type < 4; ++type)
        EndPowerUp(type, false, true);
    // Nothing may point at this craft once it is gone: its mines forget their owner (and expire unless the
    // world is going), the weapons homing on it their target.
    DetachWeapons(!g_WorldDestroying);
    // Its wreck pieces and its queued wreck forget it too.
    CTuberPart::ForgetOwner(this);
    ForgetTuberPartSpawns(this);
    if (!g_WorldDestroying)
    {
        if (m_TriggerVolume)
        {
            m_TriggerVolume->m_Owner = nullptr;
            m_TriggerVolume->Expire();
            m_TriggerVolume = nullptr;
        }
        ExpireChild(m_DamageSparks);
        ExpireChild(m_DamageSmoke[0]);
        ExpireChild(m_DamageSmoke[1]);
        ExpireChild(m_ScratchSparks);
        for (int i = 0; i < 2; ++i)
        {
            ExpireChild(m_MinigunFlashes[i]);
            ExpireChild(m_MinigunLights[i]);
            ExpireChild(m_Electricity[i]);
        }
        for (WeActor*& effect : m_AbilityEffects)
            ExpireChild(effect);
        ExpireChild(m_CraftLight);
        ExpireChild(m_ProjectorLight);
        ExpireChild(m_Trail);
        for (auto& kind : m_HitEffects)
            for (WeActor*& effect : kind)
                ExpireChild(effect);
        ExpireChild(m_AIGlow);
        ExpireChild(m_SpeedScreen);
        for (WeNewParticleSystem*& flame : m_Propulsions)
            ExpireChild(flame);
    }
    m_TouchedByTrigger.Clear();
    m_IncomingWeapons.Clear();
    m_Mines.Clear();
    for (auto* n = m_PowerUps.FirstNode(); n != nullptr; n = m_PowerUps.NextNode(n))
        delete n->payload;
    m_PowerUps.Clear();
}

bool HasCraftFinishedRace(const CTuber* craft)
{
    return craft && craft->m_Finished;
}

void CTuber::LoadConstants()
{
    Constants& c = s_Constants;
    auto mode = [](CTuberLightMode& m, const char* prefix, CTuberLightMode defaults)
    {
        const WeString p(prefix);
        m.range = Finite(GetConfigFloat(p + ".Range", defaults.range), defaults.range);
        m.distance = Finite(GetConfigFloat(p + ".Distance", defaults.distance), defaults.distance);
        m.height = Finite(GetConfigFloat(p + ".Height", defaults.height), defaults.height);
        m.intensity = Finite(GetConfigFloat(p + ".Intensity", defaults.intensity), defaults.intensity);
        m.specularIntensity =
            Finite(GetConfigFloat(p + ".SpecularIntensity", defaults.specularIntensity), defaults.specularIntensity);
    };
    mode(c.light, "tuber.Light", CTuberLightMode{});
    mode(c.finishLight, "tuber.FinishLight", CTuberLightMode{});
    mode(c.headlight, "tuber.Headlight", CTuberLightMode{60.0f, 40.0f, 0.0f, 1.0f, 1.0f});
    c.lightFadeInSpeed = Finite(GetConfigFloat("tuber.Light.FadeInSpeed", 1.0f), 1.0f);
    c.lightFadeOutSpeed = Finite(GetConfigFloat("tuber.Light.FadeOutSpeed", 1.0f), 1.0f);
    c.collisionSize = D3DXVECTOR3(Finite(GetConfigFloat("tuber.Collision.SizeX", 1.0f), 1.0f),
                                  Finite(GetConfigFloat("tuber.Collision.SizeY", 1.0f), 1.0f),
                                  Finite(GetConfigFloat("tuber.Collision.SizeZ", 4.0f), 4.0f));
    c.loaded = true;
}

void CTuber::LoadAssets()
{
    if (s_Assets.loaded)
        return;
    Assets& a = s_Assets;
    a.requests.clear();
    // Kept for the whole run: what is made inside a load scope survives the release between races.
    BeginBusy();
    a.trail = LoadParticleTemplate("Assets.Tubers.Trail");
    a.damageSmoke[0] = LoadParticleTemplate("Assets.Tubers.DamageSmoke1");
    a.damageSmoke[1] = LoadParticleTemplate("Assets.Tubers.DamageSmoke2");
    a.damageSparkies = LoadParticleTemplate("Assets.Tubers.DamageSparkies");
    a.scratchSparkies = LoadParticleTemplate("Assets.Tubers.ScratchSparkies");
    a.trailMaterial = g_MaterialManager.GetMaterial("Materials.Trails.Tuber", false, false);
    Record("Materials.Trails.Tuber", "material", a.trailMaterial != nullptr);
    a.electricity01 = LoadSharedModel("Weapons.Models.Electricity01");
    a.electricity = LoadSharedModel("Weapons.Models.Electricity");
    a.speedScreen = LoadSharedModel("Tubers.Models.SpeedScreen");
    a.aiGlow = LoadSharedModel("Tubers.Models.AIGlow");
    a.minigun[0] = LoadParticleTemplate("Assets.Weapons.MiniGun1");
    a.minigun[1] = LoadParticleTemplate("Assets.Weapons.MiniGun2");
    a.minigunLight[0] = LoadParticleTemplate("Assets.Weapons.MiniGunLight1");
    a.minigunLight[1] = LoadParticleTemplate("Assets.Weapons.MiniGunLight2");
    EndBusy();
    a.loaded = true;
}

void CTuber::ReleaseAssets()
{
    Assets& a = s_Assets;
    for (WeNewParticleSystem** system :
         {&a.trail, &a.damageSmoke[0], &a.damageSmoke[1], &a.damageSparkies, &a.scratchSparkies, &a.minigun[0],
          &a.minigun[1], &a.minigunLight[0], &a.minigunLight[1]})
    {
        delete *system;
        *system = nullptr;
    }
    for (WeModel** model : {&a.electricity01, &a.electricity, &a.speedScreen, &a.aiGlow})
    {
        delete *model;
        *model = nullptr;
    }
    a.trailMaterial = nullptr;
    a.loaded = false;
    s_LockingHeard = false;
    s_Constants = Constants();
}

void CTuber::InitFromDescription()
{
    ApplyHandling();
    m_BuiltInPrimaryKind = m_Description ? g_WeaponDescriptions.GetIdByName(m_Description->m_Primary) : 0;
    m_BuiltInSecondaryKind = m_Description ? g_WeaponDescriptions.GetIdByName(m_Description->m_Secondary) : 0;
    m_BuiltInPrimaryAmmo = m_BuiltInSecondaryAmmo = 0;
    m_PickupPrimaryKind = m_PickupPrimaryAmmo = m_PickupSecondaryKind = m_PickupSecondaryAmmo = 0;
    if (!m_Model && m_Description)
    {
        WeModel* craftModel = m_Description->m_Models[0];
        if (craftModel)
            m_Model = g_ModelManager.Clone(craftModel);
        else
            DebugLogPrintf("MISSING MODEL Tubers.Models.%s", m_Description->m_ModelID.c_str());
    }
    m_PrimaryShotTimer = m_SecondaryShotTimer = 1000.0f;
    float modifier = 1.0f;
    if (m_Participant && m_Participant->m_Kind >= 1 && m_Participant->m_Kind <= 3 && m_Participant->m_Agent)
        modifier = AgentMaxHPModifier(m_Participant->m_Agent);
    m_MaxHealth = (m_Description ? static_cast<float>(m_Description->m_HP) : 0.0f) * modifier;
    m_Health = m_MaxHealth;
    m_MeasuredSpeed = 0.0f;
    m_Turbo = false;
    m_Destroyed = false;
    for (int32_t type = 0; type < 4; ++type)
        if (!m_ForcedPowerUps[type])
            EndPowerUp(type, false, false);
    m_TargetVelocity = m_TargetAngularVelocity = D3DXVECTOR3();
    m_LockTarget = nullptr;
    m_LockLevel = m_LockDuration = m_LockTimer = 0.0f;
    m_LockWeaponKind = 0;
    m_LapCrossings = m_LapsCompleted = 0;
    m_Visibility = 1.0f;
    m_DamageMultiplier = 1.0f;
    m_LastKillTime = -1.0f;
    m_HyperBrakeReleased = true;
    m_FlyingCoefficient = 1.0f;
}

void CTuber::Init()
{
    if (m_Initialised)
        return;
    const Constants& c = s_Constants;
    m_PhysicModel.physicsClass = WePhysicsDynamicBox;
    m_PhysicModel.collisionGroup = 5;
    m_PhysicModel.mass = 10000.0f;
    m_PhysicModel.explicitSize = true;
    m_PhysicModel.size = c.collisionSize;
    m_PhysicModel.material = g_Physics.GetMaterialIndex(1);
    m_PhysicModel.gravity = false;
    m_PhysicModel.startAsleep = false;
    if (m_Model)
    {
        // The team colour at a glance: trim lines show it pure, the dark hull a shade of it.
        const float* colour = TeamColour();
        m_Model->m_Values[0] = colour[0];
        m_Model->m_Values[1] = colour[1];
        m_Model->m_Values[2] = colour[2];
    }
    WeActor::Init();
    if (m_PhysicHandle)
    {
        WeAABB box;
        box.Set(c.collisionSize * -0.5f, c.collisionSize * 0.5f);
        m_PhysicHandle->EnableCCD(box, 0.0f);
        m_PhysicHandle->SetCCDMotionThreshold(20.0f);
    }

    m_TurboEnergy = m_MaxTurboEnergy = m_Description ? m_Description->m_Turbo : 0.0f;
    if (m_Description)
    {
        m_BuiltInPrimaryKind = g_WeaponDescriptions.GetIdByName(m_Description->m_Primary);
        m_BuiltInSecondaryKind = g_WeaponDescriptions.GetIdByName(m_Description->m_Secondary);
    }
    SetPrimaryAmmo(g_WeaponDescriptions.Get(m_BuiltInPrimaryKind).m_PickupAmmo);
    SetSecondaryAmmo(g_WeaponDescriptions.Get(m_BuiltInSecondaryKind).m_PickupAmmo);
    m_PickupPrimaryKind = m_PickupPrimaryAmmo = m_PickupSecondaryKind = m_PickupSecondaryAmmo = 0;
    m_UnlimitedTurbo = g_RaceSettings.m_UnlimitedTurbo != 0;

    const float* colour = TeamColour();
    for (int i = 0; i < 4; ++i)
        m_TrailColor[i] = i < 3 ? colour[i] : 1.0f;
    if (m_World)
        CreateChildren();
    m_Initialised = true;
    m_LastPosition = GetWorldPosition();
    m_SwarmerBurstCount = 0;
    m_SwarmerBurstTimer = 0.0f;
}

const float* CTuber::TeamColour() const
{
    static const float White[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    if (!m_Participant)
        return White;
    const int32_t team = m_Participant->m_StartPlace;
    if (team < 1 || team > 6)
        return White;
    return g_RaceSettings.m_TeamColors[team - 1];
}

void CTuber::CreateChildren()
{
    const Assets& a = s_Assets;
    m_AIGlow = MakeModelChild(this, a.aiGlow, true);
    if (m_AIGlow)
        for (int i = 0; i < 3; ++i)
            m_AIGlow->m_Model->m_Values[i] = m_TrailColor[i];

    if (a.trailMaterial)
    {
        m_Trail = new WeTrail();
        m_Trail->Setup(a.trailMaterial, m_TrailColor[0], m_TrailColor[1], m_TrailColor[2], 1.0f, 0.05f, 4, 0.1f, 1.0f,
                       0.1f);
        m_Trail->SetParent(this);
        m_World->AddActor(m_Trail);
    }
    m_SpeedScreen = MakeModelChild(this, a.speedScreen, false);
    m_Electricity[0] = MakeModelChild(this, a.electricity01, false);
    m_Electricity[1] = MakeModelChild(this, a.electricity, false);
    if (m_Description)
        for (int i = 0; i < AbilityEffectCount; ++i)
        {
            WeModel* model = m_Description->m_Models[i + 1];
            if (!model)
                DebugLogPrintf("MISSING MODEL Tubers.Models.%s%s", m_Description->m_ModelID.c_str(),
                               AbilityModelSuffix(i));
            m_AbilityEffects[i] = MakeModelChild(this, model, false);
        }

    for (int n = 1; n <= 2; ++n)
    {
        char key[64];
        const auto coordinate = [&](char axis)
        {
            std::snprintf(key, sizeof(key), "tuber.Minigun.%c%d", axis, n);
            return Finite(GetConfigFloat(key, 0.0f), 0.0f);
        };
        const D3DXVECTOR3 muzzle(coordinate('X'), coordinate('Y'), coordinate('Z'));
        m_MinigunFlashes[n - 1] = MakeParticleChild(this, a.minigun[n - 1], muzzle, false);
        m_MinigunLights[n - 1] = MakeParticleChild(this, a.minigunLight[n - 1], muzzle, false);
    }

    static bool& projectorEnabled = GetConfigBool("tuber.Projector.Enabled", true);
    if (projectorEnabled)
    {
        static const CTuberSetting range("tuber.Projector.Range", 100.0f);
        static const CTuberSetting cone("tuber.Projector.ConeAngle", 90.0f);
        static const CTuberSetting px("tuber.Projector.PositionX", 0.0f);
        static const CTuberSetting py("tuber.Projector.PositionY", 0.0f);
        static const CTuberSetting pz("tuber.Projector.PositionZ", 0.0f);
        static const CTuberSetting angle("tuber.Projector.Angle", 0.0f);
        m_ProjectorLight = new WeLight();
        m_ProjectorLight->m_Projector = true;
        // Only a projector: a light of neither kind is never chosen to light what it touches, or every craft
        // would add a full white light to the road around it. Off until the headlight shows it.
        m_ProjectorLight->m_Kind = 0;
        m_ProjectorLight->m_SwitchedOn = false;
        m_ProjectorLight->m_ProjectorFov = cone.Get() * 3.14159265f / 180.0f;
        m_ProjectorLight->m_Range = range.Get();
        m_ProjectorLight->m_ProjectorMaterial = m_Description ? m_Description->m_ProjectorMaterial : nullptr;
        if (m_Description)
            m_ProjectorLight->m_ProjectorMaterialName = WeString("Tubers.Projectors.") + m_Description->m_ModelID;
        D3DXMATRIX pitch;
        D3DXMatrixRotationX(&pitch, angle.Get() * 3.14159265f / 180.0f);
        pitch._41 = px.Get();
        pitch._42 = py.Get();
        pitch._43 = pz.Get();
        m_ProjectorLight->SetTransform(pitch);
        m_ProjectorLight->m_ModelVisible = false;
        m_ProjectorLight->SetParent(this);
        m_World->AddActor(m_ProjectorLight);
    }

    m_CraftLight = new WeLight();
    m_CraftLight->m_Kind = 1;
    m_CraftLight->m_Dynamic = true;
    WeLightParams params;
    params.intensity = s_Constants.light.intensity;
    params.secondIntensity = s_Constants.light.specularIntensity;
    m_CraftLight->AddKeyFrame(params);
    m_CraftLight->m_Range = 0.0f;
    m_CraftLight->m_SwitchedOn = false;
    m_CraftLight->SetLocation(D3DXVECTOR3(0.0f, s_Constants.light.height, s_Constants.light.distance));
    m_CraftLight->SetParent(this);
    m_World->AddActor(m_CraftLight);

    m_DamageSparks = MakeParticleChild(this, a.damageSparkies, D3DXVECTOR3(), false);
    m_ScratchSparks = MakeParticleChild(this, a.scratchSparkies, D3DXVECTOR3(), false);
    if (m_ScratchSparks)
        m_ScratchSparks->m_Active = false;
    CreatePropulsion();

    for (int kind = 0; kind < HitEffectKinds; ++kind)
    {
        WeModel* model = kind == 0 ? a.electricity01 : a.electricity;
        for (int i = 0; i < HitEffectsPerKind; ++i)
            m_HitEffects[kind][i] = MakeModelChild(this, model, false);
    }

    // The sensor is not parented: its body is a dynamic sphere the craft moves itself every tick.
    m_TriggerVolume = new CTrigger(this);
    m_TriggerVolume->m_HasModel = false;
    m_TriggerVolume->m_PhysicModel.physicsClass = WePhysicsDynamicSphere;
    m_TriggerVolume->m_PhysicModel.size = D3DXVECTOR3(20.0f, 0.0f, 0.0f);
    m_TriggerVolume->m_PhysicModel.explicitSize = true;
    m_TriggerVolume->m_PhysicModel.collisionGroup = 10;
    m_TriggerVolume->m_PhysicModel.mass = 10.0f;
    m_TriggerVolume->m_PhysicModel.shapeFlags = 2;
    m_TriggerVolume->m_PhysicModel.gravity = false;
    m_TriggerVolume->SetLocation(GetWorldPosition());
    m_World->AddActor(m_TriggerVolume);
}

const char* CTuber::AbilityModelSuffix(int32_t index)
{
    static const char* const Suffixes[AbilityEffectCount] = {"QuadDamage", "Lights", "Turbo", "Invulnerability"};
    return index >= 0 && index < AbilityEffectCount ? Suffixes[index] : "";
}

void CTuber::CreatePropulsion()
{
    m_PropulsionCount = 0;
    WeNewParticleSystem* templ = s_Assets.trail;
    if (!templ)
        return;
    if (WeParticleEmitter* emitter = FirstEmitter(templ))
    {
        m_FlameBase[0] = emitter->speed[0];
        m_FlameBase[1] = emitter->startSize[0];
        m_FlameBase[2] = emitter->endSize[0];
    }
    if (!m_Description)
        return;
    const WeString prefix = WeString("tubers.") + m_Description->m_Name;
    int32_t count = GetConfigInt(prefix + ".TotalPropulsions", 0);
    if (count < 0 || count > MaxPropulsions)
    {
        DebugLogPrintf("%s.TotalPropulsions %d OUT OF 0..%d", prefix.c_str(), count, MaxPropulsions);
        count = count < 0 ? 0 : MaxPropulsions;
    }
    for (int32_t n = 1; n <= count; ++n)
    {
        char suffix[32];
        std::snprintf(suffix, sizeof(suffix), ".Propulsion%d", n);
        const WeString& text = GetConfigString(prefix + suffix, "0,0,0");
        m_Propulsions[m_PropulsionCount++] = MakeParticleChild(this, templ, ParseOffset(text.c_str()), true);
    }
}

WeParticleEmitter* CTuber::FirstEmitter(WeNewParticleSystem* system)
{
    if (!system)
        return nullptr;
    WeList<WeParticleEmitter>::Node* node = system->m_Emitters.FirstNode();
    return node ? &node->payload : nullptr;
}

WeList<WeActor*>::Node* CTuber::AddTriggerContact(WeActor* actor)
{
    m_TouchedByTrigger.PushBack(actor);
    return m_TouchedByTrigger.LastNode();
}

void CTuber::OnTeleport()
{
    const D3DXVECTOR3 forward = Row(GetWorldMatrix(), 2);
    SetVelocity(forward * m_MeasuredSpeed);
    if (m_IsPlayer)
    {
        g_Game.m_ResetDirection = 1;
        g_Game.m_Snap = 1;
        PlayOneShotSound("Sounds.Tuber.Teleport");
    }
    if (m_Trail)
    {
        m_Trail->m_ModelVisible = false;
        m_Trail->Clear();
    }
    m_TeleportEffectTimer = 0.0f;
    m_TeleportGrace = true;
    m_TeleportGraceTimer = TeleportGraceSeconds;
    if (m_IsPlayer)
        RequestScreenEffect(3, 0.0f);
}

void CTuber::Tick()
{
    const float dt = g_Timer.m_FrameDeltaF;

    // 1. Launch matrices.
    static const CTuberSetting frontFire("tuber.Weapons.FrontFireDistance", 4.0f);
    static const CTuberSetting backFire("tuber.Weapons.BackFireDistance", 4.0f);
    // Local translations along +z: the weapons multiply them by the world matrix, which turns them forward.
    D3DXMatrixTranslation(&m_FrontLaunchMatrix, 0.0f, 0.0f, frontFire.Get());
    D3DXMatrixTranslation(&m_RearLaunchMatrix, 0.0f, 0.0f, -backFire.Get());

    // 2-3. Weapon timers, the nearest incoming weapon, the track.
    UpdateWeaponTimers();
    FindNearestIncomingWeapon();
    UpdateTrackPosition();

    // 4. Visibility.
    UpdateVisibility(dt);

    // 5. Effects, then the running timers.
    UpdateLights();
    UpdateSparks();
    UpdateMotionBlur();
    UpdateScratch();
    UpdatePropulsionFlames();
    UpdateSoundMute();
    m_PrimaryShotTimer += dt;
    m_SecondaryShotTimer += dt;
    m_WrapTimer += dt;
    m_WrapTimer -= std::floor(m_WrapTimer);
    m_CollisionSoundTimer += dt;
    m_HitTimer += dt;
    if (m_TeleportGrace)
    {
        m_TeleportGraceTimer -= dt;
        if (m_TeleportGraceTimer <= 0.0f)
        {
            m_TeleportGraceTimer = 0.0f;
            m_TeleportGrace = false;
        }
    }

    // 6-7. Idle hover, speed boost, power-ups, respawn.
    UpdateIdleHover();
    UpdateSpeedy();
    UpdatePowerUps();
    UpdateRespawn();

    // 8. The slow-speed shake of the player's camera.
    if (m_IsPlayer && m_MeasuredSpeed > 1.0f && m_MeasuredSpeed > m_PreviousSpeed &&
        m_MeasuredSpeed < 0.2f * m_MaxSpeed)
        ShakeChaseCamera(2, 1.0f);

    // 9-10. Health, lap time.
    UpdateHealth();
    if (CurrentRaceState() == 4 && !m_Finished)
    {
        m_LapTime += dt;
        if (m_Participant)
            m_Participant->m_RaceTime = CurrentRaceClock();
        if (m_LapCrossings > m_LapsCompleted)
            OnLapCompleted();
    }

    // 11. Node effect and locking.
    UpdateNodeValueEffect();
    UpdateLocking();

    // 12. Render scale and the AI glow.
    UpdateRenderScale();

    // 13. Pushes; the speed of this frame becomes the previous one.
    PushNearbyBodies();
    m_PreviousSpeed = m_MeasuredSpeed;

    // 14. The velocities reach the body.
    SetVelocity(m_TargetVelocity);
    SetAngularVelocity(m_TargetAngularVelocity);
    WeActor::Tick();
    if (m_TriggerVolume && m_TriggerVolume->m_PhysicHandle)
        m_TriggerVolume->m_PhysicHandle->SetPose(GetWorldMatrix());
    if (m_TriggerVolume)
        m_TriggerVolume->SetLocation(GetWorldPosition());

    // 15. Lens-flare occlusion.
    if (m_Visibility > 0.5f && !m_Destroyed && !(m_IsPlayer && IsFirstPersonCamera()))
    {
        static const CTuberSetting occlusionRadius("tuber.Collision.OcclusionRadius", 1.0f);
        g_FlareRenderer.AddOccluder(WeBoundingSphere{m_BoundingSphere.center, occlusionRadius.Get()});
    }
}

void CTuber::UpdateVisibility(float dt)
{
    const CTuberBoundKeys& keys = TuberBoundKeys();
    const float before = m_Visibility;
    const bool human = m_Participant && m_Participant->m_Kind == 4;
    auto toward = [&](float target, float rate)
    {
        const float step = dt * rate;
        if (m_Visibility < target)
            m_Visibility = std::fmin(m_Visibility + step, target);
        else if (m_Visibility > target)
            m_Visibility = std::fmax(m_Visibility - step, target);
    };
    if (m_Finished && !human)
    {
        toward(0.0f, keys.raceFinishedFadeOutSpeed.Get());
        if (m_Visibility == 0.0f)
        {
            m_ModelVisible = false;
            if (m_AIGlow)
                m_AIGlow->m_ModelVisible = false;
            if (m_CraftLight)
                m_CraftLight->m_ModelVisible = false;
        }
    }
    else if (m_Invisible)
        toward(-1.0f, keys.invisibilityFadeOutSpeed.Get());
    else
        toward(1.0f, keys.invisibilityFadeInSpeed.Get());
    if (m_Visibility != before)
    {
        m_ModelPreset = m_Visibility == 1.0f ? 0 : (m_Visibility > 0.0f ? 1 : 2);
        if (m_Model)
            m_Model->SetPreset(m_ModelPreset);
    }
    if (m_Model)
        m_Model->m_Values[3] = std::fabs(m_Visibility);
}

void CTuber::UpdateRenderScale()
{
    if (m_IsPlayer)
    {
        m_RenderScale = 1.0f;
        if (m_AIGlow)
            m_AIGlow->m_ModelVisible = false;
        return;
    }
    CTuber* player = g_Game.m_PlayerTuber;
    if (!player || player == this)
        return;
    static const CTuberSetting glowAlpha("tuber.Render.AIGlowAlpha", 1.0f);
    static const CTuberSetting dynamicScale("tuber.Render.DynamicScale", 200.0f);
    static const CTuberSetting maxScale("tuber.Render.MaxTuberScale", 5.0f);
    static const CTuberSetting glowScale("tuber.Render.AIGlowScale", 3.0f);
    const D3DXVECTOR3 d = GetWorldPosition() - player->GetWorldPosition();
    const float distance = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    // One size more per DynamicScale metres, so far rivals stay visible without near ones swelling.
    const float per = dynamicScale.Get();
    float scale = 1.0f + (per > 0.0f ? distance / per : 0.0f);
    scale = std::fmin(scale, std::fmax(maxScale.Get(), 1.0f));
    m_RenderScale = scale;
    SetScaling(D3DXVECTOR3(scale, scale, scale));
    if (m_AIGlow)
    {
        m_AIGlow->m_ModelVisible = m_ModelVisible && m_Visibility > 0.0f;
        if (m_AIGlow->m_Model)
            m_AIGlow->m_Model->m_Values[3] = (m_Model ? m_Model->m_Values[3] : 1.0f) * glowAlpha.Get();
        const float g = glowScale.Get() * scale;
        m_AIGlow->SetScaling(D3DXVECTOR3(g, g, g));
    }
}
