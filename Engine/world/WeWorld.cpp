#include "Engine/world/WeWorld.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeExeFolder.h"
#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/foundation/WeTickCost.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeCamera.h"
#include "Engine/render/WeMaterialManager.h"
#include "Engine/render/WeModel.h"
#include "Engine/render/WeModelManager.h"
#include "Engine/render/WePostProcess.h"
#include "Engine/render/WeReflectionRenderer.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeRenderQueue.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/world/WeActor.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Engine/world/WePathNode.h"
#include "Engine/world/WePhysics.h"
#include "Engine/world/WePortal.h"
#include "Engine/world/WeSceneTree.h"
#include "Engine/world/WeSkyBox.h"
#include "Platform/system/SysPath.h"

bool g_WorldDestroying = false;

namespace
{

using ActorTable = WeHashTable<WeActor*>;

// A walk works on a copy of the table's entries and re-checks each entry before use, so that actors
// added, removed or deleted during the walk neither break it nor are reached after they left.
struct WalkEntry
{
    WalkEntry(const WeString& name, WeActor* who) : actor(who), length(name.Length())
    {
        // Actor keys are short numbers: copied inline, a walk costs no string buffer per entry.
        if (length < InlineKey)
            std::memcpy(shortKey, name.c_str(), static_cast<size_t>(length) + 1);
        else
            longKey = name;
    }
    const char* Key() const { return length < InlineKey ? shortKey : longKey.c_str(); }

    static constexpr int32_t InlineKey = 24;
    WeActor* actor;
    int32_t length;
    char shortKey[InlineKey];
    WeString longKey;
};

std::vector<WalkEntry> Snapshot(ActorTable& table)
{
    std::vector<WalkEntry> entries;
    entries.reserve(static_cast<size_t>(table.Count()));
    for (ActorTable::Entry* e = table.First(); e != nullptr; e = table.Next())
        entries.emplace_back(e->key, e->value);
    return entries;
}

bool StillIn(ActorTable& table, const WalkEntry& entry)
{
    WeActor* found = nullptr;
    return table.Find(entry.Key(), entry.length, &found) && found == entry.actor;
}

// An actor's tick, charged to its kind's stage when a benchmark splits the tick.
void TickActor(WeActor* actor)
{
    if (g_TickCost.IsEnabled() && g_TickCost.m_ActorStage != nullptr)
    {
        WeTickCost::Scope cost(g_TickCost.m_ActorStage(actor->m_Type));
        actor->Tick();
    }
    else
        actor->Tick();
}

void RemoveFrom(ActorTable& table, WeActor* actor)
{
    WeActor* found = nullptr;
    if (table.Find(actor->m_Name, &found) && found == actor)
        table.Remove(actor->m_Name);
}

void InsertOnce(ActorTable& table, WeActor* actor)
{
    WeActor* found = nullptr;
    if (!(table.Find(actor->m_Name, &found) && found == actor))
        table.Insert(actor->m_Name, actor);
}

float DistanceSq(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    const float x = a.x - b.x, y = a.y - b.y, z = a.z - b.z;
    return x * x + y * y + z * z;
}

float Distance(WeActor* a, WeActor* b)
{
    return std::sqrt(DistanceSq(a->GetWorldPosition(), b->GetWorldPosition()));
}

D3DXVECTOR3 Forward(WeActor* a)
{
    const D3DXMATRIX& m = a->GetWorldMatrix();
    return D3DXVECTOR3(m._31, m._32, m._33);
}

float Dot(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

}  // namespace

WeWorld::WeWorld()
{
    m_SkyBox = new WeSkyBox();
    const D3DXVECTOR3 center(m_SceneTreeCenter, m_SceneTreeCenter, m_SceneTreeCenter);
    m_SceneTree = new WeSceneTree(this, center, m_SceneTreeHalfSize, m_SceneTreeDepth);
}

void (*WeWorld::s_LoadEditorFont)() = nullptr;

namespace
{
bool g_EditorResourcesLoaded = false;
WeMaterial* g_EditorMaterial = nullptr;
WeModel* g_EditorModels[4] = {};
}  // namespace

void WeWorld::LoadEditorResources()
{
    // Once for the program, and only for an editor world: the game never sets editor mode, so it never
    // needs these (and a world can be built without fonts).
    if (g_EditorResourcesLoaded)
        return;
    g_EditorResourcesLoaded = true;
    g_EditorMaterial = g_MaterialManager.GetMaterial("MapEditor.Materials.Debug", false, false);
    if (!g_EditorMaterial)
        WeDebugPrint("MISSING EDITOR MATERIAL: %s\n", "MapEditor.Materials.Debug");
    if (s_LoadEditorFont)
        s_LoadEditorFont();
    const char* models[4] = {"MapEditor.Geometry.Box1m", "MapEditor.Geometry.Sphere1m", "MapEditor.Geometry.PathNode",
                             "MapEditor.Geometry.Light"};
    for (int i = 0; i < 4; ++i)
    {
        g_EditorModels[i] = g_ModelManager.Load(models[i], 0);
        if (!g_EditorModels[i])
            WeDebugPrint("MISSING EDITOR MODEL: %s\n", models[i]);
    }
}

void WeWorld::ReleaseEditorResources()
{
    for (WeModel*& model : g_EditorModels)
    {
        delete model;
        model = nullptr;
    }
    g_EditorMaterial = nullptr;
    g_EditorResourcesLoaded = false;
}

WeWorld::~WeWorld()
{
    // Bodies are about to go: a step still running must end first.
    if (g_Engine.m_StepRunning && g_Engine.GetDevices() != nullptr)
        g_Engine.EndPhysicsStep();
    else if (g_Physics.IsStepPending())
        g_Physics.FetchResults();

    delete m_SceneTree;
    m_SceneTree = nullptr;
    m_DeferDeletes = true;
    g_WorldDestroying = true;
    std::vector<WalkEntry> all = Snapshot(m_Actors);
    m_Actors.Clear();
    for (const WalkEntry& entry : all)
    {
        entry.actor->m_World = nullptr;
        entry.actor->m_SceneTree = nullptr;
        delete entry.actor;
    }
    m_DeferDeletes = false;
    g_WorldDestroying = false;
    delete m_SkyBox;
    m_SkyBox = nullptr;
    delete m_MapStream;
    m_MapStream = nullptr;
    m_PendingDeletion.Clear();
}

void WeWorld::OnLoad(WeFileStream*, const WeString&) {}

void WeWorld::OnSave(WeFileStream&) {}

WeActor* WeWorld::CreateActor(int32_t typeCode)
{
    switch (typeCode)
    {
    case -6: return new WePathNode();
    case -2: return new WeLight();
    case -13: return new WeNewParticleSystem();
    case -11: return new WePortal();
    default: return new WeActor();
    }
}

WeActor* WeWorld::CreateLoadedActor(int32_t typeCode)
{
    WeActor* actor = CreateActor(typeCode);
    if (actor)
        actor->m_EditorMode = m_EditorMode;
    return actor;
}

bool WeWorld::IsInTable(ActorTable& table, WeActor* actor)
{
    WeActor* found = nullptr;
    return actor && table.Find(actor->m_Name, &found) && found == actor;
}

void WeWorld::AddActor(WeActor* actor)
{
    if (!actor)
        return;
    if (actor->m_World)
        actor->m_World->RemoveActor(actor);
    if (m_EditorMode)
        LoadEditorResources();
    actor->m_Number = ++m_ActorCounter;
    actor->m_World = this;
    actor->m_Name = WeString();
    actor->m_Name.AppendInt(actor->m_Number);
    m_Actors.Insert(actor->m_Name, actor);
    actor->m_EditorMode = m_EditorMode;
    actor->m_SpawnTime = m_WorldTime;
    if (actor->m_Type == -2)
        InsertOnce(m_Lights, actor);
    // By class, not by the type field: a record may claim a type its class is not.
    else if (dynamic_cast<WePathNode*>(actor))
        InsertOnce(m_PathNodes, actor);
    else if (actor->m_Type == -11)
        InsertOnce(m_Portals, actor);
    // Marked before it had a world: it goes on the pending list now.
    if (actor->m_PendingDeletion)
        m_PendingDeletion.PushBack(actor);
    actor->Init();
}

void WeWorld::RegisterActor(WeActor* actor)
{
    if (!actor || actor->m_World != this)
        return;
    // Registering again must not file the actor twice.
    RemoveFrom(m_QueueLights, actor);
    RemoveFrom(m_Tick, actor);
    RemoveFrom(m_PreTick, actor);
    RemoveFrom(m_Timed, actor);
    RemoveFrom(m_Live, actor);

    if (m_SceneTree)
    {
        if (actor->m_SceneTree)
            actor->m_SceneTree->Remove(actor, actor->m_SceneTree);
        if (!m_EditorMode && dynamic_cast<WePathNode*>(actor))
            m_SceneTree->Insert(actor, actor->m_SceneTree, actor->GetWorldPosition(), actor->m_BoundingSphere, false);
    }
    if (actor->m_Type == -2)
        m_QueueLights.Insert(actor->m_Name, actor);
    const bool fixedStatic = actor->m_PositionFixed && actor->m_OrientationFixed && actor->m_Static;
    const bool needsTick =
        !(fixedStatic && !actor->m_EditorMode && actor->m_SoundName.IsEmpty()) || actor->m_Parent != nullptr;
    actor->m_WantsTick = actor->m_WantsTick || needsTick;
    if (actor->m_WantsTick)
        m_Tick.Insert(actor->m_Name, actor);
    if (actor->m_WantsPreTick)
        m_PreTick.Insert(actor->m_Name, actor);
    if (!actor->m_NoLifeTime)
        m_Timed.Insert(actor->m_Name, actor);
    if (!actor->m_PendingDeletion && !fixedStatic)
        m_Live.Insert(actor->m_Name, actor);
}

void WeWorld::DetachChildrenOf(WeActor* parent)
{
    // Called for every actor that leaves: the children are gathered first (detaching reaches no table),
    // without copying the whole table's keys.
    std::vector<WeActor*> children;
    for (ActorTable::Entry* e = m_Actors.First(); e != nullptr; e = m_Actors.Next())
        if (e->value->m_Parent == parent)
            children.push_back(e->value);
    for (WeActor* child : children)
        child->Detach();
}

bool WeWorld::RemoveActor(WeActor* actor)
{
    if (!actor || actor->m_World != this)
        return false;
    RemoveFrom(m_Actors, actor);
    RemoveFrom(m_Lights, actor);
    RemoveFrom(m_QueueLights, actor);
    RemoveFrom(m_PathNodes, actor);
    RemoveFrom(m_Portals, actor);
    RemoveFrom(m_PreTick, actor);
    RemoveFrom(m_Tick, actor);
    RemoveFrom(m_Timed, actor);
    RemoveFrom(m_Live, actor);
    // A pending actor leaves the pending list too, so the deletion pass never deletes it twice.
    for (WeList<WeActor*>::Node* node = m_PendingDeletion.FirstNode(); node != nullptr;)
    {
        WeList<WeActor*>::Node* next = m_PendingDeletion.NextNode(node);
        if (node->payload == actor)
            m_PendingDeletion.Remove(node);
        node = next;
    }
    if (m_FirstPathNode == actor)
        m_FirstPathNode = nullptr;
    actor->m_World = nullptr;
    actor->ReleasePhysicsHandle();
    if (actor->m_SceneTree)
        actor->m_SceneTree->Remove(actor, actor->m_SceneTree);
    // Children keep their place in the world as fixed matrices rather than reading a freed parent.
    if (!g_WorldDestroying)
        DetachChildrenOf(actor);
    if (dynamic_cast<WePathNode*>(actor))
    {
        // Path links into the leaving node would dangle.
        for (const WalkEntry& entry : Snapshot(m_PathNodes))
        {
            WePathNode* n = static_cast<WePathNode*>(entry.actor);
            if (n->m_Next == actor)
                n->m_Next = nullptr;
            if (n->m_Previous == actor)
                n->m_Previous = nullptr;
            if (n->m_Branch == actor)
                n->m_Branch = nullptr;
            if (n->m_SecondPrevious == actor)
                n->m_SecondPrevious = nullptr;
            if (n->m_Partner == actor)
                n->m_Partner = nullptr;
        }
    }
    return true;
}

void WeWorld::EnterTimed(WeActor* actor)
{
    if (actor && actor->m_World == this)
        InsertOnce(m_Timed, actor);
}

void WeWorld::EnterPendingDeletion(WeActor* actor)
{
    if (!actor || actor->m_World != this)
        return;
    RemoveFrom(m_Live, actor);
    if (!m_PendingDeletion.Contains(actor))
        m_PendingDeletion.PushBack(actor);
}

WeActor* WeWorld::FindActorByLabel(const WeString& text)
{
    for (const WalkEntry& entry : Snapshot(m_Actors))
        if (entry.actor->m_Label == text)
            return entry.actor;
    return nullptr;
}

void WeWorld::Tick()
{
    ++m_TickCounter;
    const float frameTime = g_Timer.m_FrameDeltaF;
    m_WorldTime += frameTime;
    if (m_SkyBox)
        m_SkyBox->Tick();

    for (const WalkEntry& entry : Snapshot(m_Timed))
    {
        if (!StillIn(m_Timed, entry))
            continue;
        WeActor* actor = entry.actor;
        actor->m_LifeTime -= frameTime;
        if (actor->m_LifeTime <= 0.0f)
        {
            actor->Detach();
            actor->Expire();
        }
    }

    {
        WeTickCost::Scope cost(WeCostStage::Physics);
        for (const WalkEntry& entry : Snapshot(m_Live))
        {
            if (!StillIn(m_Live, entry))
                continue;
            WeActor* actor = entry.actor;
            if (!(actor->m_PositionFixed && actor->m_OrientationFixed))
            {
                // This frame's render matrix is built in the other buffer; the model keeps the last one.
                if (actor->m_Model)
                    actor->m_Model->m_PrevWorldMatrix = actor->m_RenderMatrix;
                actor->m_RenderBufferIndex ^= 1;
            }
            if (!actor->m_Static && actor->m_PhysicHandle)
            {
                // Cloth copies its simulated vertices with the cloth renderer's work; bodies are pulled.
                if (actor->m_PhysicModel.physicsClass != 9)
                    actor->SyncPhysics(true);
            }
        }
    }

    for (const WalkEntry& entry : Snapshot(m_PreTick))
        if (StillIn(m_PreTick, entry) && !entry.actor->m_PendingDeletion)
            entry.actor->PreTick();

    for (const WalkEntry& entry : Snapshot(m_Tick))
    {
        if (!StillIn(m_Tick, entry) || entry.actor->m_PendingDeletion)
            continue;
        WeActor* actor = entry.actor;
        if (actor->m_Parent)
        {
            WeActor* parent = actor->m_Parent;
            if (parent->m_TickStamp < m_TickCounter)
            {
                parent->m_TickStamp = m_TickCounter;
                TickActor(parent);
            }
            // The parent's Tick may have deleted or detached things; re-check before use.
            if (!StillIn(m_Tick, entry))
                continue;
            actor->UpdateMatrices();
        }
        if (actor->m_TickStamp < m_TickCounter)
        {
            actor->m_TickStamp = m_TickCounter;
            TickActor(actor);
        }
    }

    RunDeletionPass();
}

void WeWorld::RunDeletionPass()
{
    m_DeferDeletes = false;
    // The list is moved aside first: destructors that mark or delete further actors change it. Each
    // entry is checked by its key before use, since a destructor earlier in the pass may have deleted it.
    std::vector<WalkEntry> doomed;
    for (WeList<WeActor*>::Node* node = m_PendingDeletion.FirstNode(); node != nullptr;
         node = m_PendingDeletion.NextNode(node))
        doomed.emplace_back(node->payload->m_Name, node->payload);
    m_PendingDeletion.Clear();
    for (const WalkEntry& entry : doomed)
        if (StillIn(m_Actors, entry))
            delete entry.actor;
    m_DeferDeletes = true;
}

void WeWorld::Render(WeCamera* camera)
{
    WeTickCost::Scope cost(WeCostStage::WorldRender);
    UpdatePortalVisibility(camera);
    if (g_RenderDevice.m_ReflectionQuality > 1)
    {
        g_Timer.BeginSection(11, "Reflection Renderer - Prepare");
        g_ReflectionRenderer.PrepareFrame();
        g_Timer.EndSection(11);
        g_Timer.BeginSection(12, "Reflection Renderer - Render");
        g_ReflectionRenderer.Render(this, camera);
        g_Timer.EndSection(12);
    }
    g_PostProcess.BeginScene();
    g_RenderDevice.Clear(true, g_RenderDevice.m_ClearColor, true, 1.0f, g_RenderDevice.m_RefractionOn != 0, 0);
    g_Timer.BeginSection(21, "World Renderer - Prepare");
    g_RenderQueue.Prepare(this, camera);
    g_Timer.EndSection(21);
    g_Timer.BeginSection(22, "World Renderer - Render");
    g_RenderQueue.Render();
    g_Timer.EndSection(22);
    g_PostProcess.EndScene();
    g_Timer.BeginSection(23, "World Renderer - PostProcess");
    WeTickCost::Scope post(WeCostStage::PostProcess);
    g_PostProcess.Render();
    g_Timer.EndSection(23);
}

void WeWorld::UpdatePortalVisibility(WeCamera* camera)
{
    if (camera)
        UpdatePortalVisibility(camera->m_Position);
}

void WeWorld::UpdatePortalVisibility(const D3DXVECTOR3& eye)
{
    const std::vector<WalkEntry> portals = Snapshot(m_Portals);
    for (const WalkEntry& entry : portals)
    {
        WePortal* s = dynamic_cast<WePortal*>(entry.actor);
        if (!s)
            continue;
        s->m_Visible = false;
        if (!s->m_Active)
            continue;
        s->m_Visible = true;
        const D3DXVECTOR3 position = s->GetWorldPosition();
        for (const WalkEntry& other : portals)
        {
            WePortal* o = dynamic_cast<WePortal*>(other.actor);
            if (!o || o == s || !o->m_Active || !(s->m_LimitedReach || !o->m_LimitedReach))
                continue;
            if (o->Side(position) * o->Side(eye) < 0.0f)
            {
                s->m_Visible = false;
                break;
            }
        }
    }
}

bool WeWorld::IsVisibleThroughPortals(const WeBoundingSphere& sphere, WeCamera* camera)
{
    return !camera || IsVisibleThroughPortals(sphere, camera->m_Position);
}

bool WeWorld::IsVisibleThroughPortals(const WeBoundingSphere& sphere, const D3DXVECTOR3& eye)
{
    if (!m_PortalsEnabled)
        return true;
    for (ActorTable::Entry* e = m_Portals.First(); e != nullptr; e = m_Portals.Next())
    {
        WePortal* o = dynamic_cast<WePortal*>(e->value);
        if (!o || !o->m_Visible || !o->m_Active)
            continue;
        const float side = o->Side(sphere.center);
        if (side * o->Side(eye) >= 0.0f)
            continue;
        if (!o->m_LimitedReach)
            return false;
        const float reach = side > 0.0f ? o->m_FrontReach : o->m_BackReach;
        if (std::sqrt(DistanceSq(o->GetWorldPosition(), sphere.center)) > sphere.radius + reach)
            return false;
    }
    return true;
}

int32_t WeWorld::CountTableEntries(WeActor* actor)
{
    ActorTable* tables[] = {&m_Actors,  &m_PreTick, &m_Tick,        &m_Timed,    &m_Live,
                            &m_Portals, &m_Lights,  &m_QueueLights, &m_PathNodes};
    int32_t count = 0;
    for (ActorTable* table : tables)
        for (ActorTable::Entry* e = table->First(); e != nullptr; e = table->Next())
            if (e->value == actor)
                ++count;
    return count;
}

void WeWorld::OnActorLoaded(WeActor* actor)
{
    WePathNode* node = dynamic_cast<WePathNode*>(actor);
    if (!node)
        return;
    const D3DXVECTOR3 p = node->GetWorldPosition();
    if (node->m_Kind == WePathNode::Plain && std::fabs(p.x) < 0.001f && std::fabs(p.y) < 0.001f &&
        std::fabs(p.z) < 0.001f)
        node->m_DiscardOnLoad = true;
}

WeString WeWorld::GetMapPath(const WeString& mapName) const
{
    const std::string folder =
        m_MapsFolder.IsEmpty() ? SysPath::Join(GetExeFolder().c_str(), "Maps") : std::string(m_MapsFolder.c_str());
    std::string file(mapName.c_str(), static_cast<size_t>(mapName.Length()));
    file += ".map";
    return WeString(SysPath::Join(folder, file).c_str());
}

bool WeWorld::BeginLoad(const WeString& mapName)
{
    if (m_EditorMode)
        LoadEditorResources();
    m_Loaded = false;
    m_Loading = false;
    m_LoadProgress = 0.0f;
    delete m_MapStream;
    m_MapStream = new WeFileStream();
    const WeString path = GetMapPath(mapName);
    if (!m_MapStream->Open(path))
    {
        delete m_MapStream;
        m_MapStream = nullptr;
        return false;
    }
    m_MapStream->ClearShortRead();
    m_MapVersion = m_MapStream->ReadInt32();
    // A file too short to hold its version is not a map.
    if (m_MapStream->HadShortRead())
    {
        delete m_MapStream;
        m_MapStream = nullptr;
        m_MapVersion = 0;
        return false;
    }
    m_HeaderEnd = 4;
    if (m_MapVersion > 0)
    {
        OnLoad(m_MapStream, mapName);
        m_HeaderEnd = m_MapStream->Tell();
        m_SkyBox->Load(*m_MapStream);
        m_SkyBox->LoadMesh();
    }
    m_LastReadPath = path;
    m_Loading = true;
    return true;
}

bool WeWorld::LoadStep()
{
    if (m_Loaded)
        return true;
    if (!m_Loading || !m_MapStream)
        return false;
    WeFileStream& stream = *m_MapStream;
    if (!stream.IsEof())
    {
        const int32_t typeCode = stream.ReadInt32();
        if (!stream.IsEof())
        {
            WeActor* actor = CreateLoadedActor(typeCode);
            actor->m_LoadedFromMap = true;
            const bool intact = actor->Load(stream);
            static const bool s_disableStatics = GetConfigBool("debug.Physics.DisableStatics", false);
            static const bool s_disableDynamics = GetConfigBool("debug.Physics.DisableDynamics", false);
            if (actor->m_Type == -3)
            {
                actor->m_Type = -1;
                actor->m_PhysicModel.physicsClass = 4;
            }
            if (!m_EditorMode && actor->m_Type == -1)
            {
                int32_t& cls = actor->m_PhysicModel.physicsClass;
                if (s_disableStatics && cls >= 1 && cls <= 4)
                    cls = 0;
                if (s_disableDynamics && cls >= 5 && cls <= 8)
                    cls = 0;
                if (cls >= 0 && cls <= 4)
                {
                    actor->m_Static = true;
                    actor->m_PositionFixed = true;
                    actor->m_OrientationFixed = true;
                }
            }
            if (m_LightsOfKind2)
                if (WeLight* light = dynamic_cast<WeLight*>(actor))
                    light->m_Kind = 2;
            OnActorLoaded(actor);
            if (!intact)
            {
                // A record that runs past the end of the file is not added.
                WeDebugPrint("Map %s: the last actor record is cut short and was dropped\n", m_LastReadPath.c_str());
                delete actor;
            }
            else if (actor->m_DiscardOnLoad)
                delete actor;
            else
                AddActor(actor);
            const int64_t size = stream.GetSize();
            m_LoadProgress = size > 0 ? static_cast<float>(static_cast<double>(stream.Tell()) / size) : 1.0f;
            if (m_LoadProgress > 1.0f)
                m_LoadProgress = 1.0f;
        }
    }
    if (!stream.IsEof())
        return true;

    m_LoadProgress = 1.0f;
    EndLoad(true);
    for (const WalkEntry& entry : Snapshot(m_Actors))
    {
        if (StillIn(m_Actors, entry) && entry.actor->m_PhysicModel.physicsClass == 9)
        {
            entry.actor->ReleasePhysicsHandle();
            entry.actor->CreatePhysicsHandle();
        }
    }
    BuildTrackPath(!m_EditorMode);
    OnLoaded();
    return true;
}

void WeWorld::EndLoad(bool loaded)
{
    delete m_MapStream;
    m_MapStream = nullptr;
    m_Loaded = loaded;
    m_Loading = false;
}

bool WeWorld::Load(const WeString& mapName)
{
    if (mapName.IsEmpty())
        return false;
    WeFileStream stream;
    const WeString path = GetMapPath(mapName);
    const bool opened = stream.Open(path);
    int32_t version = 0;
    if (opened)
    {
        stream.ClearShortRead();
        version = stream.ReadInt32();
        if (stream.HadShortRead())
            version = 0;
    }
    // The game's override checks that the stream is open; a version-0 map has no header to read.
    if (!opened || version > 0)
        OnLoad(&stream, mapName);
    if (!opened)
        return false;
    m_LastReadPath = path;
    m_HeaderEnd = version > 0 ? stream.Tell() : 4;
    m_MapVersion = version;
    stream.Close();
    return true;
}

bool WeWorld::Save(const WeString& fileName)
{
    if (fileName.IsEmpty() || !WeFileStream::FileExists(fileName))
        return false;
    // Without knowing where the old header ended the rest of the file cannot be kept.
    if (m_HeaderEnd < 4 || !(fileName == m_LastReadPath))
        return false;
    WeFileStream old;
    if (!old.Open(fileName))
        return false;
    old.ClearShortRead();
    const int32_t oldVersion = old.ReadInt32();
    const int64_t size = old.GetSize();
    if (old.HadShortRead() || m_HeaderEnd > size)
        return false;
    std::vector<char> rest(static_cast<size_t>(size - m_HeaderEnd));
    old.Seek(m_HeaderEnd, 0);
    if (!rest.empty() && old.Read(rest.data(), static_cast<int64_t>(rest.size())) != static_cast<int64_t>(rest.size()))
        return false;
    old.Close();

    WeString temporary(fileName);
    temporary += ".partial";
    std::remove(temporary.c_str());  // a stale one from an interrupted save
    WeFileStream out;
    if (!out.Create(temporary))
        return false;
    out.WriteInt32(1);
    OnSave(out);
    const int64_t headerEnd = out.Tell();
    // A version-0 file had no sky-box record: this world's goes in.
    if (oldVersion <= 0)
        m_SkyBox->Save(out);
    bool written = rest.empty() || out.Write(rest.data(), static_cast<int64_t>(rest.size()));
    out.Close();
    if (!written || std::rename(temporary.c_str(), fileName.c_str()) != 0)
    {
        std::remove(temporary.c_str());
        return false;
    }
    m_HeaderEnd = headerEnd;
    return true;
}

// Track path.

WePathNode* WeWorld::FindPathNodeById(int32_t id)
{
    for (const WalkEntry& entry : Snapshot(m_PathNodes))
        if (static_cast<WePathNode*>(entry.actor)->m_Id == id)
            return static_cast<WePathNode*>(entry.actor);
    return nullptr;
}

WePathNode* WeWorld::FindNextPathNode(int32_t afterId, int32_t kind, int32_t maxId)
{
    WePathNode* best = nullptr;
    for (const WalkEntry& entry : Snapshot(m_PathNodes))
    {
        WePathNode* n = static_cast<WePathNode*>(entry.actor);
        if (n->m_Id > afterId && (kind < 0 || n->m_Kind == kind) && (!best || n->m_Id < best->m_Id))
            best = n;
    }
    if (best && maxId > 0 && best->m_Id > maxId)
        return nullptr;
    return best;
}

void WeWorld::BuildTrackPath(bool createDefaultNode)
{
    for (const WalkEntry& entry : Snapshot(m_PathNodes))
    {
        WePathNode* n = static_cast<WePathNode*>(entry.actor);
        n->m_OnTrack = false;
        n->m_Visited = false;
    }
    m_FirstPathNode = FindNextPathNode(0, WePathNode::Plain, 0);
    if (m_FirstPathNode)
    {
        WePathNode* first = m_FirstPathNode;
        first->m_Visited = true;
        first->m_DistanceAlongPath = 0.0f;
        WePathNode* last = nullptr;
        float length = 0.0f;
        LinkTrackPath(first, 0, 0, &last, &length);
        if (!last)
            last = first;
        last->m_Next = first;
        first->m_Previous = last;
        m_TrackLength = length + Distance(last, first);
    }
    else
    {
        if (!createDefaultNode)
            return;
        WePathNode* node = new WePathNode();
        AddActor(node);
        node->m_Next = node->m_Previous = node;
        node->m_Visited = true;
        node->m_DistanceAlongPath = 0.0f;
        m_FirstPathNode = node;
        m_TrackLength = 1.0f;
    }
    if (m_TrackLength <= 0.0f)
        m_TrackLength = 1.0f;
    AssignTrackFractions(m_FirstPathNode, m_FirstPathNode, 0.0f, 1.0f);
}

void WeWorld::LinkTrackPath(WePathNode* start, int32_t maxId, int32_t tag, WePathNode** lastNode, float* length)
{
    WePathNode* p = start;
    int32_t candidateId = start->m_Id;
    // Each step visits or skips one node, so the walk ends within the number of nodes.
    for (int32_t guard = m_PathNodes.Count() + 1; guard > 0; --guard)
    {
        WePathNode* q = nullptr;
        for (int32_t after = candidateId;;)
        {
            q = FindNextPathNode(after, -1, maxId);
            if (!q || !q->m_Visited)
                break;
            after = q->m_Id;
        }
        if (!q)
            break;
        candidateId = q->m_Id;
        q->m_BranchTag = tag;
        if (q->m_Kind == WePathNode::Plain)
        {
            q->m_Visited = true;
            p->m_Next = q;
            q->m_Previous = p;
            *length += Distance(p, q);
            q->m_DistanceAlongPath = *length;
            p = q;
        }
        else if (q->m_Kind == WePathNode::Fork)
        {
            WePathNode* fork = q;
            WePathNode* join = FindNextPathNode(fork->m_Id, WePathNode::Join, maxId);
            if (!join || fork->m_Link1 > join->m_Link1)
                break;
            WePathNode* a = FindPathNodeById(fork->m_Link1);
            WePathNode* b = FindPathNodeById(fork->m_Link2);
            if (!a || !b || a == fork || b == fork || a == b)
                break;
            a->m_Visited = b->m_Visited = fork->m_Visited = join->m_Visited = true;
            a->m_BranchTag = 1;
            b->m_BranchTag = 2;
            float lengthA = Distance(fork, a);
            float lengthB = Distance(fork, b);
            a->m_DistanceAlongPath = lengthA;
            b->m_DistanceAlongPath = lengthB;
            WePathNode* lastA = nullptr;
            WePathNode* lastB = nullptr;
            LinkTrackPath(a, join->m_Link1, 1, &lastA, &lengthA);
            LinkTrackPath(b, join->m_Link2, 2, &lastB, &lengthB);
            if (!lastA || !lastB)
                break;
            lengthA += Distance(lastA, join);
            lengthB += Distance(lastB, join);
            lastA->m_Visited = lastB->m_Visited = true;
            p->m_Next = fork;
            fork->m_Previous = p;
            fork->m_Partner = join;
            join->m_Partner = fork;
            *length += Distance(p, fork);
            fork->m_DistanceAlongPath = *length;
            const bool aShorter = lengthA <= lengthB;
            WePathNode* shortFirst = aShorter ? a : b;
            WePathNode* shortLast = aShorter ? lastA : lastB;
            WePathNode* longFirst = aShorter ? b : a;
            WePathNode* longLast = aShorter ? lastB : lastA;
            const float shortLength = aShorter ? lengthA : lengthB;
            const float longLength = aShorter ? lengthB : lengthA;
            fork->m_Next = shortFirst;
            shortLast->m_Next = join;
            join->m_Previous = shortLast;
            fork->m_Branch = longFirst;
            longLast->m_Next = join;
            join->m_SecondPrevious = longLast;
            shortFirst->m_Previous = fork;
            longFirst->m_Previous = fork;
            fork->m_BranchWeight = longLength > 0.0f ? shortLength / longLength : 1.0f;
            *length += shortLength;
            join->m_DistanceAlongPath = *length;
            p = join;
            candidateId = join->m_Id > candidateId ? join->m_Id : candidateId;
        }
        else if (q->m_Kind == WePathNode::JumpStart)
        {
            WePathNode* end = FindNextPathNode(p->m_Id, WePathNode::JumpEnd, maxId);
            if (!end)
                break;
            q->m_Link1 = end->m_Id;
            q->m_Visited = end->m_Visited = true;
            p->m_Next = q;
            q->m_Previous = p;
            q->m_Next = end;
            end->m_Previous = q;
            q->m_Partner = end;
            end->m_Partner = q;
            *length += Distance(p, q);
            q->m_DistanceAlongPath = *length;
            end->m_DistanceAlongPath = *length;
            end->m_BranchTag = tag;
            p = end;
        }
        else
            q->m_Visited = true;
    }
    *lastNode = p;
}

void WeWorld::AssignTrackFractions(WePathNode* from, WePathNode* to, float start, float weight)
{
    if (!from || !to || m_TrackLength <= 0.0f)
        return;
    WePathNode* n = from;
    // Bounded by the number of nodes: a broken link chain never loops forever.
    for (int32_t guard = m_PathNodes.Count() + 1; n && guard > 0; --guard)
    {
        n->m_Fraction = (n->m_DistanceAlongPath * weight + start) / m_TrackLength;
        n->m_Distance = m_TrackLength * n->m_Fraction;
        n->m_OnTrack = true;
        if (n->m_Kind == WePathNode::Fork && n->m_Partner && n->m_Next && n->m_Branch)
        {
            WePathNode* join = n->m_Partner;
            AssignTrackFractions(n->m_Next, join, n->m_DistanceAlongPath, 1.0f);
            AssignTrackFractions(n->m_Branch, join, n->m_DistanceAlongPath, n->m_BranchWeight);
            n = join;
            if (n == to)
                break;
            continue;
        }
        n = n->m_Next;
        if (n == to)
            break;
    }
}

WePathNode* WeWorld::FindNearestPathNode(const D3DXVECTOR3& point, WePathNode* hint)
{
    // Each search stamps the nodes it enters with its own number, so that two searches in one tick
    // do not skip each other's nodes.
    ++m_SearchCounter;
    if (m_SearchCounter < 0)
        m_SearchCounter = 0;
    const int32_t stamp = m_SearchCounter;
    WePathNode* candidate = nullptr;
    if (hint)
    {
        std::vector<WePathNode*> queue;
        queue.push_back(hint);
        hint->m_SearchStamp[0] = stamp;
        float best = 0.0f;
        WePathNode* nearest = nullptr;
        for (size_t taken = 0; taken < queue.size() && taken < 20; ++taken)
        {
            WePathNode* n = queue[taken];
            const float d = DistanceSq(n->GetWorldPosition(), point);
            if (!nearest || d < best)
            {
                nearest = n;
                best = d;
            }
            WePathNode* links[4] = {n->m_Next, n->m_Branch, n->m_Previous, n->m_SecondPrevious};
            for (WePathNode* link : links)
                if (link && link->m_SearchStamp[0] != stamp)
                {
                    link->m_SearchStamp[0] = stamp;
                    queue.push_back(link);
                }
        }
        if (nearest && best < 10000.0f)
            candidate = nearest;
    }
    if (!candidate && m_SceneTree)
    {
        WeList<WeSceneTreeCell*> cells;
        m_SceneTree->QueryCube(point, 300.0f, cells);
        float best = 0.0f;
        for (WeList<WeSceneTreeCell*>::Node* c = cells.FirstNode(); c != nullptr; c = cells.NextNode(c))
            for (WeList<WeActor*>::Node* a = c->payload->actors.FirstNode(); a != nullptr;
                 a = c->payload->actors.NextNode(a))
            {
                WePathNode* actor = dynamic_cast<WePathNode*>(a->payload);
                if (!actor || !actor->m_OnTrack)
                    continue;
                const float d = DistanceSq(actor->GetWorldPosition(), point);
                if (!candidate || d < best)
                {
                    candidate = actor;
                    best = d;
                }
            }
    }
    if (!candidate)
        candidate = m_FirstPathNode;
    if (!candidate)
        return nullptr;

    // Refinement: step back until the point lies ahead of the node. Bounded by the number of nodes,
    // since at a join the step can keep entering a branch that never leads back to the candidate.
    WePathNode* r = candidate;
    WePathNode* remembered = candidate;
    float bestF = 0.0f;
    bool haveBest = false;
    for (int32_t guard = m_PathNodes.Count() + 1; guard > 0; --guard)
    {
        if (r->m_Kind == WePathNode::JumpStart)
            return r->m_Previous ? r->m_Previous : r;
        if (r->m_Kind == WePathNode::JumpEnd)
            return r->m_Next ? r->m_Next : r;
        const D3DXVECTOR3 position = r->GetWorldPosition();
        const D3DXVECTOR3 toPoint(point.x - position.x, point.y - position.y, point.z - position.z);
        const float f = Dot(Forward(r), toPoint);
        if (!haveBest || f > bestF)
        {
            bestF = f;
            remembered = r;
            haveBest = true;
        }
        if (f >= 0.0f)
            return r;
        WePathNode* back = r->m_Previous;
        if (r->m_Kind == WePathNode::Join && r->m_SecondPrevious &&
            (!back ||
             DistanceSq(r->m_SecondPrevious->GetWorldPosition(), point) < DistanceSq(back->GetWorldPosition(), point)))
            back = r->m_SecondPrevious;
        if (!back || back == candidate)
            return remembered;
        r = back;
    }
    return remembered;
}

void WeWorld::FindTrackPosition(const D3DXVECTOR3& point, WePathNode** node, WePathNode** nextNode, float* alongAxis,
                                float* fromNext, D3DXVECTOR3* projected, WePathNode* hint)
{
    WePathNode* n = FindNearestPathNode(point, hint);
    WePathNode* next = n ? n->m_Next : nullptr;
    if (node)
        *node = n;
    if (nextNode)
        *nextNode = next;
    if (!n)
    {
        if (alongAxis)
            *alongAxis = 0.0f;
        if (fromNext)
            *fromNext = 0.0f;
        if (projected)
            *projected = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
        return;
    }
    const D3DXVECTOR3 forward = Forward(n);
    const D3DXVECTOR3 p = n->GetWorldPosition();
    const float along = Dot(forward, D3DXVECTOR3(point.x - p.x, point.y - p.y, point.z - p.z));
    if (alongAxis)
        *alongAxis = along;
    if (fromNext)
    {
        const D3DXVECTOR3 q = next ? next->GetWorldPosition() : p;
        *fromNext = Dot(forward, D3DXVECTOR3(point.x - q.x, point.y - q.y, point.z - q.z));
    }
    if (projected)
        *projected = D3DXVECTOR3(p.x + forward.x * along, p.y + forward.y * along, p.z + forward.z * along);
}

WePathNode* WeWorld::FindClosestNodeAlongPath(WePathNode* node, const D3DXVECTOR3& point)
{
    if (!node || node->m_Kind == WePathNode::JumpStart)
        return nullptr;
    float best = 1000000.0f;
    WePathNode* result = nullptr;
    WePathNode* n = node->m_Next;
    for (int32_t guard = m_PathNodes.Count(); n && n != node && guard > 0; --guard)
    {
        const float d = DistanceSq(n->GetWorldPosition(), point);
        if (d >= best)
            break;
        best = d;
        result = n;
        if (n->m_Kind == WePathNode::JumpStart)
            break;
        n = n->m_Next;
    }
    return result;
}

bool IsTrackFractionBehind(float a, float b)
{
    return a < b || (a > 0.95f && b < 0.05f);
}
