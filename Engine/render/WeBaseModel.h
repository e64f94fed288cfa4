#pragma once
#include <cstdint>

#include "Platform/math/D3DXMATRIX.h"
#include "Platform/math/D3DXVECTOR3.h"

class WeActor;
class WeCamera;
class WeMesh;
class WeRenderQueue;

// What an actor draws: a mesh under a world matrix, with its bounds. Models and the frames of a model's
// hierarchy are both.
class WeBaseModel
{
public:
    WeBaseModel() = default;
    virtual ~WeBaseModel() = default;
    WeBaseModel(const WeBaseModel&) = delete;
    WeBaseModel& operator=(const WeBaseModel&) = delete;

    virtual void CopyFrom(WeBaseModel* other);
    // The sphere from the mesh's sphere and the world matrix; scaled: the radius grows with the largest
    // axis of the matrix.
    virtual void UpdateBounds(bool scaled);
    virtual void SetPreset(int32_t preset);
    // Queues one item per subset for the actor (-1: the actor's preset, -2: the selection material).
    virtual void Draw(WeCamera* camera, WeRenderQueue* queue, WeActor* actor, int32_t preset);

    // The matrix drawn with: the current world matrix, identity when there is none.
    const D3DXMATRIX& GetWorldMatrix() const;

    int32_t m_Unused = -1;
    WeMesh* m_Mesh = nullptr;                 // shared, never owned
    D3DXMATRIX* m_WorldMatrix = nullptr;      // null: identity
    D3DXMATRIX* m_PrevWorldMatrix = nullptr;  // the previous frame's
    D3DXVECTOR3 m_SphereCenter{0.0f, 0.0f, 0.0f};
    float m_SphereRadius = 0.0f;
    D3DXVECTOR3 m_SubtreeCenter{0.0f, 0.0f, 0.0f};  // this model's sphere merged with everything below it
    float m_SubtreeRadius = 0.0f;
    float m_Values[4] = {1.0f, 1.0f, 1.0f, 1.0f};
};

// Grows the sphere (centre, radius) to enclose the other one. A sphere of radius 0 holds nothing.
void WeMergeSphere(D3DXVECTOR3& centre, float& radius, const D3DXVECTOR3& otherCentre, float otherRadius);
