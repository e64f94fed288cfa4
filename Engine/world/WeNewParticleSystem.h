#pragma once
#include <cstdint>

#include "Engine/foundation/WeList.h"
#include "Engine/foundation/WeRecycled.h"
#include "Engine/foundation/WeString.h"
#include "Engine/world/WeActor.h"
#include "Engine/world/WeParticle.h"
#include "Engine/world/WeParticleEmitter.h"

class WeFileStream;
class WeMaterial;
class WeVirtualFileSystem;

// An actor that emits camera-facing particles from its emitters, one emitter at a time, and simulates
// them on the CPU. The particle renderer draws what it holds. Pooled.
class WeNewParticleSystem : public WeRecycled<WeNewParticleSystem, WeActor>
{
public:
    static constexpr int32_t RecordVersion = 3;
    static constexpr int32_t PackageType = 10;
    // A bound on one system's live particles, far above any real effect (the renderer draws 1,024 per
    // call): a corrupt or absurd rate must not allocate without end.
    static constexpr int32_t MaxLiveParticles = 16384;

    WeNewParticleSystem();
    ~WeNewParticleSystem() override;

    void Expire() override;
    WeString GetName() override;
    void Tick() override;
    void Save(WeFileStream& stream) override;
    bool Load(WeFileStream& stream) override;
    void Init() override;
    void CopyTo(WeActor* other) override;
    void Render(int32_t pass) override;

    // Reads the system record of the package file of that name (type 10). False, with the system left
    // as it was, when the file is missing or its record damaged.
    bool LoadDefinition(WeVirtualFileSystem* fileSystem, const WeString& name);
    // The system record alone (what follows the actor record in a map; a definition file is only this).
    void SaveProperties(WeFileStream& stream);
    // False, with the system left as it was, when the record is damaged.
    bool LoadProperties(WeFileStream& stream);
    void Prepare();
    // Emits and advances once per world tick.
    void Update();

    int32_t GetLiveCount() const { return m_Particles.Count(); }
    // The process-wide list whose nodes hold every system's particles.
    static WeList<WeParticle>& SharedParticles();

    bool m_Stopping = false;
    int64_t m_UpdateStamp = -1;
    WeString m_MaterialName;
    float m_BoundingRadius = 2000.0f;
    bool m_VelocityAligned = false;
    bool m_LocalSpace = false;
    int32_t m_TargetCount = 0;
    int32_t m_Setting = 0;
    bool m_LevelFacing = false;
    WeList<WeParticleEmitter> m_Emitters;
    WeMaterial* m_Material = nullptr;
    float m_EmissionClock = 0.0f;
    float m_EmitterTime = 0.0f;
    bool m_Active = true;
    bool m_WasActive = true;
    WeList<WeParticleEmitter>::Node* m_CurrentEmitter = nullptr;
    WeList<WeParticle*> m_Particles;

private:
    void RestartEmission();
    void NextEmitter();
    float DrawRate();
    void Spawn(const WeParticleEmitter& emitter, float age);
    void Emit(float frameTime);
    void ReleaseParticles();
};
