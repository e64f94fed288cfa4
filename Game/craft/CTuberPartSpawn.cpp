#include "Game/craft/CTuberPartSpawn.h"

#include <cmath>

#include "Engine/foundation/WeLog.h"
#include "Engine/render/WeModelManager.h"
#include "Engine/world/WePhysicsDescription.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CTuberPart.h"
#include "Game/craft/CTuberPartFabric.h"
#include "Platform/system/SysRandom.h"

WeList<CTuberPartSpawn> g_TuberPartSpawns;

namespace
{
constexpr float PieceHalfExtent = 0.8f;
constexpr int32_t PieceGroup = 6;
constexpr float PieceMass = 0.1f;
constexpr float ForwardShare = 0.75f;
constexpr float MinThrow = 10.0f, ThrowSpread = 5.0f;

float Length(const D3DXVECTOR3& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

// A random component: its sign first (0 negative), then a magnitude of 10 to 15.
float RandomComponent()
{
    const float sign = SysRandom::Scaled(2) == 0 ? -1.0f : 1.0f;
    return sign * (float(SysRandom::Next()) / 32767.0f * ThrowSpread + MinThrow);
}

void MakePieces(const CTuberPartSpawn& spawn)
{
    CTuber* craft = spawn.m_Craft;
    WeWorld* world = craft ? craft->m_World : nullptr;
    if (!world)
    {
        DebugLogPrintf("wreck of a craft without a world: no pieces");
        return;
    }
    int32_t made = 0;
    for (int32_t i = 0; i < CTuberPartFabric::ModelCount; ++i)
    {
        WeModel* model = CTuberPartFabric::s_PartModels[i];
        if (!model)
            continue;
        CTuberPart* piece = new CTuberPart(i == 0 ? CTuberPart::FireAndSmoke : CTuberPart::Burning);
        piece->m_Model = g_ModelManager.Clone(model);
        piece->SetLocation(spawn.m_Position);
        WePhysicModel& body = piece->m_PhysicModel;
        body.physicsClass = WePhysicsDynamicBox;
        body.explicitSize = true;
        body.size = D3DXVECTOR3(PieceHalfExtent, PieceHalfExtent, PieceHalfExtent);
        body.collisionGroup = PieceGroup;
        body.shapeFlags = 1;
        body.mass = PieceMass;
        piece->m_Owner = craft;
        world->AddActor(piece);

        const D3DXVECTOR3 base = spawn.m_Forward * (spawn.m_Speed * ForwardShare);
        const float x = RandomComponent();
        const float y = RandomComponent();
        const float z = RandomComponent();
        const D3DXVECTOR3 random(x, y, z);
        D3DXVECTOR3 velocity = base + random;
        if (!(Length(velocity) >= MinThrow))
            velocity = random;
        piece->m_Velocity = velocity;
        piece->SetLinearVelocity(velocity);
        piece->m_VelocityGiven = true;
        if (i == 0)
            craft->m_CameraPiece = piece;
        ++made;
    }
    if (made == 0)
        DebugLogPrintf("wreck: no piece model, no pieces\n");
}
}  // namespace

void PostTuberPartSpawn(CTuber* craft)
{
    if (!craft)
        return;
    CTuberPartSpawn& s = g_TuberPartSpawns.PushBack();
    s = CTuberPartSpawn();
    s.m_Craft = craft;
    s.m_Position = craft->GetWorldPosition();
    const D3DXMATRIX& m = craft->GetWorldMatrix();
    s.m_Forward = D3DXVECTOR3(m._31, m._32, m._33);
    s.m_Speed = std::isfinite(craft->m_MeasuredSpeed) ? craft->m_MeasuredSpeed : 0.0f;
}

void ProcessTuberPartSpawns()
{
    CTuberPartSpawn spawn;
    while (g_TuberPartSpawns.PopFront(spawn))
        MakePieces(spawn);
}

void ClearTuberPartSpawns()
{
    g_TuberPartSpawns.Reset();
}

void ForgetTuberPartSpawns(const CTuber* craft)
{
    for (auto* n = g_TuberPartSpawns.FirstNode(); n;)
    {
        auto* next = g_TuberPartSpawns.NextNode(n);
        if (n->payload.m_Craft == craft)
            g_TuberPartSpawns.Remove(n);
        n = next;
    }
}
