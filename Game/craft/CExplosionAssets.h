#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Engine/foundation/WeString.h"
#include "Platform/math/D3DXMATRIX.h"
#include "Platform/math/D3DXVECTOR3.h"

class WeActor;
class WeModel;
class WeNewParticleSystem;
class WeTexture;
class WeWorld;

// One name an explosion loader asked for, and whether the pack had it.
struct CExplosionAssetRequest
{
    std::string name;
    std::string kind;  // "model", "particles", "texture"
    bool found = false;
};

// A loaded explosion model with the particle definition of the same name, when the pack has one, and the time
// that definition's last burst particle dies.
struct CExplosionModelAsset
{
    std::string name;
    WeModel* model = nullptr;
    WeNewParticleSystem* particles = nullptr;
    float particleDuration = 0.0f;
};

// The models, particle templates and flare textures the explosions share, loaded once by their loaders and
// kept for the whole run; every name asked for is recorded, so a content check needs no list of its own.
class CExplosionAssets
{
public:
    // Loads the model (and its particle template) once; a second call with the name gives the same entry.
    // Null, with a debug line, when the pack has no such model.
    static const CExplosionModelAsset* LoadModel(const char* name);
    static const CExplosionModelAsset* FindModel(const char* name);
    // A particle template kept by name; null when missing.
    static WeNewParticleSystem* LoadParticles(const char* name);
    static WeNewParticleSystem* FindParticles(const char* name);
    static WeTexture* LoadTexture(const char* name);

    // When the definition's last burst particle dies: the timed emitters' durations plus the longest
    // particle life among them. An endless-only definition gives 0.
    static float ParticleDuration(const WeNewParticleSystem* system);

    // A plain actor with its own instance of the model at the position and scale, added to the world. With a
    // life of 0 or more it gets that life and a copy of the model's particle template as its child, with the
    // same life; with a negative one it has no life of its own (its spawner expires it) and no copy, which
    // would otherwise outlive it. Null without a world or a model.
    static WeActor* SpawnModel(WeWorld* world, const CExplosionModelAsset* asset, const D3DXVECTOR3& position,
                               float scale, float lifeTime, int32_t preset);
    // A copy of the template with the transform, added to the world (as the parent's child when one is
    // given); a life of 0 or more is its own. Null without a world or a template.
    static WeNewParticleSystem* SpawnParticles(WeWorld* world, WeNewParticleSystem* templ, const D3DXMATRIX& transform,
                                               float lifeTime, WeActor* parent);

    // Frees every model and template (a rig between runs); the game keeps them until it ends.
    static void Release();

    static std::vector<CExplosionAssetRequest> s_Requests;

private:
    static void Record(const char* name, const char* kind, bool found);
};
