#include "Game/shell/COneShotSounds.h"

#include <vector>

#include "Engine/runtime/WeSound.h"
#include "Engine/runtime/WeSound3D.h"

namespace
{
std::vector<WeSound*>& Sounds()
{
    static std::vector<WeSound*> sounds;
    return sounds;
}
}  // namespace

WeSound* PlayOneShotSound(const WeString& name)
{
    WeSound* sound = new WeSound(name, false);
    sound->Play(false);
    Sounds().push_back(sound);
    return sound;
}

WeSound* PlayOneShotSound3D(const WeString& name, const D3DXVECTOR3& position, const D3DXVECTOR3& velocity,
                            float maxDistance)
{
    WeSound3D* sound = new WeSound3D(name, false);
    sound->SetPosition(position);
    sound->SetVelocity(velocity);
    sound->SetMaxDistance(maxDistance);
    sound->Play(false);
    Sounds().push_back(sound);
    return sound;
}

void UpdateOneShotSounds()
{
    std::vector<WeSound*>& sounds = Sounds();
    size_t kept = 0;
    for (WeSound* sound : sounds)
    {
        if (sound->IsPlaying())
            sounds[kept++] = sound;
        else
            delete sound;
    }
    sounds.resize(kept);
}

void ClearOneShotSounds()
{
    for (WeSound* sound : Sounds())
    {
        sound->Stop();
        delete sound;
    }
    Sounds().clear();
}

int32_t CountOneShotSounds()
{
    return static_cast<int32_t>(Sounds().size());
}

int32_t CountOneShotSounds(const WeString& name)
{
    int32_t count = 0;
    for (const WeSound* sound : Sounds())
        count += sound->GetName() == name ? 1 : 0;
    return count;
}
