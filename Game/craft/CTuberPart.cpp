#include "Game/craft/CTuberPart.h"

#include <cmath>

#include "Engine/foundation/WeLog.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Engine/world/WePhysics.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CTuber.h"
#include "Game/shell/CPlayGamePhase.h"
#include "Platform/system/SysRandom.h"

CTuberPart::Assets CTuberPart::s_Assets;

namespace
{
constexpr float GravityShare = 0.1f;
constexpr float BounceKeep = 0.8f;
// The endless emitter of the first piece's fire: mean and spread of its rate.
constexpr float FireRateMean = 5.0f, FireRateSpread = 2.0f;

WeNewParticleSystem* LoadTemplate(const char* name)
{
    WeNewParticleSystem* system = new WeNewParticleSystem();
    const bool found = system->LoadDefinition(WeVirtualFileSystem::Instance(), WeString(name));
    CTuberAssetRequest request;
    request.name = name;
    request.kind = "particles";
    request.found = found;
    CTuberPart::s_Assets.requests.push_back(request);
    if (!found)
    {
        DebugLogPrintf("MISSING PARTICLES %s", name);
        delete system;
        return nullptr;
    }
    return system;
}
}  // namespace

WeList<CTuberPart*>& CTuberPart::LivePieces()
{
    static WeList<CTuberPart*> pieces;
    return pieces;
}

CTuberPart::CTuberPart(int32_t effectKind) : m_EffectKind(effectKind)
{
    m_Type = ActorKind;
    m_WantsTick = true;
    SetLifeTime(LifeSeconds);
    LivePieces().PushBack(this);
}

CTuberPart::~CTuberPart()
{
    WeList<CTuberPart*>& pieces = LivePieces();
    for (auto* n = pieces.FirstNode(); n; n = pieces.NextNode(n))
        if (n->payload == this)
        {
            pieces.Remove(n);
            break;
        }
    // During the world's teardown its particle systems and the craft may be gone already.
    if (g_WorldDestroying)
        return;
    for (WeNewParticleSystem* system : {m_FirstSystem, m_SecondSystem})
        if (system && system->m_Parent == this)
        {
            system->Detach();
            system->m_Active = false;
            system->Expire();
        }
    m_FirstSystem = m_SecondSystem = nullptr;
    if (m_Owner && m_Owner->m_CameraPiece == this)
        m_Owner->m_CameraPiece = nullptr;
}

void CTuberPart::AttachSystem(WeNewParticleSystem*& slot, WeNewParticleSystem* templ)
{
    if (!templ || !m_World)
        return;
    slot = new WeNewParticleSystem();
    templ->CopyTo(slot);
    slot->SetParent(this);
    m_World->AddActor(slot);
}

void CTuberPart::Tick()
{
    const float dt = g_Timer.m_FrameDeltaF;
    m_Velocity += g_Physics.m_Gravity * (dt * GravityShare);
    SetLinearVelocity(m_Velocity);

    const bool first = m_LifeFactor == 0.0f;
    if (first && m_EffectKind != NoEffect && !m_FirstSystem)
    {
        AttachSystem(m_FirstSystem, m_EffectKind == Burning ? s_Assets.burningPart : s_Assets.explosionFire);
        if (m_EffectKind == FireAndSmoke)
        {
            if (m_FirstSystem && !m_FirstSystem->m_Emitters.IsEmpty())
            {
                // The burst stays as authored; the endless emitter after it flickers on.
                auto* last = m_FirstSystem->m_Emitters.FirstNode();
                while (m_FirstSystem->m_Emitters.NextNode(last))
                    last = m_FirstSystem->m_Emitters.NextNode(last);
                last->payload.rate[0] = FireRateMean;
                last->payload.rate[1] = FireRateSpread;
            }
            AttachSystem(m_SecondSystem, s_Assets.explosionSmoke);
        }
        if (!m_FirstSystem)
            DebugLogPrintf("wreck piece of effect %d without its particles", m_EffectKind);
    }

    m_Elapsed += dt;
    if (first)
        m_LifeFactor = 1.0f / (float(SysRandom::Next()) / 32767.0f * 9.0f + 1.0f);
    WeActor::Tick();
}

void CTuberPart::Bounce(WeActor*)
{
    if (!m_FirstSystem || m_Elapsed < m_LifeFactor)
        return;
    const D3DXVECTOR3 force = g_PlayGamePhase.m_LastContactNormalForce;
    const float length = std::sqrt(force.x * force.x + force.y * force.y + force.z * force.z);
    if (!(length > 0.0f) || !std::isfinite(length))
        return;
    const D3DXVECTOR3 n = force * (1.0f / length);
    const float along = m_Velocity.x * n.x + m_Velocity.y * n.y + m_Velocity.z * n.z;
    m_Velocity = (m_Velocity - n * (2.0f * along)) * BounceKeep;
}

void CTuberPart::LoadAssets()
{
    ReleaseAssets();
    s_Assets.burningPart = LoadTemplate("Assets.Tubers.BurningTuberPart");
    s_Assets.explosionFire = LoadTemplate("Assets.Tubers.TuberPartExplosionFire");
    s_Assets.explosionSmoke = LoadTemplate("Assets.Tubers.TuberPartExplosionSmoke");
}

void CTuberPart::ReleaseAssets()
{
    for (WeNewParticleSystem** system : {&s_Assets.burningPart, &s_Assets.explosionFire, &s_Assets.explosionSmoke})
    {
        delete *system;
        *system = nullptr;
    }
    s_Assets.requests.clear();
}

void CTuberPart::ForgetOwner(const CTuber* craft)
{
    WeList<CTuberPart*>& pieces = LivePieces();
    for (auto* n = pieces.FirstNode(); n; n = pieces.NextNode(n))
        if (n->payload->m_Owner == craft)
            n->payload->m_Owner = nullptr;
}

int32_t CTuberPart::LiveCount()
{
    return LivePieces().Count();
}
