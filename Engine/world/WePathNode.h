#pragma once
#include <cstdint>

#include "Engine/foundation/WeList.h"
#include "Engine/world/WeActor.h"

// A node of the track path, ordered by its id. The world links the nodes into a closed loop with
// forks and jumps (see WeWorld::BuildTrackPath).
class WePathNode : public WeActor
{
public:
    static constexpr int32_t NodeRecordVersion = 13;

    enum Kind : int32_t
    {
        Plain = 0,
        Fork = 1,
        Join = 2,
        JumpStart = 3,
        JumpEnd = 4
    };

    WePathNode();
    ~WePathNode() override;

    WeString GetName() override;
    void Save(WeFileStream& stream) override;
    bool Load(WeFileStream& stream) override;
    void Init() override;
    void CopyTo(WeActor* other) override;

    // The program-wide id counter (ids of new nodes).
    static int32_t& IdCounter();
    // Advances the counter by 10 and returns it.
    static int32_t NextId();

    int32_t m_Id = 0;
    float m_Fraction = 0.0f;
    float m_DistanceAlongPath = 0.0f;
    float m_Distance = 0.0f;
    bool m_Switch2 = false;
    float m_Value1 = 0.0f;
    float m_Value2 = 0.0f;
    float m_Value3 = 0.0f;
    bool m_Flag = false;
    int32_t m_Kind = Plain;
    int32_t m_Link1 = 0;
    int32_t m_Link2 = 0;
    float m_Value = 0.0f;
    bool m_Switch1 = false;
    bool m_OnTrack = false;
    WePathNode* m_Next = nullptr;
    WePathNode* m_Previous = nullptr;
    WePathNode* m_Branch = nullptr;
    WePathNode* m_SecondPrevious = nullptr;
    WePathNode* m_Partner = nullptr;
    WeList<WeActor*> m_AttachedActors;
    float m_BranchWeight = 1.0f;
    bool m_Switch3 = false;
    int32_t m_BranchTag = 0;
    bool m_Visited = false;
    int32_t m_SearchStamp[2] = {-1, -1};
};
