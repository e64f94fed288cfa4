#pragma once
#include <cstdint>

#include "Engine/foundation/WeHashTable.h"
#include "Engine/foundation/WeList.h"
#include "Engine/foundation/WeString.h"
#include "Platform/math/D3DXMATRIX.h"
#include "Platform/math/D3DXVECTOR3.h"

class WeActor;
struct WeBoundingSphere;
class WeCamera;
class WeFileStream;
class WePathNode;
class WeSceneTree;
class WeSkyBox;

// Set while a world deletes its actors: their destructors skip in-world side effects.
extern bool g_WorldDestroying;

// Whether track fraction a lies behind b (b may have passed the start line).
bool IsTrackFractionBehind(float a, float b);

// One loaded map: owns its actors and files them into the tables of the per-frame walks, ticks them,
// deletes the expired ones, loads the map file record by record and links the track path.
class WeWorld
{
public:
    WeWorld();
    virtual ~WeWorld();
    WeWorld(const WeWorld&) = delete;
    WeWorld& operator=(const WeWorld&) = delete;

    virtual void OnLoad(WeFileStream* stream, const WeString& mapName);
    virtual void OnSave(WeFileStream& stream);
    virtual WeActor* CreateActor(int32_t typeCode);
    // Header only: false for an empty name or a file that did not open (OnLoad is still called).
    virtual bool Load(const WeString& mapName);
    // Rewrites the file through a temporary one: version 1, the new header, then the rest of the
    // file this world last read. False for a file the world did not read.
    virtual bool Save(const WeString& fileName);
    virtual void OnLoaded() {}
    virtual void OnActorLoaded(WeActor* actor);

    // The editor's debug material, font "*:12" and marker models: loaded once, the first time a world in
    // editor mode adds an actor or begins a map; missing ones are only debug-printed. The font comes from
    // the UI layer through s_LoadEditorFont (set by the editor).
    static void LoadEditorResources();
    static void ReleaseEditorResources();
    static void (*s_LoadEditorFont)();

    WeActor* CreateLoadedActor(int32_t typeCode);
    void AddActor(WeActor* actor);
    void RegisterActor(WeActor* actor);
    bool RemoveActor(WeActor* actor);
    WeActor* FindActorByLabel(const WeString& text);
    void Tick();
    void Render(WeCamera* camera);
    void DrawDebugLabel(const D3DXMATRIX&, bool, const WeString&) {}

    // Portals: which ones the eye sees, and whether a sphere lies beyond a seen one.
    void UpdatePortalVisibility(WeCamera* camera);
    void UpdatePortalVisibility(const D3DXVECTOR3& eye);
    bool IsVisibleThroughPortals(const WeBoundingSphere& sphere, WeCamera* camera);
    bool IsVisibleThroughPortals(const WeBoundingSphere& sphere, const D3DXVECTOR3& eye);

    // Used by the actor: the timed table and the pending-deletion list.
    void EnterTimed(WeActor* actor);
    void EnterPendingDeletion(WeActor* actor);

    // Map loading.
    bool BeginLoad(const WeString& mapName);
    bool LoadStep();
    void EndLoad(bool loaded);
    // "Maps\<name>.map" is looked up in this folder (default: "Maps" beside the executable).
    void SetMapsFolder(const WeString& folder) { m_MapsFolder = folder; }
    WeString GetMapPath(const WeString& mapName) const;

    // Track path.
    void BuildTrackPath(bool createDefaultNode);
    void LinkTrackPath(WePathNode* start, int32_t maxId, int32_t tag, WePathNode** lastNode, float* length);
    void AssignTrackFractions(WePathNode* from, WePathNode* to, float start, float weight);
    WePathNode* FindPathNodeById(int32_t id);
    WePathNode* FindNextPathNode(int32_t afterId, int32_t kind, int32_t maxId);
    WePathNode* FindNearestPathNode(const D3DXVECTOR3& point, WePathNode* hint);
    void FindTrackPosition(const D3DXVECTOR3& point, WePathNode** node, WePathNode** nextNode, float* alongAxis,
                           float* fromNext, D3DXVECTOR3* projected, WePathNode* hint);
    WePathNode* FindClosestNodeAlongPath(WePathNode* node, const D3DXVECTOR3& point);

    WeHashTable<WeActor*>& GetActors() { return m_Actors; }
    WeHashTable<WeActor*>& GetPathNodes() { return m_PathNodes; }
    WeHashTable<WeActor*>& GetLights() { return m_QueueLights; }
    WeHashTable<WeActor*>& GetPortals() { return m_Portals; }
    // Entries of the actor over all nine tables (an actor is never filed twice in one).
    int32_t CountTableEntries(WeActor* actor);
    int32_t PendingDeletionCount() const { return m_PendingDeletion.Count(); }
    bool IsInTable(WeHashTable<WeActor*>& table, WeActor* actor);

    int32_t m_MapVersion = 0;
    int32_t m_ActorCounter = 0;
    int64_t m_TickCounter = 0;
    float m_WorldTime = 0.0f;
    WeFileStream* m_MapStream = nullptr;
    bool m_Loaded = false;
    bool m_Loading = false;
    bool m_EditorMode = false;
    float m_EditorDistance1 = 500.0f;
    float m_EditorDistance2 = 1000.0f;
    // Their squares, cached by the render queue each frame for the editor's distance tests.
    float m_EditorDistance1Squared = 0.0f;
    float m_EditorDistance2Squared = 0.0f;
    bool m_DeferDeletes = true;
    WeSkyBox* m_SkyBox = nullptr;
    float m_SceneTreeHalfSize = 32768.0f;
    float m_SceneTreeCenter = -1024.0f;
    int32_t m_SceneTreeDepth = 10;
    WeSceneTree* m_SceneTree = nullptr;
    float m_LoadProgress = 0.0f;
    WePathNode* m_FirstPathNode = nullptr;
    float m_TrackLength = 0.0f;
    bool m_LightsOfKind2 = false;
    bool m_PortalsEnabled = true;

private:
    void DetachChildrenOf(WeActor* parent);
    void RunDeletionPass();

    WeList<WeActor*> m_PendingDeletion;
    WeHashTable<WeActor*> m_Actors;
    WeHashTable<WeActor*> m_PreTick;
    WeHashTable<WeActor*> m_Tick;
    WeHashTable<WeActor*> m_Timed;
    WeHashTable<WeActor*> m_Live;
    WeHashTable<WeActor*> m_Portals;
    WeHashTable<WeActor*> m_Lights;
    WeHashTable<WeActor*> m_QueueLights;
    WeHashTable<WeActor*> m_PathNodes;
    WeString m_MapsFolder;
    WeString m_LastReadPath;      // the file BeginLoad or Load last read
    int64_t m_HeaderEnd = -1;     // where its header ended; -1 when unknown
    int32_t m_SearchCounter = 0;  // stamps of the nearest-node searches
};
