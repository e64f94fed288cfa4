#include "Game/craft/CExplosionLocalized.h"

#include <cmath>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeModel.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeLightParams.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Engine/world/WePhysics.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CCraftLinks.h"
#include "Game/craft/CExplosionAssets.h"
#include "Game/craft/CTuber.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CPostProcessRequests.h"
#include "Platform/system/SysRandom.h"

const char* const CExplosionLocalized::VisualNames[VisualCount] = {
    "PlasmaBolt", "HomingMissile", "QuantumBolt", "MiniGun", "Translocator",
    "BlurMine",   "SlowingRocket", "FFMine",      "Tuber",
};
CExplosionVisualSet CExplosionLocalized::s_VisualTable[VisualCount];

namespace
{
struct VisualSet
{
    float life;
    const float* light;  // null: no light
};

constexpr float White[4] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr float Green[4] = {0.0f, 1.0f, 0.0f, 1.0f};
constexpr float Cyan[4] = {0.0f, 1.0f, 1.0f, 1.0f};

// By visual index: plasma bolt, homing missile, quantum bolt, minigun, translocator, blur mine, slowing
// rocket, force-field mine, craft.
constexpr VisualSet Visuals[CExplosionLocalized::VisualCount] = {
    {0.1f, nullptr}, {0.7f, White}, {1.0f, Green}, {1.0f, nullptr}, {1.0f, nullptr},
    {1.0f, White},   {0.7f, Cyan},  {1.0f, Cyan},  {1.0f, White},
};

constexpr const char* PlasmaModel = "Weapons.Explosions.StandardLaser1";
constexpr const char* DoubleBoltModel = "Weapons.Explosions.DoubleBolt";
constexpr const char* BlurMineModel = "Weapons.Explosions.BlurMine";
constexpr const char* SlowingModel = "Weapons.Explosions.SlowingRocket01";
constexpr const char* ShockwaveModel = "Weapons.Explosions.Shockwave01";
constexpr const char* SparksParticles = "Assets.Explosions.Sparks01";
constexpr const char* MiniGunParticles = "Assets.Weapons.MiniGunExplosion";

constexpr const char* FixedModels[] = {
    PlasmaModel,
    DoubleBoltModel,
    BlurMineModel,
    "Weapons.Explosion.ExplosionMiniRocket1",
    "Weapons.Explosion.ExplosionMiniRocket2",
    "Weapons.Explosion.ExplosionBigAssRocket1",
    "Weapons.Explosion.ExplosionBigAssRocket2",
    "Weapons.Explosion.ExplosionBigAssRocket3",
    SlowingModel,
    ShockwaveModel,
    "Weapons.Explosion.ExplosionMiniGun",
};

// A model scaled to nothing would have no inverse; this is too small to see.
constexpr float MinimumScale = 0.001f;

// The two flares: corona and five rings.
constexpr const char* FlareFolders[2] = {"Flare.Flare3Quantumlaser.", "Flare.ForceFieldMine."};

float Length(const D3DXVECTOR3& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

// rand()/32767 x (max - min) + min.
float Between(float low, float high)
{
    return static_cast<float>(SysRandom::Next()) / static_cast<float>(SysRandom::Max) * (high - low) + low;
}

float ConfigFloat(const WeString& key)
{
    const float value = GetConfigFloat(key, 0.0f);
    return std::isfinite(value) ? value : 0.0f;
}

// The unit vector from the owner to the centre; zero when there is no owner or it stands at the centre.
D3DXVECTOR3 AwayFromOwner(const CTuber* owner, const D3DXVECTOR3& centre)
{
    if (!owner)
        return D3DXVECTOR3();
    const D3DXVECTOR3 d = centre - owner->GetWorldPosition();
    const float length = Length(d);
    return length > 0.0f ? d * (1.0f / length) : D3DXVECTOR3();
}
}  // namespace

void CExplosionLocalized::LoadVisualTable()
{
    for (int32_t i = 0; i < VisualCount; ++i)
    {
        CExplosionVisualSet& set = s_VisualTable[i];
        set = CExplosionVisualSet();
        const WeString prefix = WeString("Explosions.") + VisualNames[i] + ".";
        int32_t count = GetConfigInt(prefix + "ModelsCount", 0);
        if (count < 0 || count > CExplosionVisualSet::Capacity)
        {
            DebugLogPrintf("EXPLOSIONS %s: ModelsCount %d kept within 0..%d", VisualNames[i], count,
                           CExplosionVisualSet::Capacity);
            count = count < 0 ? 0 : CExplosionVisualSet::Capacity;
        }
        set.count = count;
        for (int32_t n = 0; n < count; ++n)
        {
            CExplosionVisualEntry& e = set.entries[n];
            WeString digit;
            digit.AppendInt(n + 1);
            e.model = GetConfigString(prefix + "Model" + digit, WeString());
            e.locationMin = ConfigFloat(prefix + "LocationMin" + digit);
            e.locationMax = ConfigFloat(prefix + "LocationMax" + digit);
            e.sizeMin = ConfigFloat(prefix + "SizeMin" + digit);
            e.sizeMax = ConfigFloat(prefix + "SizeMax" + digit);
            e.relativeDistance = ConfigFloat(prefix + "RelativeDistance" + digit);
            e.lifeTime = ConfigFloat(prefix + "LifeTime" + digit);
        }
    }
}

void CExplosionLocalized::LoadAssets()
{
    CExplosionAssets::LoadParticles(SparksParticles);
    CExplosionAssets::LoadParticles(MiniGunParticles);
    for (const char* name : FixedModels)
        CExplosionAssets::LoadModel(name);
    for (const char* folder : FlareFolders)
    {
        CExplosionAssets::LoadTexture((WeString(folder) + "Corona").c_str());
        for (int32_t n = 1; n <= 5; ++n)
        {
            WeString ring = WeString(folder) + "Ring";
            ring.AppendInt(n);
            CExplosionAssets::LoadTexture(ring.c_str());
        }
    }
    for (CExplosionVisualSet& set : s_VisualTable)
        for (int32_t n = 0; n < set.count; ++n)
        {
            CExplosionVisualEntry& e = set.entries[n];
            const CExplosionModelAsset* asset = CExplosionAssets::LoadModel(e.model.c_str());
            e.loaded = asset ? asset->model : nullptr;
        }
}

CExplosionLocalized::CExplosionLocalized(const D3DXVECTOR3& position, CTuber* owner, float damage, CTuber* hitCraft,
                                         int32_t visualIndex, int32_t kind, int32_t)
    : WeRecycled(owner, damage, kind), m_HitCraft(hitCraft), m_VisualIndex(visualIndex)
{
    SetLocation(position);
    const bool known = visualIndex >= 0 && visualIndex < VisualCount;
    Join(ChooseWorld(hitCraft), known ? Visuals[visualIndex].life : 1.0f);

    if (m_World && known)
    {
        const char* sound = nullptr;
        switch (visualIndex)
        {
        case 0:
            if (kind == 1 || kind == 2)
            {
                const CExplosionModelAsset* asset =
                    CExplosionAssets::FindModel(kind == 1 ? PlasmaModel : DoubleBoltModel);
                const float life = asset && asset->particleDuration > 0.0f ? asset->particleDuration : 1.0f;
                SpawnFixedModel(kind == 1 ? PlasmaModel : DoubleBoltModel, 3.0f, 1.0f, life, 0);
            }
            break;
        case 1:
            SpawnVisuals(1);
            sound = kind == 5 ? "Sounds.Explosions.Swarmer" : "Sounds.Explosions.StandardRocket";
            if (kind == 3)
                PushHitCraft();
            break;
        case 2:
        case 7:
            SpawnFixedModel(PlasmaModel, 3.0f, 1.0f, 1.0f, 1);
            sound = "Sounds.Explosions.QuantumBolt";
            break;
        case 3:
        {
            // Lives by its own clock (shorter than the explosion's), so it is not kept.
            float life = GetConfigFloat("tuber.Minigun.ExplosionLifeTime", 0.2f);
            if (!std::isfinite(life))
                life = 0.2f;
            CExplosionAssets::SpawnParticles(m_World, CExplosionAssets::FindParticles(MiniGunParticles),
                                             GetWorldMatrix(), life < 0.0f ? 0.0f : life, nullptr);
            break;
        }
        case 4:
            sound = "Sounds.Explosions.Translocator";
            if (m_HitCraft)
            {
                m_HitCraft->m_Translocated = true;
                m_HitCraft->m_TranslocationTimer = 0.0f;
                if (m_Owner)
                {
                    m_Owner->m_Translocated = true;
                    m_Owner->m_TranslocationTimer = 0.0f;
                }
                if ((m_Owner && m_Owner->m_IsPlayer) || m_HitCraft->m_IsPlayer)
                    RequestPostProcessEffect(1, 4, 0.0f, nullptr);
            }
            break;
        case 5:
        case 6:
        {
            const char* name = visualIndex == 5 ? BlurMineModel : SlowingModel;
            const CExplosionModelAsset* asset = CExplosionAssets::FindModel(name);
            SpawnFixedModel(name, 0.0f, visualIndex == 5 ? 15.0f : 20.0f, asset ? asset->particleDuration : 0.0f, 0);
            if (visualIndex == 6)
            {
                sound = "Sounds.Explosions.SlowingRocket";
                if (m_HitCraft)
                    m_HitCraft->m_Slowed = true;
            }
            break;
        }
        case 8:
        {
            SpawnVisuals(8);
            sound = "Sounds.Explosions.TuberExplosion";
            m_Shockwave = CExplosionAssets::SpawnModel(m_World, CExplosionAssets::FindModel(ShockwaveModel),
                                                       GetWorldPosition(), MinimumScale, -1.0f, 0);
            m_ShockwaveScale = m_Shockwave ? ShockwaveScale : 0.0f;
            m_ParticleActor = CExplosionAssets::SpawnParticles(
                m_World, CExplosionAssets::FindParticles(SparksParticles), GetWorldMatrix(), -1.0f, this);
            // The explosion lasts as long as its second model, which it keeps and grows.
            WeActor* second = m_Models[1];
            for (WeActor*& slot : m_Models)
                slot = nullptr;
            m_Models[1] = second;
            SetLifeTime(second && second->HasLifeTime() ? second->m_LifeTime : 1.0f);
            ShakeForPlayer();
            break;
        }
        default: break;
        }
        if (visualIndex != 8)
            for (WeActor*& slot : m_Models)
                slot = nullptr;

        if (Visuals[visualIndex].light)
        {
            const bool flare = visualIndex == 2 || visualIndex == 7;
            m_Light = MakeLight(Visuals[visualIndex].light, StartRange, flare ? 0.5f : 1.0f, 0.5f);
            if (m_Light && flare)
                MakeFlare(visualIndex);
        }
        if (sound)
            PlaySound(sound, true);
    }

    if (m_HitCraft)
        AffectTuber(m_HitCraft);
}

CExplosionLocalized::~CExplosionLocalized()
{
    if (g_WorldDestroying)
        return;
    WeActor* children[] = {m_Light, m_Shockwave, m_ParticleActor};
    for (WeActor* child : children)
    {
        if (!child)
            continue;
        child->Detach();
        child->Expire();
    }
    RequestPostProcessEffect(1, 0, 0.0f, nullptr);
}

void CExplosionLocalized::SpawnVisuals(int32_t index)
{
    if (!m_World || index < 0 || index >= VisualCount)
        return;
    const CExplosionVisualSet& set = s_VisualTable[index];
    const D3DXVECTOR3 centre = GetWorldPosition();
    const D3DXVECTOR3 away = AwayFromOwner(m_Owner, centre);
    const int32_t count = set.count < ModelSlots ? set.count : ModelSlots;
    for (int32_t n = 0; n < count; ++n)
    {
        const CExplosionVisualEntry& e = set.entries[n];
        const CExplosionModelAsset* asset = CExplosionAssets::FindModel(e.model.c_str());
        if (!asset)
            continue;
        const float scale = e.sizeMax > 0.0f ? Between(e.sizeMin, e.sizeMax) : 1.0f;
        D3DXVECTOR3 at = centre;
        if (e.relativeDistance > 0.0f)
            at = centre + away * e.relativeDistance;
        else
        {
            const float r = Between(e.locationMin, e.locationMax);
            at = centre + D3DXVECTOR3(r, r, r);
        }
        const float life = e.lifeTime >= 0.0f ? e.lifeTime : asset->particleDuration;
        m_Models[n] = CExplosionAssets::SpawnModel(m_World, asset, at, scale, life, 0);
    }
}

void CExplosionLocalized::SpawnFixedModel(const char* name, float distanceBeyond, float scale, float lifeTime,
                                          int32_t preset)
{
    const D3DXVECTOR3 centre = GetWorldPosition();
    const D3DXVECTOR3 at = centre + AwayFromOwner(m_Owner, centre) * distanceBeyond;
    CExplosionAssets::SpawnModel(m_World, CExplosionAssets::FindModel(name), at, scale, lifeTime, preset);
}

void CExplosionLocalized::ShakeForPlayer()
{
    CTuber* player = g_Game.m_PlayerTuber;
    if (!player || player->m_World != m_World)
        return;
    const D3DXVECTOR3 from = player->GetWorldPosition();
    const D3DXVECTOR3 to = GetWorldPosition() - from;
    const float distance = Length(to);
    if (distance <= 0.0f)
        return;
    const D3DXVECTOR3 direction = to * (1.0f / distance);
    const D3DXMATRIX& m = player->GetWorldMatrix();
    const float facing = m._31 * direction.x + m._32 * direction.y + m._33 * direction.z;
    if (facing <= 0.0f || g_Physics.RaycastAny(from, direction, 1, 7, distance))
        return;
    ShakeChaseCamera(1, 0.4f);
}

void CExplosionLocalized::MakeFlare(int32_t visualIndex)
{
    const WeString folder(FlareFolders[visualIndex == 2 ? 0 : 1]);
    m_Light->m_Flare = true;
    m_Light->m_FlareRings = true;
    m_Light->m_FlareTextureName = folder + "Corona";
    for (int32_t n = 0; n < WeLight::RingCount; ++n)
    {
        m_Light->m_RingTextureNames[n] = folder + "Ring";
        m_Light->m_RingTextureNames[n].AppendInt(n + 1);
    }
    m_Light->m_FlareValues[0] = 0.2f;
    m_Light->m_FlareValues[1] = 0.1f;
    constexpr float Six[6] = {1.0f, 0.1f, 0.5f, 0.5f, 0.5f, 0.5f};
    WeLightParams& key = m_Light->m_KeyFrames.Front();
    for (int32_t i = 0; i < 6; ++i)
        key.values[i] = m_Light->m_FlareSpriteValues[i] = Six[i];
    m_Light->LoadResources();
}

void CExplosionLocalized::TickFlare(float age, float whole)
{
    float six = 0.0f, first = 0.0f, second = 0.0f;
    if (age < 0.1f)
    {
        const float rise = age / 0.1f;
        six = rise;
        first = 0.7f * rise;
        second = 0.6f * rise;
    }
    else
    {
        const float f = whole > 0.1f ? std::fmin(1.0f, (age - 0.1f) / (whole - 0.1f)) : 1.0f;
        six = 1.0f - f;
        first = 0.7f + 0.8f * f;
        second = 0.6f - 0.6f * f;
    }
    WeLightParams& key = m_Light->m_KeyFrames.Front();
    for (int32_t i = 0; i < 6; ++i)
        key.values[i] = m_Light->m_FlareSpriteValues[i] = six;
    m_Light->m_FlareValues[0] = first;
    m_Light->m_FlareValues[1] = second;
}

void CExplosionLocalized::Tick()
{
    const float dt = g_Timer.m_FrameDeltaF;
    const float age = m_World ? m_World->m_WorldTime - m_SpawnTime : 0.0f;
    const float whole = age + m_LifeTime;
    // A life of 0 has nothing left to fade.
    if (m_Light && whole > 0.0f && m_Light->m_Range >= 0.0f)
        m_Light->m_Range = std::fmax(0.0f, m_Light->m_Range - StartRange / whole * dt);
    if (m_Light && m_Light->m_Flare && !m_Light->m_KeyFrames.IsEmpty())
        TickFlare(age, whole);
    if (m_VisualIndex == 8 && m_Models[1] && whole > 0.0f)
    {
        const float grow = 150.0f / whole * dt;
        m_Models[1]->SetScaling(m_Models[1]->m_Scale + D3DXVECTOR3(grow, grow, grow));
    }
    if (m_Shockwave)
    {
        const float k = whole > 0.0f ? age / (whole * 0.5f) : 1.0f;
        const float scale = std::fmax(MinimumScale, k * m_ShockwaveScale);
        m_Shockwave->SetScaling(D3DXVECTOR3(scale, scale, scale));
        if (m_Shockwave->m_Model)
            m_Shockwave->m_Model->m_Values[3] = std::fmax(0.0f, 1.0f - k);
    }
    WeActor::Tick();
}

void CExplosionLocalized::PushHitCraft()
{
    if (!m_HitCraft)
        return;
    D3DXVECTOR3 d = m_HitCraft->GetWorldPosition() - GetWorldPosition();
    const float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    if (length <= 0.0f)
        return;
    d = d * (1000.0f * g_Timer.m_FrameDeltaF / length);
    if (m_HitCraft->IsVulnerable())
    {
        m_HitCraft->AddPendingImpulse(d);
        if (m_HitCraft->m_IsPlayer)
            ShakeChaseCamera(1, 0.2f);
    }
}
