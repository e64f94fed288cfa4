#pragma once
// Map files written in code for the world's tests: records through the engine's own writers.
#include <functional>
#include <string>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/world/WeActor.h"
#include "Engine/world/WePathNode.h"
#include "Engine/world/WeSkyBox.h"
#include "Engine/world/WeWorld.h"
#include "Platform/math/D3DXMatrixFunctions.h"
#include "Platform/math/D3DXVectorFunctions.h"
#include "Tests/support/ScratchFolder.h"

// Writes <folder>/<name>.map: version, then what `body` writes.
inline bool WriteMapFile(const std::string& path, int32_t version, const std::function<void(WeFileStream&)>& body)
{
    std::remove(path.c_str());
    WeFileStream stream;
    if (!stream.Create(path.c_str()))
        return false;
    stream.WriteInt32(version);
    body(stream);
    stream.Close();
    return true;
}

inline void WriteActor(WeFileStream& stream, WeActor& actor)
{
    stream.WriteInt32(actor.m_Type);
    actor.Save(stream);
}

// A path node of the given id and kind at a position, facing +z.
inline void WriteNode(WeFileStream& stream, int32_t id, int32_t kind, const D3DXVECTOR3& position, int32_t link1 = 0,
                      int32_t link2 = 0)
{
    WePathNode node;
    node.m_Id = id;
    node.m_Kind = kind;
    node.m_Link1 = link1;
    node.m_Link2 = link2;
    node.SetLocation(position);
    WriteActor(stream, node);
}

// Loads a map completely; false when BeginLoad failed or a step did.
inline bool LoadWhole(WeWorld& world, const char* name)
{
    if (!world.BeginLoad(name))
        return false;
    for (int i = 0; i < 100000 && !world.m_Loaded; ++i)
        if (!world.LoadStep())
            return false;
    return world.m_Loaded;
}
