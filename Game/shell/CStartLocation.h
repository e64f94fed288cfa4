#pragma once
#include <cstdint>

#include "Engine/world/WeActor.h"

class CTuber;

// Where a craft stands at the start. Its index is the start place that prefers it (1-based).
class CStartLocation : public WeActor
{
public:
    static constexpr int32_t TypeCode = 6;

    CStartLocation();
    ~CStartLocation() override;

    void Save(WeFileStream& stream) override;
    bool Load(WeFileStream& stream) override;
    void Init() override;
    void CopyTo(WeActor* other) override;

    int32_t m_StartIndex = 1;
    CTuber* m_TakenBy = nullptr;  // the craft spawned on it this race
};
