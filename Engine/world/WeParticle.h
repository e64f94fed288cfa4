#pragma once
#include "Platform/math/D3DXVECTOR3.h"

class WeNewParticleSystem;

// One simulated particle: what it was spawned with, then the values derived at spawn that make each
// advance a handful of multiply-adds. Lives in the process-wide particle list, whose freed nodes are
// reused by every system.
struct WeParticle
{
    float fadeIn;
    float sustain;
    float fadeOut;
    D3DXVECTOR3 startPosition;
    D3DXVECTOR3 velocity;
    D3DXVECTOR3 acceleration;
    float startRotation;
    float rotationSpeed;
    float startSize;
    float endSize;
    float startColor[4];
    float endColor[4];
    WeNewParticleSystem* owner;
    float age;
    float endOfSustain;
    float life;
    float inverseLife;  // 0 for a zero life
    D3DXVECTOR3 position;
    float rotation;
    float size;
    float sizeRate;
    float color[4];  // the fourth is the current opacity
    float colorRate[4];
    float riseSlope;
    float sustainSlope;
    float sustainIntercept;
    float fallSlope;
    float fallIntercept;
    void* sharedNode;  // its node of the shared list, to give it back
};
