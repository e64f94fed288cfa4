#pragma once
#include "Engine/runtime/WeSound.h"

// A sound placed in the world, attenuated by its distance from the listener. It keeps its position,
// velocity and distances itself and gives them to every source it acquires, so a sound that lost its
// source to the pool plays with the same set-up when it plays again.
class WeSound3D : public WeSound
{
public:
    WeSound3D(const WeString& name, bool priority);
    ~WeSound3D() override;

    // Beyond the maximum distance from the listener the sound does not start; within it, it is
    // registered with the audio device, which stops it when the listener moves away.
    void Play(bool loop) override;
    void SetPosition(const D3DXVECTOR3& position);
    void SetVelocity(const D3DXVECTOR3& velocity);
    void SetMaxDistance(float distance);
    float GetMaxDistance() const { return m_MaxDistance; }
    // True when the listener is within the maximum distance of the position (always without a maximum).
    bool IsInReach(const D3DXVECTOR3& position) const;
    D3DXVECTOR3 GetPosition() override { return m_Position; }
    const D3DXVECTOR3& GetVelocity() const { return m_Velocity; }

protected:
    void SetUpSource() override;

private:
    void ApplyDistances();

    float m_MaxDistance = 0.0f;
    D3DXVECTOR3 m_Position;
    D3DXVECTOR3 m_Velocity;
};
