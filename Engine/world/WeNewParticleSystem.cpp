#include "Engine/world/WeNewParticleSystem.h"

#include <cmath>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeRandomTable.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/render/WeMaterialManager.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/world/WeRenderItemSink.h"
#include "Engine/world/WeWorld.h"
#include "Platform/math/D3DXVectorFunctions.h"

namespace
{

constexpr const char* DefaultMaterialName = "MapEditor.Materials.DefaultParticleSystem";
constexpr float DeathOpacity = 0.0001f;
// Loop steps of one emission pass; only damaged timings (durations near zero) come close.
constexpr int32_t MaxEmissionSteps = 100000;

float Random01()
{
    return static_cast<float>(NextRandom()) * (1.0f / 32767.0f);
}

float Draw(const float pair[2])
{
    return pair[0] + (Random01() - 0.5f) * pair[1];
}

// Advances a particle by dt; false when it died.
bool Advance(WeParticle& p, float dt)
{
    p.age += dt;
    float opacity;
    if (p.age < p.fadeIn)
        opacity = p.riseSlope * p.age;
    else if (p.age < p.endOfSustain)
        opacity = p.sustainSlope * p.age + p.sustainIntercept;
    else if (p.age < p.life)
        opacity = p.fallSlope * p.age + p.fallIntercept;
    else
        return false;
    if (!(opacity > DeathOpacity))
        return false;
    p.color[3] = opacity;
    for (int i = 0; i < 3; ++i)
        p.color[i] += p.colorRate[i] * dt;
    p.velocity += p.acceleration * dt;
    p.position += p.velocity * dt;
    p.rotation += p.rotationSpeed * dt;
    p.size += p.sizeRate * dt;
    return true;
}

}  // namespace

WeList<WeParticle>& WeNewParticleSystem::SharedParticles()
{
    // Never freed: particles may be released by systems that outlive static destruction order.
    static WeList<WeParticle>* list = new WeList<WeParticle>();
    return *list;
}

WeNewParticleSystem::WeNewParticleSystem()
{
    m_Type = WeActorTypeParticleSystem;
    m_AlternativeModelName = "MapEditor.Geometry.ParticleSys";
    m_MaterialName = DefaultMaterialName;
    m_RenderSwitch1 = false;
    m_RenderSwitch2 = false;
    m_RenderSwitch3 = false;
}

WeNewParticleSystem::~WeNewParticleSystem()
{
    // Live particles go back to the shared list: left there they would leak and point at a freed owner.
    ReleaseParticles();
}

void WeNewParticleSystem::ReleaseParticles()
{
    WeList<WeParticle>& shared = SharedParticles();
    for (WeParticle* particle : m_Particles)
        shared.Remove(static_cast<WeList<WeParticle>::Node*>(particle->sharedNode));
    m_Particles.Reset();
}

void WeNewParticleSystem::Expire()
{
    m_Stopping = true;
}

WeString WeNewParticleSystem::GetName()
{
    WeString name = WeActor::GetName();
    name += " [";
    name.AppendInt(m_Particles.Count());
    name += "]";
    if (!m_Active)
        name += " INACTIVE";
    return name;
}

void WeNewParticleSystem::RestartEmission()
{
    m_EmissionClock = 0.0f;
    m_EmitterTime = 0.0f;
    m_CurrentEmitter = m_Emitters.FirstNode();
}

void WeNewParticleSystem::NextEmitter()
{
    m_CurrentEmitter = m_CurrentEmitter ? m_Emitters.NextNode(m_CurrentEmitter) : nullptr;
    if (!m_CurrentEmitter)
        m_CurrentEmitter = m_Emitters.FirstNode();
}

float WeNewParticleSystem::DrawRate()
{
    return Draw(m_CurrentEmitter->payload.rate);
}

void WeNewParticleSystem::Tick()
{
    if (m_Active && !m_WasActive)
        RestartEmission();
    m_WasActive = m_Active;
    WeActor::Tick();
    // Only drawn systems are simulated; a stopping one that was not drawn last tick must still run down
    // its particles and go, or explosions spawned off screen would stay for ever.
    if (m_Stopping && m_World && m_UpdateStamp < m_World->m_TickCounter - 1)
        Update();
}

void WeNewParticleSystem::Prepare()
{
    m_Material = g_MaterialManager.GetMaterial(m_MaterialName, false, true);
    if (m_Emitters.IsEmpty())
        m_Emitters.PushBack(WeParticleEmitter());
    m_RadiusOverride = m_BoundingRadius;
    RestartEmission();
}

void WeNewParticleSystem::Init()
{
    m_HasModel = m_EditorMode;
    m_Static = !m_EditorMode;
    m_PhysicModel.physicsClass = 0;
    m_FurtherSwitch1 = true;
    m_FurtherSwitch2 = true;
    WeActor::Init();
    Prepare();
}

void WeNewParticleSystem::Spawn(const WeParticleEmitter& e, float age)
{
    WeList<WeParticle>& shared = SharedParticles();
    WeParticle& p = shared.PushBack();
    p.sharedNode = shared.LastNode();
    m_Particles.PushBack(&p);
    p.owner = this;
    p.age = age;
    p.fadeIn = Draw(e.fadeIn);
    p.sustain = Draw(e.sustain);
    p.fadeOut = Draw(e.fadeOut);

    const D3DXMATRIX& world = GetWorldMatrix();
    D3DXVECTOR3 start((Random01() - 0.5f) * e.positionSpread[0], (Random01() - 0.5f) * e.positionSpread[1],
                      (Random01() - 0.5f) * e.positionSpread[2]);
    if (!m_LocalSpace)
        D3DXVec3TransformCoord(&start, &start, &world);
    p.startPosition = start;

    D3DXVECTOR3 velocity;
    for (int i = 0; i < 3; ++i)
        (&velocity.x)[i] = e.direction[i] + (Random01() - 0.5f) * e.directionSpread[i];
    if (!m_LocalSpace)
        D3DXVec3TransformNormal(&velocity, &velocity, &world);
    const float length = D3DXVec3Length(&velocity);
    const float speed = Draw(e.speed);
    if (length >= 0.0001f)
        velocity *= speed / length;
    p.velocity = velocity;

    D3DXVECTOR3 acceleration(e.acceleration[0], e.acceleration[1], e.acceleration[2]);
    if (!m_LocalSpace)
        D3DXVec3TransformNormal(&acceleration, &acceleration, &world);
    p.acceleration = acceleration;

    p.startRotation = Draw(e.rotation);
    p.rotationSpeed = Draw(e.rotationSpeed);
    p.startSize = Draw(e.startSize);
    p.endSize = Draw(e.endSize);
    for (int i = 0; i < 4; ++i)
    {
        p.startColor[i] = e.startColor[i];
        p.endColor[i] = e.endColor[i];
    }

    const float t = age;
    p.endOfSustain = p.fadeIn + p.sustain;
    p.life = p.endOfSustain + p.fadeOut;
    // Every rate uses the guarded inverse: a zero life must not put infinities into the record.
    p.inverseLife = p.life != 0.0f ? 1.0f / p.life : 0.0f;
    p.position = p.startPosition + (p.velocity + p.acceleration * (t * 0.5f)) * t;
    p.rotation = p.startRotation + p.rotationSpeed * t;
    p.sizeRate = (p.endSize - p.startSize) * p.inverseLife;
    p.size = p.startSize + p.sizeRate * t;
    for (int i = 0; i < 4; ++i)
    {
        p.color[i] = p.startColor[i];
        p.colorRate[i] = (p.endColor[i] - p.startColor[i]) * p.inverseLife;
    }
    const float a = p.startColor[3];
    const float b = p.endColor[3];
    p.riseSlope = p.fadeIn != 0.0f ? a / p.fadeIn : 0.0f;
    p.sustainSlope = p.sustain != 0.0f ? (b - a) / p.sustain : 0.0f;
    p.sustainIntercept = a - p.sustainSlope * p.fadeIn;
    p.fallSlope = p.fadeOut != 0.0f ? -b / p.fadeOut : 0.0f;
    p.fallIntercept = b - p.fallSlope * p.endOfSustain;
}

void WeNewParticleSystem::Emit(float frameTime)
{
    m_EmissionClock += frameTime;
    const float clockAfterAdd = m_EmissionClock;
    const auto targetMet = [this] { return m_TargetCount > 0 && m_Particles.Count() >= m_TargetCount; };
    const auto full = [this] { return m_Particles.Count() >= MaxLiveParticles; };
    // A duration that is not a number counts as endless, as 0 and below do: compared as it is, it neither
    // runs out nor lets the emitter spawn, and the pass would turn for ever.
    const auto timed = [](const WeParticleEmitter& e) { return e.duration > 0.0f; };
    int32_t steps = 0;
    if (m_EmissionClock > 0.0f)
    {
        float interval = 0.0f;
        do
        {
            if (targetMet())
                break;
            const float rate = DrawRate();
            const WeParticleEmitter& e = m_CurrentEmitter->payload;
            if (!(rate > 0.0f))
            {
                // A silent emitter does not bank the clock for a later burst: a timed one spends it as its
                // own time and hands the rest to the next emitter, an endless one drops it.
                if (!timed(e))
                {
                    m_EmissionClock = 0.0f;
                    break;
                }
                const float spend = std::fmin(m_EmissionClock, e.duration - m_EmitterTime);
                if (spend > 0.0f)
                {
                    m_EmitterTime += spend;
                    m_EmissionClock -= spend;
                }
                if (m_EmitterTime < e.duration)
                    break;
                m_EmitterTime = 0.0f;
                NextEmitter();
                if (++steps > MaxEmissionSteps)
                    break;
                interval = 0.0f;
                continue;
            }
            interval = 1.0f / rate;
            while (interval <= m_EmissionClock && !targetMet() && !full())
            {
                const WeParticleEmitter& current = m_CurrentEmitter->payload;
                if (timed(current) && !(m_EmitterTime < current.duration))
                    break;
                m_EmissionClock -= interval;
                Spawn(current, m_EmissionClock);
                m_EmitterTime += interval;
                if (full() || ++steps > MaxEmissionSteps)
                    break;
            }
            while (m_CurrentEmitter->payload.duration > 0.0f && m_EmitterTime >= m_CurrentEmitter->payload.duration)
            {
                m_EmitterTime -= m_CurrentEmitter->payload.duration;
                NextEmitter();
                if (++steps > MaxEmissionSteps)
                    break;
            }
            if (full() || steps > MaxEmissionSteps)
                break;
        } while (interval < m_EmissionClock);
    }
    if (full() || steps > MaxEmissionSteps)
    {
        // What could not be spent is dropped, not kept for the next tick.
        m_EmissionClock = 0.0f;
        if (steps > MaxEmissionSteps)
            m_EmitterTime = 0.0f;
    }

    if (m_TargetCount > 0 && m_Particles.Count() < m_TargetCount)
    {
        const float rate = DrawRate();
        if (rate > 0.0f)
        {
            const int32_t target = m_TargetCount < MaxLiveParticles ? m_TargetCount : MaxLiveParticles;
            float age = clockAfterAdd;
            while (m_Particles.Count() < target)
            {
                Spawn(m_CurrentEmitter->payload, age);
                age += 1.0f / rate;
            }
        }
    }
}

void WeNewParticleSystem::Update()
{
    if (m_Emitters.IsEmpty())
        return;
    if (m_World)
    {
        if (m_UpdateStamp == m_World->m_TickCounter)
            return;
        m_UpdateStamp = m_World->m_TickCounter;
    }
    if (!m_CurrentEmitter)
        m_CurrentEmitter = m_Emitters.FirstNode();
    const float frameTime = g_Timer.m_FrameDeltaF;
    if (m_Active && !m_Stopping)
        Emit(frameTime);

    WeList<WeParticle>& shared = SharedParticles();
    for (WeList<WeParticle*>::Node* node = m_Particles.FirstNode(); node != nullptr;)
    {
        WeList<WeParticle*>::Node* next = m_Particles.NextNode(node);
        WeParticle* particle = node->payload;
        if (!Advance(*particle, frameTime))
        {
            shared.Remove(static_cast<WeList<WeParticle>::Node*>(particle->sharedNode));
            m_Particles.Remove(node);
        }
        node = next;
    }

    if (m_Stopping && m_Particles.IsEmpty())
        MarkForDeletion();
}

void WeNewParticleSystem::Render(int32_t pass)
{
    if (!g_RenderDevice.m_ParticleOption || !m_Material)
        return;
    if (m_EditorMode)
        WeActor::Render(pass);
    Update();
    // Particles are written in world space by the renderer, which transforms local-space ones itself.
    if (!m_Particles.IsEmpty())
        WeQueueRenderItem(m_Material, this, &WeIdentityMatrix(), pass);
}

void WeNewParticleSystem::SaveProperties(WeFileStream& stream)
{
    stream.WriteInt32(RecordVersion);
    stream.WriteFloat(m_BoundingRadius);
    stream.WriteString(m_MaterialName);
    stream.WriteByte(m_VelocityAligned);
    stream.WriteByte(m_LocalSpace);
    stream.WriteInt32(m_TargetCount);
    stream.WriteInt32(m_Setting);
    stream.WriteInt32(m_Emitters.Count());
    for (const WeParticleEmitter& emitter : m_Emitters)
        emitter.Write(stream);
}

bool WeNewParticleSystem::LoadProperties(WeFileStream& stream)
{
    stream.ClearShortRead();
    const int32_t raw = stream.ReadInt32();
    const int32_t version = raw == INT32_MIN ? RecordVersion : (raw < 0 ? -raw : raw);
    const float radius = stream.ReadFloat();
    const WeString material = stream.ReadString();
    const bool velocityAligned = stream.ReadByte() != 0;
    const bool localSpace = stream.ReadByte() != 0;
    // Versions outside 1..3 are read as the newest layout.
    const int32_t layout = (version >= 1 && version <= 3) ? version : RecordVersion;
    const int32_t target = layout >= 2 ? stream.ReadInt32() : 0;
    const int32_t setting = layout >= 3 ? stream.ReadInt32() : 0;
    const int32_t count = stream.ReadInt32();
    if (stream.HadShortRead() || count < 0)
        return false;
    const int64_t left = stream.GetEndLimit() - stream.Tell();
    if (static_cast<int64_t>(count) * WeParticleEmitter::SmallestRecord > left)
        return false;
    // Read aside first, so that a record cut short leaves the system as it was.
    WeList<WeParticleEmitter> emitters;
    for (int32_t i = 0; i < count; ++i)
        emitters.PushBack().Read(stream);
    if (stream.HadShortRead())
        return false;

    m_BoundingRadius = radius;
    m_MaterialName = material;
    m_VelocityAligned = velocityAligned;
    m_LocalSpace = localSpace;
    m_TargetCount = target;
    m_Setting = setting;
    ReleaseParticles();
    m_Emitters.Clear();
    for (const WeParticleEmitter& emitter : emitters)
        m_Emitters.PushBack(emitter);
    m_CurrentEmitter = m_Emitters.FirstNode();
    return true;
}

void WeNewParticleSystem::Save(WeFileStream& stream)
{
    WeActor::Save(stream);
    SaveProperties(stream);
}

bool WeNewParticleSystem::Load(WeFileStream& stream)
{
    if (!WeActor::Load(stream))
        return false;
    const bool intact = LoadProperties(stream);
    // After a damaged count the following bytes are no record boundary: a map load ends here.
    if (!intact)
        stream.Seek(0, 2);
    m_RenderSwitch2 = false;
    m_RenderSwitch3 = false;
    m_Material = nullptr;
    return intact;
}

bool WeNewParticleSystem::LoadDefinition(WeVirtualFileSystem* fileSystem, const WeString& name)
{
    if (!fileSystem || !fileSystem->Open(name, PackageType))
        return false;
    WeFileStream* stream = fileSystem->GetStream();
    const bool intact = stream && LoadProperties(*stream);
    fileSystem->Close();
    if (!intact)
        return false;
    m_Label = name;
    Prepare();
    return true;
}

void WeNewParticleSystem::CopyTo(WeActor* other)
{
    WeActor::CopyTo(other);
    WeNewParticleSystem* system = dynamic_cast<WeNewParticleSystem*>(other);
    if (!system || system == this)
        return;
    system->m_MaterialName = m_MaterialName;
    system->m_BoundingRadius = m_BoundingRadius;
    system->m_VelocityAligned = m_VelocityAligned;
    system->m_LocalSpace = m_LocalSpace;
    system->m_TargetCount = m_TargetCount;
    system->m_Setting = m_Setting;
    system->m_LevelFacing = m_LevelFacing;
    system->m_Emitters.Clear();
    for (const WeParticleEmitter& emitter : m_Emitters)
        system->m_Emitters.PushBack(emitter);
    system->m_CurrentEmitter = system->m_Emitters.FirstNode();
    system->m_Material = m_Material;
}
