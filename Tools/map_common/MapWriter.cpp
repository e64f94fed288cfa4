#include "Tools/map_common/MapWriter.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/world/WePathNode.h"
#include "Engine/world/WeSkyBox.h"
#include "Platform/math/D3DXMatrixFunctions.h"
#include "Platform/system/SysPath.h"
#include "Tools/map_common/MapStartLocation.h"
#include "Tools/map_common/MapTrack.h"

namespace
{
MapHeaderWriter g_HeaderWriter = nullptr;
}

void SetMapHeaderWriter(MapHeaderWriter writer)
{
    g_HeaderWriter = writer;
}

bool WriteMap(const MapDescription& map, const std::string& fileName, const std::string& mapsFolder,
              std::string& written, std::string& error)
{
    std::vector<MapPathNode> nodes;
    if (!BuildPathNodes(map, fileName, nodes, error))
        return false;

    // Every actor is built and filled through its setters, without a world or device.
    std::vector<std::unique_ptr<WeActor>> actors;
    for (const MapPathNode& n : nodes)
    {
        auto node = std::make_unique<WePathNode>();
        node->m_Id = n.id;
        node->m_Kind = n.kind;
        node->m_Link1 = n.link1;
        node->m_Link2 = n.link2;
        node->SetTransform(n.frame);
        actors.push_back(std::move(node));
    }
    const std::vector<D3DXMATRIX> starts = BuildStartFrames(map, nodes);
    for (size_t i = 0; i < starts.size(); ++i)
    {
        auto start = std::make_unique<MapStartLocation>();
        start->m_StartIndex = static_cast<int32_t>(i);
        start->SetTransform(starts[i]);
        actors.push_back(std::move(start));
    }
    for (const MapExtraActor& a : map.actors)
    {
        auto actor = std::make_unique<WeActor>();
        actor->m_ModelName = a.model.c_str();
        actor->m_Label = a.label.c_str();
        actor->m_Teleporter = a.teleporter;
        actor->m_TeleportTargetLabel = a.teleportTarget.c_str();
        actor->m_PhysicModel.physicsClass = a.physicsClass;
        actor->m_PhysicModel.collisionGroup = static_cast<uint16_t>(a.group);
        actor->SetLocation(a.position);
        actor->SetScaling(a.scale);
        actors.push_back(std::move(actor));
    }

    const std::string path = SysPath::Join(mapsFolder, map.name + ".map");
    const std::string partial = path + ".partial";
    std::remove(partial.c_str());
    WeFileStream stream;
    if (!stream.Create(partial.c_str()))
    {
        error = partial + ": cannot be created";
        return false;
    }
    bool ok = stream.WriteInt32(1);
    if (ok && g_HeaderWriter && !g_HeaderWriter(stream, map.header))
    {
        stream.Close();
        std::remove(partial.c_str());
        error = path + ": the map header could not be written";
        return false;
    }
    WeSkyBox sky;
    sky.m_ModelName = map.skyModel.c_str();
    sky.m_Mode = map.skyMode;
    sky.Save(stream);
    for (const std::unique_ptr<WeActor>& actor : actors)
    {
        ok = stream.WriteInt32(actor->m_Type) && ok;
        actor->Save(stream);
    }
    stream.Close();
    if (!ok || std::rename(partial.c_str(), path.c_str()) != 0)
    {
        std::remove(partial.c_str());
        error = path + ": cannot be written";
        return false;
    }
    written += path + ": " + std::to_string(nodes.size()) + " path nodes, " + std::to_string(starts.size()) +
               " start locations, " + std::to_string(map.actors.size()) + " actors\n";
    return true;
}
