#include "Tools/map_common/MapWriter.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeFileSystem.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Engine/world/WePathNode.h"
#include "Engine/world/WePortal.h"
#include "Engine/world/WeSkyBox.h"
#include "Game/shell/PathNodeFields.h"
#include "Platform/math/D3DXMatrixFunctions.h"
#include "Platform/system/SysPath.h"
#include "Tools/content/ContentMeshWriter.h"
#include "Tools/map_common/MapPlan.h"
#include "Tools/map_common/MapStartLocation.h"
#include "Tools/map_common/MapTrack.h"
#include "Tools/vfx/VfxFields.h"

namespace
{

D3DXMATRIX Placement(const MapEffectActor& e)
{
    D3DXMATRIX m;
    D3DXMatrixRotationY(&m, e.yaw * 0.017453292f);
    m._41 = e.position.x;
    m._42 = e.position.y;
    m._43 = e.position.z;
    return m;
}

// Builds the actor of a light, particles or portal entry; false with "file:line: message".
bool BuildEffect(const MapEffectActor& e, const std::string& fileName, const std::string& packagesFolder,
                 std::unique_ptr<WeActor>& out, std::string& error)
{
    const auto fail = [&](int line, const std::string& message)
    {
        error = fileName + ":" + std::to_string(line) + ": " + message;
        return false;
    };
    std::string message;
    if (e.kind == "light")
    {
        auto light = std::make_unique<WeLight>();
        light->m_Dynamic = false;
        WeLightParams* frame = nullptr;
        for (const MapField& f : e.fields)
        {
            if (f.key == "keyframe")
            {
                light->m_KeyFrames.PushBack(WeLightParams());
                frame = &light->m_KeyFrames.Back();
                continue;
            }
            const bool ok = frame && VfxFields::IsKeyFrameField(f.key)
                                ? VfxFields::ApplyKeyFrame(*frame, f.key, f.value, message)
                                : VfxFields::ApplyLight(*light, f.key, f.value, message);
            if (!ok)
                return fail(f.line, message);
        }
        light->m_TotalLength = 0.0f;
        for (const WeLightParams& k : light->m_KeyFrames)
            light->m_TotalLength += k.duration;
        out = std::move(light);
    }
    else if (e.kind == "particles")
    {
        auto system = std::make_unique<WeNewParticleSystem>();
        if (!e.definition.empty())
        {
            // The shipped definition's record is copied; fields given inline then change it.
            WeFileSystem tree;
            tree.SetRoot(packagesFolder.c_str());
            bool ok = tree.Open(e.definition.c_str(), WeNewParticleSystem::PackageType);
            if (ok)
            {
                ok = system->LoadProperties(*tree.GetStream());
                tree.Close();
            }
            if (!ok)
                return fail(e.line, "no particle system " + e.definition + " in " + packagesFolder);
            system->m_Label = e.definition.c_str();
        }
        WeParticleEmitter* emitter = nullptr;
        for (const MapField& f : e.fields)
        {
            if (f.key == "emitter")
            {
                if (!emitter)
                    system->m_Emitters.Clear();  // inline emitters replace the definition's
                system->m_Emitters.PushBack(WeParticleEmitter());
                emitter = &system->m_Emitters.Back();
                continue;
            }
            const bool ok = emitter && VfxFields::IsEmitterField(f.key)
                                ? VfxFields::ApplyEmitter(*emitter, f.key, f.value, message)
                                : VfxFields::ApplySystem(*system, f.key, f.value, message);
            if (!ok)
                return fail(f.line, message);
        }
        for (const WeParticleEmitter& em : system->m_Emitters)
            if (!VfxFields::CheckEmitter(em, message))
                return fail(e.line, message);
        out = std::move(system);
    }
    else
    {
        auto portal = std::make_unique<WePortal>();
        portal->m_Width = e.width;
        portal->m_Height = e.height;
        portal->m_Active = e.active;
        portal->m_LimitedReach = e.limitedReach;
        portal->m_FrontReach = e.frontReach;
        portal->m_BackReach = e.backReach;
        out = std::move(portal);
    }
    if (!e.label.empty())
        out->m_Label = e.label.c_str();
    out->SetTransform(Placement(e));
    return true;
}

}  // namespace
#include "Tools/map_common/MapTrackMesh.h"

namespace
{
MapHeaderWriter g_HeaderWriter = nullptr;
MapActorMakers g_Makers;
std::string g_PreviewFolder;
}  // namespace

void SetMapPreviewFolder(const std::string& folder)
{
    g_PreviewFolder = folder;
}

void SetMapHeaderWriter(MapHeaderWriter writer)
{
    g_HeaderWriter = writer;
}

void SetMapActorMakers(const MapActorMakers* makers)
{
    g_Makers = makers != nullptr ? *makers : MapActorMakers();
}

bool WriteMap(const MapDescription& map, const std::string& fileName, const std::string& mapsFolder,
              std::string& written, std::string& error)
{
    return WriteMap(map, fileName, mapsFolder, std::string(), written, error);
}

namespace
{

// Writes every segment beside its final name; the caller renames them once the map is whole.
bool WriteSegments(const MapDescription& map, const std::vector<MapTrackSegment>& segments, const std::string& folder,
                   std::vector<std::string>& partials, std::string& error)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    ContentMeshDescription description;
    description.subsets.resize(2);
    description.subsets[0].id = 0;
    description.subsets[1].id = 1;
    for (int32_t p = 0; p < ContentMeshSubset::Presets; ++p)
    {
        description.subsets[0].materials[p] = map.roadMaterial;
        description.subsets[1].materials[p] = map.wallMaterial;
    }
    for (const MapTrackSegment& segment : segments)
    {
        // A piece where both walls open (between a fork's branches) has road only: only the subsets with
        // faces are described.
        bool used[2] = {false, false};
        for (const ContentMeshFace& face : segment.geometry.faces)
            if (face.subset == 0 || face.subset == 1)
                used[face.subset] = true;
        ContentMeshDescription own = description;
        if (!used[0] || !used[1])
        {
            own.subsets.clear();
            for (int id = 0; id < 2; ++id)
                if (used[id])
                    own.subsets.push_back(description.subsets[size_t(id)]);
        }
        const std::string leaf = segment.name.substr(segment.name.rfind('.') + 1);
        const std::string path = SysPath::Join(folder, leaf + ".mesh.partial");
        partials.push_back(path);
        WeFileStream stream;
        if (!stream.Create(path.c_str()))
        {
            error = path + ": cannot be created";
            return false;
        }
        std::string why;
        const bool ok = ContentMeshWriter::WriteFile(stream, own, segment.geometry, &why);
        stream.Close();
        if (!ok)
        {
            error = segment.name + ": " + why;
            return false;
        }
    }
    return true;
}

void RemovePartials(const std::vector<std::string>& partials)
{
    for (const std::string& p : partials)
        std::remove(p.c_str());
}

}  // namespace

bool WriteMap(const MapDescription& map, const std::string& fileName, const std::string& mapsFolder,
              const std::string& packagesFolder, std::string& written, std::string& error)
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
        PathNodeFields::SetCheckpoint(*node, n.checkpoint);
        PathNodeFields::SetHoldTime(*node, n.hold);
        PathNodeFields::SetHealingValue(*node, n.healing);
        PathNodeFields::SetEffectValue(*node, n.effect);
        PathNodeFields::SetHeadlightZone(*node, n.headlights);
        PathNodeFields::SetZoneByte(*node, n.zone);
        actors.push_back(std::move(node));
    }
    // The track's segments: a static triangle-mesh actor each, in world coordinates (identity pose, unit
    // scale: scaled mesh bodies would collide at their unscaled size).
    std::vector<MapTrackSegment> segments;
    std::vector<std::string> partials;
    const std::string meshFolder =
        packagesFolder.empty() ? std::string() : SysPath::Join(packagesFolder, "Maps/" + map.SegmentFolder());
    if (!packagesFolder.empty())
    {
        segments = BuildTrackSegments(map);
        if (!WriteSegments(map, segments, meshFolder, partials, error))
        {
            RemovePartials(partials);
            return false;
        }
        for (const MapTrackSegment& segment : segments)
        {
            auto actor = std::make_unique<WeActor>();
            actor->m_ModelName = segment.name.c_str();
            actor->m_PhysicModel.physicsClass = 4;
            actor->m_PhysicModel.collisionGroup = 0;
            actors.push_back(std::move(actor));
        }
    }
    // Start indices run from 1: a participant's start place 1..6 selects the location of that index.
    const std::vector<D3DXMATRIX> starts = map.gameMap ? BuildGameStartFrames(map) : BuildStartFrames(map, nodes);
    for (size_t i = 0; i < starts.size(); ++i)
    {
        const int32_t index = static_cast<int32_t>(i) + 1;
        std::unique_ptr<WeActor> start;
        if (map.gameMap && g_Makers.startLocation)
            start.reset(g_Makers.startLocation(index));
        else
        {
            auto stand = std::make_unique<MapStartLocation>();
            stand->m_StartIndex = index;
            start = std::move(stand);
        }
        start->SetTransform(starts[i]);
        actors.push_back(std::move(start));
    }
    for (const MapPickup& p : map.pickups)
    {
        const auto fail = [&](const std::string& message)
        {
            RemovePartials(partials);
            error = fileName + ":" + std::to_string(p.line) + ": " + message;
            return false;
        };
        if (!g_Makers.pickupType || !g_Makers.pickup)
            return fail("pickups are made by the game, and it registered no maker");
        const int32_t type = g_Makers.pickupType(p.kind);
        if (type == 0)
            return fail("unknown pickup kind: " + p.kind);
        std::unique_ptr<WeActor> pickup(g_Makers.pickup(type, p.random));
        if (!pickup)
            return fail("no pickup of kind " + p.kind);
        pickup->SetLocation(PlacePickup(map, p));
        actors.push_back(std::move(pickup));
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

    for (const MapEffectActor& e : map.effects)
    {
        std::unique_ptr<WeActor> actor;
        if (!BuildEffect(e, fileName, map.packagesFolder, actor, error))
            return false;
        actors.push_back(std::move(actor));
    }

    const std::string path = SysPath::Join(mapsFolder, map.name + ".map");
    const std::string partial = path + ".partial";
    std::remove(partial.c_str());
    WeFileStream stream;
    if (!stream.Create(partial.c_str()))
    {
        RemovePartials(partials);
        error = partial + ": cannot be created";
        return false;
    }
    bool ok = stream.WriteInt32(1);
    if (ok && g_HeaderWriter)
    {
        std::string why;
        if (!g_HeaderWriter(stream, map, fileName, why))
        {
            stream.Close();
            std::remove(partial.c_str());
            RemovePartials(partials);
            error = why.empty() ? path + ": the map header could not be written" : why;
            return false;
        }
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
        RemovePartials(partials);
        error = path + ": cannot be written";
        return false;
    }
    // The map is whole: the segments replace whatever an earlier build of this map left.
    if (!meshFolder.empty())
    {
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(meshFolder, ec))
        {
            const std::string leaf = entry.path().filename().string();
            if (leaf.rfind("Track", 0) == 0 && entry.path().extension() == ".mesh")
                std::filesystem::remove(entry.path(), ec);
        }
        for (const std::string& p : partials)
        {
            const std::string final = p.substr(0, p.size() - std::string(".partial").size());
            if (std::rename(p.c_str(), final.c_str()) != 0)
            {
                error = final + ": cannot be written";
                return false;
            }
            written += final + "\n";
        }
    }
    // The plan pictures go into the packages tree beside the segments.
    if (!packagesFolder.empty() &&
        !WriteMapPlans(map, nodes, fileName, packagesFolder, g_PreviewFolder, written, error))
        return false;
    written += path + ": " + std::to_string(segments.size()) + " track segments, " + std::to_string(nodes.size()) +
               " path nodes, " + std::to_string(starts.size()) + " start locations, " +
               std::to_string(map.pickups.size()) + " pickups, " + std::to_string(map.actors.size()) + " actors, " +
               std::to_string(map.effects.size()) + " lights, particle systems and portals\n";
    return true;
}
