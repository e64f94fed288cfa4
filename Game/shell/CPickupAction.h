#pragma once
#include <cstdint>

// A running ability on a craft: its type, how long it has run and is to run, and whether it still runs.
class CPickupAction
{
public:
    CPickupAction(int32_t type, float duration) : m_Type(type), m_Duration(duration) {}
    virtual ~CPickupAction() = default;

    // Adds the frame time; the action stops once it has run its duration.
    void Update(float dt);

    int32_t m_Type = 0;
    float m_Elapsed = 0.0f;
    float m_Duration = 0.0f;
    bool m_Active = true;
    void* m_Data = nullptr;
};
