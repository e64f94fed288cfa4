#include "Tools/race_common/RaceRig.h"

#include <SDL.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "Engine/devices/WeRealEngineDevices.h"
#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeFileSystem.h"
#include "Engine/foundation/WeLocalization.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/foundation/WeRandomTable.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeCamera.h"
#include "Engine/render/WeFlareRenderer.h"
#include "Engine/render/WeMesh.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/runtime/WeAppWindow.h"
#include "Engine/runtime/WeAudioDevice.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/runtime/WeFixedStep.h"
#include "Engine/runtime/WePhaseManager.h"
#include "Engine/runtime/WeWindowModeOverride.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/world/WeActorHandle.h"
#include "Engine/world/WePathNode.h"
#include "Engine/world/WePhysicHandle.h"
#include "Engine/world/WePhysics.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CAIKernel.h"
#include "Game/craft/CAIProfiles.h"
#include "Game/craft/CCraftLinks.h"
#include "Game/craft/CExplosionAssets.h"
#include "Game/craft/CExplosionLocalized.h"
#include "Game/craft/CExplosionNuke.h"
#include "Game/craft/CExplosionSplash.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CTuberCatalogue.h"
#include "Game/craft/CTuberPart.h"
#include "Game/craft/CTuberPartFabric.h"
#include "Game/craft/CTuberPartSpawn.h"
#include "Game/craft/CWeaponAssets.h"
#include "Game/craft/CWeaponDescriptionManager.h"
#include "Game/craft/ReleaseCraftAssets.h"
#include "Game/shell/CGameApplication.h"
#include "Game/shell/CGameCamera.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/CInputMessage.h"
#include "Game/shell/CMainGameInterface.h"
#include "Game/shell/COneShotSounds.h"
#include "Game/shell/CPlayGamePhase.h"
#include "Game/shell/CPostProcessRequests.h"
#include "Game/shell/CPostProcessSlots.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRacePhysics.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/CScreenEffects.h"
#include "Game/shell/CScreenFader.h"
#include "Game/shell/CStartLocation.h"
#include "Game/shell/CWeaponFactory.h"
#include "Platform/gfx/D3D9.h"
#include "Platform/input/InputFeed.h"
#include "Platform/input/InputKeyMap.h"
#include "Platform/math/D3DXMatrixFunctions.h"
#include "Platform/math/D3DXVectorFunctions.h"
#include "Platform/system/SysClock.h"
#include "Platform/system/SysPath.h"
#include "Platform/system/SysRandom.h"
#include "Tools/demo_common/DemoFrame.h"
#include "Tools/map_common/MapDescription.h"
#include "Tools/map_common/MapWriter.h"
#include "Tools/mapbuilder/MapGameWriter.h"

namespace
{
constexpr int32_t SlotCount = 6;
constexpr int32_t RaceStateRacing = 4;

// Fills each scripted craft's message and moves it, after the world's live walk and before the craft's own
// step (which finds no agent and leaves the velocities to hand to the body).
class RaceRigDriver : public WeActor
{
public:
    explicit RaceRigDriver(RaceRig::State* state) : m_State(state)
    {
        m_WantsPreTick = true;
        m_HasModel = false;
    }
    void PreTick() override;

    RaceRig::State* m_State;
};

void Fnv(uint64_t& hash, const void* bytes, size_t size)
{
    const unsigned char* p = static_cast<const unsigned char*>(bytes);
    for (size_t i = 0; i < size; ++i)
    {
        hash ^= p[i];
        hash *= 1099511628211ull;
    }
}

RaceRig::State* g_ActiveRig = nullptr;

// The slot's craft as the race knows it: a craft deleted mid-race clears its participant's pointer.
// The segment meshes sit in the rig's own loose tree, which the pack the map loader reads does not hold:
// each segment actor gets its static body from its mesh read there (identity pose, the level's group 0).
void AddTrackBodies(WeWorld* map, const std::string& packagesFolder)
{
    WeFileSystem* loose = WeVirtualFileSystem::GetFileSystem();
    const WeString root = loose->GetRoot();
    loose->SetRoot(packagesFolder.c_str());
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    for (auto* e = map->GetActors().First(); e; e = map->GetActors().Next())
    {
        WeActor* actor = e->value;
        if (actor->m_PhysicModel.physicsClass != WePhysicsStaticMesh || actor->m_ModelName.IsEmpty())
            continue;
        WeMesh mesh;
        if (!mesh.Load(loose, actor->m_ModelName, true))
            continue;
        actor->ReleasePhysicsHandle();
        actor->m_PhysicHandle = g_Physics.CreateTriangleMeshActor(actor, identity, &mesh, false);
    }
    loose->SetRoot(root);
}

CTuber* SlotCraft(int32_t slot)
{
    CRaceParticipant* p = g_RaceSettings.GetParticipant(slot);
    return p ? p->m_Craft : nullptr;
}
}  // namespace

struct RaceRig::State
{
    RaceRigOptions options;
    bool started = false;
    WeAppWindow* window = nullptr;
    WeFixedStep fixedStep;
    CGameMap* map = nullptr;
    RaceRigDriver* driver = nullptr;
    int32_t player = -1;
    Script playerScript;
    Script slotScripts[SlotCount];
    int64_t ticks = 0;
    uint64_t digest = 14695981039346656037ull;
    std::vector<uint64_t> tickDigests;
    std::string scratch;
    std::vector<uint32_t> lastFrame;
    bool fixedCamera = false;
    D3DXVECTOR3 cameraEye, cameraAt;
    // The race-phase mode.
    int64_t enterTick = -1;
    int32_t lastState = -1;
    std::vector<RaceRig::StateChange> stateLog;
    // The path rail, per slot: on, speed, distance from the start (negative: not placed yet).
    bool railOn[SlotCount] = {};
    float railSpeed[SlotCount] = {};
    double railDistance[SlotCount] = {-1.0, -1.0, -1.0, -1.0, -1.0, -1.0};
};

namespace
{
void RaceRigDriver::PreTick()
{
    for (int32_t slot = 0; slot < SlotCount; ++slot)
    {
        CTuber* craft = SlotCraft(slot);
        if (!craft || !m_State->slotScripts[slot])
            continue;
        craft->m_ControlMessage.Clear();
        m_State->slotScripts[slot](m_State->ticks, craft->m_ControlMessage);
        craft->Move();
    }
}

// The pose at a distance from the start along the main path: between the two nodes around it, facing the
// next one, upright as the nodes are.
bool PathPose(WeWorld* world, double distance, D3DXMATRIX& out)
{
    WePathNode* first = world != nullptr ? world->m_FirstPathNode : nullptr;
    const float length = world != nullptr ? world->m_TrackLength : 0.0f;
    if (first == nullptr || !(length > 0.0f))
        return false;
    distance -= std::floor(distance / length) * length;
    WePathNode* node = first;
    for (int32_t guard = world->GetPathNodes().Count() + 1; guard > 0; --guard)
    {
        WePathNode* next = node->m_Next;
        if (next == nullptr)
            break;
        // A jump's gap adds no track distance (its two nodes share one): the rail crosses it at once.
        const float end = next == first || next->m_Distance < node->m_Distance ? length : next->m_Distance;
        if (distance < end || next == first)
        {
            const float span = end - node->m_Distance;
            const float t = span > 0.0f ? float((distance - node->m_Distance) / span) : 0.0f;
            const D3DXVECTOR3 a = node->GetWorldPosition(), b = next->GetWorldPosition();
            D3DXVECTOR3 forward = b - a;
            D3DXVECTOR3 position = a + forward * t;
            D3DXVec3Normalize(&forward, &forward);
            const D3DXMATRIX& m = node->GetWorldMatrix();
            D3DXVECTOR3 up(m._21, m._22, m._23), right;
            D3DXVec3Cross(&right, &up, &forward);
            D3DXVec3Normalize(&right, &right);
            D3DXVec3Cross(&up, &forward, &right);
            D3DXMatrixIdentity(&out);
            out._11 = right.x, out._12 = right.y, out._13 = right.z;
            out._21 = up.x, out._22 = up.y, out._23 = up.z;
            out._31 = forward.x, out._32 = forward.y, out._33 = forward.z;
            out._41 = position.x, out._42 = position.y + 1.0f, out._43 = position.z;
            return true;
        }
        node = next;
    }
    return false;
}

void ApplyRails(RaceRig::State& s)
{
    WeWorld* world = g_Game.m_Map;
    for (int32_t slot = 0; slot < SlotCount; ++slot)
    {
        CTuber* craft = s.railOn[slot] ? SlotCraft(slot) : nullptr;
        if (craft == nullptr || world == nullptr)
            continue;
        if (s.railDistance[slot] < 0.0)
        {
            WePathNode* node = nullptr;
            world->FindTrackPosition(craft->GetWorldPosition(), &node, nullptr, nullptr, nullptr, nullptr, nullptr);
            s.railDistance[slot] = node != nullptr ? node->m_Distance : 0.0;
        }
        if (g_PlayGamePhase.m_RaceState == RaceStateRacing)
            s.railDistance[slot] += double(s.railSpeed[slot]) * s.options.step;
        D3DXMATRIX pose;
        if (!PathPose(world, s.railDistance[slot], pose))
            continue;
        craft->m_ControlMessage.Clear();
        if (craft->m_PhysicHandle != nullptr)
        {
            craft->m_PhysicHandle->SetKinematic(true);
            craft->m_PhysicHandle->SetPose(pose);
        }
        craft->SetTransform(pose);
    }
}

void RigTick()
{
    RaceRig::State* s = g_ActiveRig;
    if (!s || !s->map)
        return;
    g_FlareRenderer.ClearOccluders();
    s->map->Tick();
    UpdateOneShotSounds();
    if (g_PlayGamePhase.m_RaceState == RaceStateRacing)
        g_PlayGamePhase.m_RaceClock += g_Timer.m_FrameDeltaF;
}

void RigRender()
{
    RaceRig::State* s = g_ActiveRig;
    g_RenderDevice.m_ClearColor = 0xFF0B1020u;
    if (!s || !s->map)
    {
        g_RenderDevice.Clear(true, 0xFF0B1020u, true, 1.0f, true, 0);
        return;
    }
    static WeCamera camera;
    CTuber* player = s->player >= 0 ? SlotCraft(s->player) : nullptr;
    if (s->fixedCamera)
    {
        camera.m_Position = s->cameraEye;
        D3DXVECTOR3 direction = s->cameraAt - s->cameraEye;
        D3DXVec3Normalize(&direction, &direction);
        camera.m_Direction = direction;
        camera.m_Up = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
    }
    else if (player)
    {
        // Six metres behind and two above the player's craft, looking along it.
        const D3DXMATRIX& m = player->GetWorldMatrix();
        const D3DXVECTOR3 forward(m._31, m._32, m._33), up(m._21, m._22, m._23);
        const D3DXVECTOR3 at = player->GetWorldPosition();
        camera.m_Position = at - forward * 6.0f + up * 2.0f;
        D3DXVECTOR3 direction = at + forward * 20.0f - camera.m_Position;
        D3DXVec3Normalize(&direction, &direction);
        camera.m_Direction = direction;
        camera.m_Up = up;
    }
    camera.SetProjection(1.0f, 0.5f, 4000.0f, 0.0f);
    camera.Update();
    const float ambient[4] = {0.45f, 0.45f, 0.5f, 1.0f};
    g_RenderDevice.SetAmbientColor(ambient);
    s->map->Render(&camera);
}

std::string MakeScratchFolder()
{
    static std::atomic<int> counter{0};
    std::filesystem::path path = std::filesystem::temp_directory_path() /
                                 ("we-race-rig-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
    std::filesystem::create_directories(path, ignored);
    return path.string();
}

bool Fail(std::string* error, const std::string& text)
{
    if (error)
        *error = text;
    return false;
}
}  // namespace

RaceRig::RaceRig(RaceRigOptions options) : m_State(std::make_unique<State>())
{
    m_State->options = std::move(options);
}

RaceRig::~RaceRig()
{
    Stop();
}

bool RaceRig::Start(std::string* error)
{
    Stop();
    State& s = *m_State;
    const RaceRigOptions& o = s.options;
    if (o.slots.size() > size_t(SlotCount))
        return Fail(error, "at most six slots");
    if (!(o.step > 0.0))
        return Fail(error, "the step must be above 0");

    // Headless unless the caller chose otherwise: the offscreen window, OpenAL Soft's null device, SDL's
    // dummy audio.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("ALSOFT_DRIVERS", "null", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const int mode = ApplyWindowModeOverride(2);
    s.window = new WeAppWindow();
    if (!s.window->Create("race_rig", "race_rig", nullptr, 102, 0, o.width, o.height, 0, 0, true, mode != 0, true,
                          false, mode == 1, false, nullptr))
    {
        delete s.window;
        s.window = nullptr;
        return Fail(error, "cannot create the window");
    }
    GfxSelectBackend(o.backend == RaceRigOptions::Backend::Recording ? GfxBackendKind::Recording
                                                                     : GfxBackendKind::OpenGL);
    WeEngineSettings settings;
    settings.windowMode = mode;
    settings.width = o.width;
    settings.height = o.height;
    InstallRealEngineDevices();
    s.fixedStep.Configure(o.step);
    // The race phase runs under the game's own tick and render callbacks.
    g_Engine.m_TickCallback = o.racePhase ? CGameApplication::OnTick : RigTick;
    g_RenderDevice.m_RenderCallback = o.racePhase ? CGameApplication::OnRender : RigRender;
    g_ActiveRig = &s;
    s.started = true;
    if (!g_Engine.Init(settings, nullptr, s.window, "race_rig"))
    {
        const std::string text = g_Engine.m_ErrorText.c_str();
        Stop();
        return Fail(error, "the engine did not start: " + text);
    }

    // The stepped clock: every engine tick advances exactly one step, from the first tick on.
    s.fixedStep.StartClock();

    SysRandom::Seed(o.seed);
    InitRandomTable(o.seed);
    g_CraftLinkStandIns.Reset();
    // Without the race phase nothing locks the weapons.
    g_WeaponFactory = CWeaponFactory();
    g_WeaponFactory.m_SafetyLockExpired = o.racePhase ? 0 : 1;
    g_PostProcessRequests.clear();
    g_PlayGamePhase.m_RaceState = 0;
    g_PlayGamePhase.m_RaceClock = 0.0f;
    if (g_Game.m_Camera)
        g_Game.m_Camera->ResetPresetState();
    if (o.racePhase)
    {
        g_Game.LoadFonts();
        CGameCamera::LoadPresets();
        InputFeedReset();
    }

    g_TuberCatalogue.Load();
    g_TuberCatalogue.LoadModels();
    g_Localization.Load();
    // The display's layout, pictures and the weapon pictures, as the game-data load reads them; again at each
    // start, since the last one's textures went with its devices.
    g_MainGameInterface.LoadLayout();
    g_MainGameInterface.LoadAtlases();
    g_WeaponDescriptions.LoadPictures();
    g_AIProfiles.Load();
    CTuber::LoadAssets();
    CTuberPartFabric::LoadModels();
    CTuberPart::LoadAssets();
    LoadWeaponAssets();
    CExplosionLocalized::LoadVisualTable();
    CExplosionLocalized::LoadAssets();
    CExplosionNuke::LoadAssets();
    CExplosionSplash::LoadAssets();

    g_RaceSettings.ClearParticipants();
    g_RaceSettings.m_RaceType = o.raceType;
    g_RaceSettings.m_Laps = o.laps;
    g_RaceSettings.m_Difficulty = o.difficulty;
    g_RaceSettings.m_Weapons = o.weapons;
    g_RaceSettings.m_Dynamics = o.dynamics;
    g_RaceSettings.m_UnlimitedTurbo = o.unlimitedTurbo;
    for (size_t i = 0; i < o.slots.size(); ++i)
    {
        const RaceRigSlot& slot = o.slots[i];
        if (slot.kind == 0)
            continue;
        const int32_t team = slot.team != 0 ? slot.team : int32_t(i) + 1;
        CRaceParticipant* p = g_RaceSettings.SetParticipant(int32_t(i), slot.kind, slot.craft.c_str(), team);
        if (p)
            p->m_DisplayName = !slot.name.empty() ? slot.name.c_str() : (slot.kind == 4 ? "Player" : "");
    }

    // The map, loaded as the loading screen does, with physics paused meanwhile.
    std::string mapName = o.map;
    std::string mapsFolder;
    if (!o.mapDescription.empty())
    {
        MapDescription description;
        std::string parseError, written;
        if (!ParseMapDescription(o.mapDescription, "rig map", description, parseError))
        {
            Stop();
            return Fail(error, parseError);
        }
        s.scratch = MakeScratchFolder();
        MapGameWriter::Register();
        const std::string packages = o.trackBodies ? SysPath::Join(s.scratch, "Packages") : std::string();
        const bool ok = WriteMap(description, "rig map", s.scratch, packages, written, parseError);
        MapGameWriter::Unregister();
        if (!ok)
        {
            Stop();
            return Fail(error, parseError);
        }
        mapName = description.name;
        mapsFolder = s.scratch;
    }
    g_RaceSettings.m_MapName = mapName.c_str();
    g_Engine.m_PhysicsPaused = 1;
    s.map = new CGameMap();
    g_Game.m_Map = s.map;
    if (!mapsFolder.empty())
        s.map->SetMapsFolder(mapsFolder.c_str());
    bool loaded = s.map->BeginLoad(mapName.c_str());
    while (loaded && !s.map->m_Loaded)
        loaded = s.map->LoadStep();
    g_Engine.m_PhysicsPaused = 0;
    if (!loaded)
    {
        Stop();
        return Fail(error, "cannot load the map \"" + mapName + "\"");
    }
    if (o.trackBodies && !s.scratch.empty())
        AddTrackBodies(s.map, SysPath::Join(s.scratch, "Packages"));
    if (o.racePhase)
    {
        // The loading screen's hand-over: the frame time cleared, then the change to the race.
        for (size_t i = 0; i < o.slots.size(); ++i)
            if (o.slots[i].kind == 4)
                s.player = int32_t(i);
        if (g_TuberCatalogue.m_Names.IsEmpty())
            for (size_t i = 0; i < o.slots.size(); ++i)
                if (CRaceParticipant* p = g_RaceSettings.GetParticipant(int32_t(i)))
                    p->m_Kind = 0;
        g_Timer.m_FrameDelta = 0.0;
        g_Timer.m_FrameDeltaF = 0.0f;
        s.map = nullptr;
        g_PhaseManager.RequestPhase(&g_PlayGamePhase, WePhaseManager::ChangeRequest);
        return true;
    }
    ApplyRaceCollisionGroups();

    s.driver = new RaceRigDriver(&s);
    s.map->AddActor(s.driver);
    // The start locations as the map's table walks them; each craft takes the free one of its start place,
    // else the last free one walked.
    std::vector<CStartLocation*> starts;
    for (auto* e = s.map->GetActors().First(); e; e = s.map->GetActors().Next())
        if (e->value->m_Type == CStartLocation::TypeCode)
            starts.push_back(static_cast<CStartLocation*>(e->value));
    // The agents exist before their craft (the craft reads its agent's health factor); a scripted slot keeps
    // none.
    g_AIKernel.CreateAgents();
    for (int32_t slot = 0; slot < SlotCount; ++slot)
        if (s.slotScripts[slot])
            g_AIKernel.DeleteAgent(g_RaceSettings.GetParticipant(slot));
    for (size_t i = 0; i < o.slots.size(); ++i)
    {
        CRaceParticipant* p = g_RaceSettings.GetParticipant(int32_t(i));
        if (!p || !p->IsRacing())
            continue;
        if (g_TuberCatalogue.m_Names.IsEmpty())
        {
            DebugLogPrintf("NO CRAFT IN THE CATALOGUE: SLOT %d STAYS EMPTY", int(i));
            continue;
        }
        const int32_t place = o.slots[i].startPlace != 0 ? o.slots[i].startPlace : int32_t(i) + 1;
        CStartLocation* chosen = nullptr;
        CStartLocation* lastFree = nullptr;
        for (CStartLocation* start : starts)
        {
            if (start->m_TakenBy)
                continue;
            lastFree = start;
            if (!chosen && start->m_StartIndex == place)
                chosen = start;
        }
        if (!chosen)
            chosen = lastFree;
        if (!chosen)
        {
            DebugLogPrintf("NO FREE START LOCATION: SLOT %d STAYS EMPTY", int(i));
            continue;
        }
        CTuber* craft = new CTuber(p);
        craft->SetTransform(chosen->GetWorldMatrix());
        craft->SetVelocity(D3DXVECTOR3());
        craft->SetAngularVelocity(D3DXVECTOR3());
        chosen->m_TakenBy = craft;
        s.map->AddActor(craft);
        if (p->m_Kind == CRaceParticipant::Human)
        {
            craft->SetAsPlayer();
            s.player = int32_t(i);
        }
    }
    g_PlayGamePhase.m_RaceState = RaceStateRacing;
    g_Engine.m_PhysicsEnabled = 1;
    return true;
}

void RaceRig::Stop()
{
    State& s = *m_State;
    if (!s.started)
        return;
    g_Engine.EndPhysicsStep();
    if (s.options.racePhase)
    {
        // The race leaves as the game's shutdown leaves it: the map goes with the phase.
        g_PhaseManager.Shutdown();
        if (g_Game.m_Map)
        {
            CGameMap* map = g_Game.m_Map;
            g_Game.m_Map = nullptr;
            delete map;
        }
        s.map = nullptr;
        g_ScreenFader = CScreenFader();
        g_UIInputEnabled = 1;
        // The engine's shutdown below frees the fonts: a later rig without the race phase must not find them.
        for (WeFont** font : {&g_Game.m_Font12, &g_Game.m_Font16, &g_Game.m_Font20, &g_Game.m_Font24, &g_Game.m_Font30,
                              &g_Game.m_Font32, &g_Game.m_Font50, &g_Game.m_FontBig, &g_Game.m_FontCourier})
            *font = nullptr;
        // The game's tick pauses every sound while the (offscreen) window is not in front; the pause outlives
        // the device's shutdown and would silence the next rig.
        while (g_AudioDevice.GetPauseCount() > 0)
            g_AudioDevice.SetPaused(false);
        InputFeedReset();
    }
    ClearOneShotSounds();
    ClearPostProcessSlots();
    ClearTuberPartSpawns();
    if (s.map)
    {
        g_Game.m_Map = nullptr;
        delete s.map;
        s.map = nullptr;
    }
    g_Game.m_PlayerTuber = nullptr;
    g_Game.m_PlayerFlag = 0;
    s.driver = nullptr;
    s.player = -1;
    g_AIKernel.DeleteAgents();
    g_RaceSettings.ClearParticipants();
    g_PlayerInputMessage.Clear();
    ReleaseCraftAssets();
    g_TuberCatalogue.Clear();
    g_CraftLinkStandIns.Reset();
    g_PostProcessRequests.clear();
    g_PlayGamePhase.m_RaceState = 0;
    g_PlayGamePhase.m_RaceClock = 0.0f;
    if (g_Game.m_Camera)
        g_Game.m_Camera->ResetPresetState();
    g_Engine.m_PhysicsEnabled = 0;
    g_Engine.m_PhysicsPaused = 0;
    g_Engine.Shutdown();
    g_Engine.m_TickCallback = nullptr;
    g_RenderDevice.m_RenderCallback = nullptr;
    s.fixedStep.Restore();
    if (s.window)
    {
        s.window->m_Alive = 0;
        s.window->Destroy();
        delete s.window;
        s.window = nullptr;
    }
    if (!s.scratch.empty())
    {
        std::error_code ignored;
        std::filesystem::remove_all(s.scratch, ignored);
        s.scratch.clear();
    }
    s.ticks = 0;
    s.digest = 14695981039346656037ull;
    s.tickDigests.clear();
    s.lastFrame.clear();
    s.enterTick = -1;
    s.lastState = -1;
    s.stateLog.clear();
    for (double& d : s.railDistance)
        d = -1.0;
    if (g_ActiveRig == &s)
        g_ActiveRig = nullptr;
    s.started = false;
}

void RaceRig::Tick(int32_t count)
{
    State& s = *m_State;
    if (!s.started)
        return;
    for (int32_t i = 0; i < count; ++i)
    {
        g_PlayerInputMessage.Clear();
        if (s.playerScript)
            s.playerScript(s.ticks, g_PlayerInputMessage);
        ApplyRails(s);
        s.fixedStep.Advance();
        g_Engine.Tick();
        for (int32_t slot = 0; slot < SlotCount; ++slot)
        {
            CTuber* craft = SlotCraft(slot);
            if (!craft)
                continue;
            const D3DXMATRIX& m = craft->GetWorldMatrix();
            Fnv(s.digest, &m, sizeof(m));
            Fnv(s.digest, &craft->m_PendingLinearVelocity, sizeof(craft->m_PendingLinearVelocity));
            Fnv(s.digest, &craft->m_PendingAngularVelocity, sizeof(craft->m_PendingAngularVelocity));
            Fnv(s.digest, &craft->m_MeasuredSpeed, sizeof(float));
            Fnv(s.digest, &craft->m_TurboEnergy, sizeof(float));
            Fnv(s.digest, &craft->m_HyperBrakeCharge, sizeof(float));
        }
        s.tickDigests.push_back(s.digest);
        if (s.options.racePhase)
        {
            if (s.enterTick < 0 && g_PlayGamePhase.m_InRace)
            {
                s.enterTick = s.ticks;
                s.lastState = g_PlayGamePhase.m_RaceState;
            }
            if (s.enterTick >= 0 && g_PlayGamePhase.m_InRace && g_PlayGamePhase.m_RaceState != s.lastState)
            {
                s.stateLog.push_back(StateChange{s.lastState, g_PlayGamePhase.m_RaceState, s.ticks - s.enterTick});
                s.lastState = g_PlayGamePhase.m_RaceState;
            }
        }
        ++s.ticks;
    }
}

void RaceRig::Frame()
{
    State& s = *m_State;
    if (!s.started)
        return;
    Tick(1);
    RenderOnly();
}

void RaceRig::RenderOnly()
{
    State& s = *m_State;
    if (!s.started)
        return;
    g_Engine.Render();
    if (s.options.backend == RaceRigOptions::Backend::OffscreenGl && g_Engine.m_DeviceUsable)
        s.lastFrame =
            DemoReadBackBuffer(g_RenderDevice.GetDevice(), UINT(g_ScreenSize.width), UINT(g_ScreenSize.height));
}

bool RaceRig::RunUntil(const std::function<bool()>& done, double maxSeconds)
{
    const int64_t limit = Ticks() + int64_t(maxSeconds / m_State->options.step + 0.5);
    while (Ticks() < limit)
    {
        if (done())
            return true;
        Tick(1);
    }
    return done();
}

int64_t RaceRig::Ticks() const
{
    return m_State->ticks;
}

double RaceRig::Seconds() const
{
    return double(m_State->ticks) * m_State->options.step;
}

CTuber* RaceRig::Craft(int32_t slot) const
{
    return m_State->started ? SlotCraft(slot) : nullptr;
}

CTuber* RaceRig::Player() const
{
    return m_State->started && m_State->player >= 0 ? SlotCraft(m_State->player) : nullptr;
}

void RaceRig::SetPlayerScript(Script script)
{
    m_State->playerScript = std::move(script);
}

void RaceRig::SetSlotScript(int32_t slot, Script script)
{
    if (slot < 0 || slot >= SlotCount)
        return;
    m_State->slotScripts[slot] = std::move(script);
    // A scripted slot is driven by its script alone.
    if (m_State->slotScripts[slot] && m_State->started)
        g_AIKernel.DeleteAgent(g_RaceSettings.GetParticipant(slot));
}

void RaceRig::SetRaceState(int32_t state)
{
    g_PlayGamePhase.m_RaceState = state;
}

int32_t RaceRig::RaceState() const
{
    return g_PlayGamePhase.m_RaceState;
}

uint64_t RaceRig::PoseDigest() const
{
    return m_State->digest;
}

const std::vector<uint64_t>& RaceRig::TickDigests() const
{
    return m_State->tickDigests;
}

bool RaceRig::WritePng(const std::string& path)
{
    State& s = *m_State;
    if (!s.started || s.options.backend != RaceRigOptions::Backend::OffscreenGl)
        return false;
    if (s.lastFrame.empty())
    {
        g_Engine.Render();
        s.lastFrame =
            DemoReadBackBuffer(g_RenderDevice.GetDevice(), UINT(g_ScreenSize.width), UINT(g_ScreenSize.height));
    }
    return !s.lastFrame.empty() &&
           DemoWritePng(path.c_str(), UINT(g_ScreenSize.width), UINT(g_ScreenSize.height), s.lastFrame);
}

void RaceRig::SetCamera(const float eye[3], const float at[3])
{
    m_State->fixedCamera = true;
    m_State->cameraEye = D3DXVECTOR3(eye[0], eye[1], eye[2]);
    m_State->cameraAt = D3DXVECTOR3(at[0], at[1], at[2]);
}

void RaceRig::ClearCamera()
{
    m_State->fixedCamera = false;
}

const std::vector<uint32_t>& RaceRig::LastFrame() const
{
    return m_State->lastFrame;
}

bool RaceRig::IsStarted() const
{
    return m_State->started;
}

void RaceRig::KeyDown(int32_t code)
{
    SDL_Event e;
    std::memset(&e, 0, sizeof(e));
    e.type = SDL_KEYDOWN;
    e.key.state = SDL_PRESSED;
    e.key.keysym.scancode = SDL_Scancode(InputScancodeFromKeyCode(uint8_t(code)));
    InputFeedEvent(e);
}

void RaceRig::KeyUp(int32_t code)
{
    SDL_Event e;
    std::memset(&e, 0, sizeof(e));
    e.type = SDL_KEYUP;
    e.key.state = SDL_RELEASED;
    e.key.keysym.scancode = SDL_Scancode(InputScancodeFromKeyCode(uint8_t(code)));
    InputFeedEvent(e);
}

const std::vector<RaceRig::StateChange>& RaceRig::StateLog() const
{
    return m_State->stateLog;
}

double RaceRig::RaceSeconds() const
{
    const State& s = *m_State;
    return s.enterTick < 0 ? -1.0 : double(s.ticks - 1 - s.enterTick) * s.options.step;
}

int64_t RaceRig::EnterTick() const
{
    return m_State->enterTick;
}

bool RaceRig::InRace() const
{
    return m_State->started && g_PlayGamePhase.m_InRace != 0;
}

void RaceRig::SetRail(int32_t slot, float speed)
{
    if (slot < 0 || slot >= SlotCount)
        return;
    State& s = *m_State;
    s.railOn[slot] = speed != 0.0f;
    s.railSpeed[slot] = speed;
    if (!s.railOn[slot])
        if (CTuber* craft = s.started ? SlotCraft(slot) : nullptr)
            if (craft->m_PhysicHandle != nullptr)
                craft->m_PhysicHandle->SetKinematic(false);
}

void RaceRig::JumpToFraction(int32_t slot, float fraction)
{
    if (slot < 0 || slot >= SlotCount)
        return;
    const WeWorld* world = g_Game.m_Map;
    const float length = world != nullptr ? world->m_TrackLength : 0.0f;
    m_State->railDistance[slot] = double(fraction) * double(length);
}
