#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"
#include "Engine/world/WeActor.h"

// A rectangle that splits space for visibility: the world decides each frame which portals the camera
// sees, and what lies on the far side of a seen portal is not drawn, unless the portal lets things
// within a reach through. Invisible and static in the game; shown and movable in the editor.
class WePortal : public WeActor
{
public:
    static constexpr int32_t RecordVersion = 4;

    WePortal();
    ~WePortal() override;

    void Tick() override;
    void UpdateGeometry() override;
    void Save(WeFileStream& stream) override;
    bool Load(WeFileStream& stream) override;
    void Init() override;
    void CopyTo(WeActor* other) override;

    // The portal record alone (what follows the actor record).
    void SaveProperties(WeFileStream& stream);
    bool LoadProperties(WeFileStream& stream);

    // Signed distance of a point from the portal's plane, positive on the side its normal (z axis) faces.
    float Side(const D3DXVECTOR3& point) const;

    int32_t m_Value = 3;
    D3DXVECTOR3 m_PreviousScale;
    WeString m_FirstText;
    WeString m_SecondText;
    float m_Width = 10.0f;
    float m_Height = 10.0f;
    int32_t m_FirstLink = -1;
    int32_t m_SecondLink = -1;
    bool m_Switch = true;
    bool m_Active = false;
    bool m_LimitedReach = false;
    float m_FrontReach = 500.0f;
    float m_BackReach = 500.0f;
    bool m_Visible = true;
    D3DXVECTOR3 m_Corners[4];
};
