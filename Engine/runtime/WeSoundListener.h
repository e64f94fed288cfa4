#pragma once
#include "Platform/math/D3DXVECTOR3.h"

// The one listener, placed at the player's craft each frame. The game's frame is left-handed and
// OpenAL's right-handed: z is negated wherever a vector crosses into OpenAL and back, so callers keep
// the game's frame and the stereo image is not mirrored.
class WeSoundListener
{
public:
    void SetPosition(const D3DXVECTOR3& position);
    void SetVelocity(const D3DXVECTOR3& velocity);
    void SetOrientation(const D3DXVECTOR3& forward, const D3DXVECTOR3& up);
    const D3DXVECTOR3& GetPosition() const { return m_Position; }
    const D3DXVECTOR3& GetVelocity() const { return m_Velocity; }

    // Gives the stored state to OpenAL (the device does so when it starts).
    void Apply();

    static void ToOpenAL(const D3DXVECTOR3& v, float out[3])
    {
        out[0] = v.x;
        out[1] = v.y;
        out[2] = -v.z;
    }
    static D3DXVECTOR3 FromOpenAL(const float v[3]) { return D3DXVECTOR3(v[0], v[1], -v[2]); }

private:
    D3DXVECTOR3 m_Position;
    D3DXVECTOR3 m_Velocity;
    D3DXVECTOR3 m_Forward = D3DXVECTOR3(0.0f, 0.0f, 1.0f);
    D3DXVECTOR3 m_Up = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
};

extern WeSoundListener g_SoundListener;
