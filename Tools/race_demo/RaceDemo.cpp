// race_demo: one race of the real race phase on the race rig. The player's craft holds forward from GO,
// steers by a look-ahead on the path nodes and takes turbo on the straights; the computer racers drive
// themselves. Prints every race-state change, checks the run and writes preview.png, countdown.png and
// racing.png on offscreen OpenGL.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "Engine/runtime/WePhaseManager.h"
#include "Engine/world/WePathNode.h"
#include "Game/craft/CAIKernel.h"
#include "Game/craft/CTuber.h"
#include "Game/screens/CEndGamePhase.h"
#include "Game/shell/CGameCamera.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/CInputBindings.h"
#include "Game/shell/COptionsSettings.h"
#include "Game/shell/CPickup.h"
#include "Game/shell/CPickupFactory.h"
#include "Game/shell/CPlayGamePhase.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CScreenFader.h"
#include "Game/shell/CWeaponFactory.h"
#include "Platform/input/DIKeyCodes.h"
#include "Tools/demo_common/DemoFrame.h"
#include "Tools/race_common/AIRace.h"
#include "Tools/race_common/ChaseEyeCheck.h"
#include "Tools/race_common/RaceRig.h"
#include "Tools/race_demo/HudShowcaseDemo.h"
#include "Tools/race_demo/WreckDemo.h"

namespace
{
const char* const Usage =
    "usage: race_demo [--png-dir DIR] [--map NAME] [--size WxH] [--opponents 0-5] [--backend gl|recording] "
    "[--finish-after SECONDS] [--autopilot 0-2] [--png FILE]\n"
    "       race_demo --rail SPEED [--rail-rivals S1,S2,...] [--laps 1-10] [--map NAME] [--backend gl|recording]\n";
const char* const OpponentCraft[] = {"EclosionHunter", "Xdrone", "Falconer"};

struct Arguments
{
    std::string pngDir = ".";
    std::string map = "Wastelands of Apeiron (day)";
    int width = 1024, height = 768;
    int opponents = 2;
    bool recording = false;
    double finishAfter = -1.0;
    int autopilot = -1;   // the player's craft driven by an agent of that level (0 Easy to 2 Hard); -1 the script
    std::string wallPng;  // on OpenGL: the racing frame whose chase eye came nearest a wall
};

bool ParseArguments(int argc, char** argv, Arguments& a)
{
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--png-dir" && hasValue)
            a.pngDir = argv[++i];
        else if (arg == "--map" && hasValue)
            a.map = argv[++i];
        else if (arg == "--png" && hasValue)
            a.wallPng = argv[++i];
        else if (arg == "--size" && hasValue)
        {
            if (std::sscanf(argv[++i], "%dx%d", &a.width, &a.height) != 2 || a.width < 64 || a.height < 64 ||
                a.width > 4096 || a.height > 4096)
                return false;
        }
        else if (arg == "--opponents" && hasValue)
        {
            char* end = nullptr;
            a.opponents = int(std::strtol(argv[++i], &end, 10));
            if (*end != '\0' || a.opponents < 0 || a.opponents > 5)
                return false;
        }
        else if (arg == "--backend" && hasValue)
        {
            const std::string b = argv[++i];
            if (b != "gl" && b != "recording")
                return false;
            a.recording = b == "recording";
        }
        else if (arg == "--autopilot" && hasValue)
        {
            char* end = nullptr;
            a.autopilot = int(std::strtol(argv[++i], &end, 10));
            if (*end != '\0' || a.autopilot < 0 || a.autopilot > 2)
                return false;
        }
        else if (arg == "--finish-after" && hasValue)
        {
            char* end = nullptr;
            a.finishAfter = std::strtod(argv[++i], &end);
            if (*end != '\0' || !(a.finishAfter >= 0.0) || a.finishAfter > 600.0)
                return false;
        }
        else
            return false;
    }
    return true;
}

float Length(const D3DXVECTOR3& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

D3DXVECTOR3 Row(const D3DXMATRIX& m, int row)
{
    return D3DXVECTOR3(m.m[row][0], m.m[row][1], m.m[row][2]);
}

// The node a few nodes ahead of the craft's current one.
WePathNode* NodeAhead(CTuber* craft, int count)
{
    WePathNode* node = craft->m_NextNode != nullptr ? craft->m_NextNode : craft->m_CurrentNode;
    for (int i = 0; node != nullptr && i < count && node->m_Next != nullptr; ++i)
        node = node->m_Next;
    return node;
}

float TrackLength(CGameMap* map)
{
    float length = 0.0f;
    WeHashTable<WeActor*>& actors = map->GetActors();
    for (auto* e = actors.First(); e != nullptr; e = actors.Next())
        if (e->value->m_Type == WeActorTypePathNode)
            length = std::fmax(length, static_cast<WePathNode*>(e->value)->m_DistanceAlongPath);
    return length;
}

class Demo
{
public:
    explicit Demo(const Arguments& a) : m_Args(a) {}

    int Run()
    {
        RaceRigOptions o;
        o.racePhase = true;
        o.map = m_Args.map;
        o.width = m_Args.width;
        o.height = m_Args.height;
        o.backend = m_Args.recording ? RaceRigOptions::Backend::Recording : RaceRigOptions::Backend::OffscreenGl;
        o.laps = 3;
        o.slots.push_back(RaceRigSlot{4, "Falconer", "Player", 0, 1});
        for (int i = 0; i < m_Args.opponents; ++i)
            o.slots.push_back(RaceRigSlot{2, OpponentCraft[i % 3], "", 0, i + 2});
        m_Step = o.step;
        if (!m_Args.recording)
        {
            std::error_code failed;
            std::filesystem::create_directories(m_Args.pngDir, failed);
        }
        m_Rig = new RaceRig(o);
        std::string error;
        // The race phase's entry gives the player's slot an agent of that level, which then drives it.
        g_AIKernel.SetAutopilot(m_Args.autopilot);
        if (!m_Rig->Start(&error))
        {
            g_AIKernel.SetAutopilot(-1);
            std::fprintf(stderr, "race_demo: %s\n", error.c_str());
            delete m_Rig;
            return 1;
        }
        const bool ok = Race();
        m_Rig->Stop();
        g_AIKernel.SetAutopilot(-1);
        delete m_Rig;
        if (!ok)
        {
            std::printf("race_demo: FAILED: %s\n", m_Failure.c_str());
            return 1;
        }
        std::printf("race_demo: ok\n");
        return 0;
    }

private:
    bool Fail(const std::string& why)
    {
        if (m_Failure.empty())
            m_Failure = why;
        return false;
    }

    double Seconds() const { return double(m_Rig->Ticks() - 1 - m_Rig->EnterTick()) * m_Step; }

    // One step: rendered on offscreen OpenGL when asked (and every fourth step), else only ticked.
    void Step(bool render)
    {
        const bool gl = !m_Args.recording;
        if (gl && (render || m_Rig->Ticks() % 4 == 0))
        {
            m_Rig->Frame();
            CheckCamera();
            KeepWallFrame();
        }
        else
        {
            m_Rig->Tick(1);
            if (!gl)
                CheckCamera();
        }
        const std::vector<RaceRig::StateChange>& log = m_Rig->StateLog();
        for (; m_Printed < log.size(); ++m_Printed)
            std::printf("state %d -> %d at %.4f s\n", log[m_Printed].from, log[m_Printed].to,
                        double(log[m_Printed].tick) * m_Step);
    }

    // While the chase camera follows the player: the craft in sight and on screen, and no wall reaching into
    // the near plane. The preview, the start grid and the finishing camera stand where the track puts them, and
    // a craft scraping a wall leaves no eye near it clean: those frames are only counted.
    void CheckCamera()
    {
        const CGameCamera* camera = g_Game.m_Camera;
        CTuber* player = m_Rig->Player();
        const int32_t state = g_PlayGamePhase.m_RaceState;
        if (camera == nullptr || player == nullptr || state < 2 || state > 5 || !m_Rig->InRace())
            return;
        const ChaseEye eye = CheckChaseEye(*camera, player->GetWorldPosition());
        if (eye == ChaseEye::NotChasing)
            return;
        if (eye == ChaseEye::CraftInGeometry)
            ++m_CraftInGeometry;
        else if (eye == ChaseEye::Clear)
            ++m_CameraChecks;
        else if (m_CameraFaults++ == 0)
            m_FirstCameraFault = std::string(ChaseEyeName(eye)) + " at " + std::to_string(Seconds()) + " s";
    }

    // The racing frame of the chase whose eye stands nearest a wall (within 3 m), for a look at the pull-in.
    void KeepWallFrame()
    {
        const CGameCamera* camera = g_Game.m_Camera;
        CTuber* player = m_Rig->Player();
        if (m_Args.wallPng.empty() || camera == nullptr || player == nullptr || !m_Rig->InRace() ||
            g_PlayGamePhase.m_RaceState != CPlayGamePhase::Racing ||
            CheckChaseEye(*camera, player->GetWorldPosition()) != ChaseEye::Clear)
            return;
        const float clearance = ChaseEyeClearance(*camera, 3.0f);
        if (clearance >= m_WallClearance)
            return;
        m_WallClearance = clearance;
        m_WallFrame = m_Rig->LastFrame();
        m_WallFrameSeconds = Seconds();
    }

    static float Dot(const D3DXVECTOR3& a, const D3DXVECTOR3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

    void Key(int32_t code, bool down, bool& held)
    {
        if (down == held)
            return;
        held = down;
        if (down)
            m_Rig->KeyDown(code);
        else
            m_Rig->KeyUp(code);
    }

    // Forward from GO, turbo (once the racing frame is taken: under turbo the picture washes out white) while
    // the node eight ahead is straight on. A look key turns the craft by a fixed
    // step a frame (and rolls it a little), so the script taps it only when the node three ahead lies more than
    // a step off the nose, and holds a roll key while the craft leans against the node's up.
    void Drive()
    {
        CTuber* player = m_Rig->Player();
        const bool racing = g_PlayGamePhase.m_RaceState == CPlayGamePhase::Racing && player != nullptr;
        Key(DIK_W, racing, m_Forward);
        bool left = false, right = false, up = false, down = false, rollLeft = false, rollRight = false;
        bool turbo = false;
        const bool tapped = m_Tapped;
        m_Tapped = false;
        if (racing)
        {
            const D3DXMATRIX& m = player->GetWorldMatrix();
            const D3DXVECTOR3 at = Row(m, 3), side = Row(m, 0), top = Row(m, 1), ahead = Row(m, 2);
            const float step = 3.1415927f * player->m_YawRate * 0.1f;
            if (WePathNode* near = NodeAhead(player, 3))
            {
                const D3DXVECTOR3 to = Row(near->GetWorldMatrix(), 3) - at;
                const float yawError = std::atan2(Dot(to, side), std::fmax(Dot(to, ahead), 0.001f));
                const float pitchError = std::atan2(Dot(to, top), std::fmax(Dot(to, ahead), 0.001f));
                if (!tapped)
                {
                    right = yawError > 1.5f * step;
                    left = yawError < -1.5f * step;
                    up = pitchError > 1.5f * step;
                    down = pitchError < -1.5f * step;
                    m_Tapped = left || right || up || down;
                }
                const D3DXVECTOR3 nodeUp = Row(near->GetWorldMatrix(), 1), nodeRight = Row(near->GetWorldMatrix(), 0);
                if (Dot(top, nodeUp) < 0.995f)
                {
                    const bool leansRight = Dot(top, nodeRight) > 0.0f;
                    rollLeft = leansRight;
                    rollRight = !leansRight;
                }
            }
            if (WePathNode* far = NodeAhead(player, 8))
            {
                const D3DXVECTOR3 to = Row(far->GetWorldMatrix(), 3) - at;
                turbo = Dot(to, ahead) / std::fmax(Length(to), 0.001f) > 0.97f;
            }
        }
        const CInputBindings& b = g_OptionsSettings.m_Bindings;
        Key(b.entries[CInputBindings::LookLeft].code, left, m_Left);
        Key(b.entries[CInputBindings::LookRight].code, right, m_Right);
        Key(b.entries[CInputBindings::LookUp].code, up, m_Up);
        Key(b.entries[CInputBindings::LookDown].code, down, m_Down);
        Key(b.entries[CInputBindings::RotateLeft].code, rollLeft, m_RollLeft);
        Key(b.entries[CInputBindings::RotateRight].code, rollRight, m_RollRight);
        Key(b.entries[CInputBindings::Turbo].code, turbo && m_TurboAllowed, m_Turbo);
    }

    bool Capture(const char* name, std::vector<uint32_t>& pixels)
    {
        if (m_Args.recording)
            return true;
        Step(true);
        pixels = m_Rig->LastFrame();
        const std::string path = m_Args.pngDir + "/" + name;
        if (pixels.empty() || !m_Rig->WritePng(path))
            return Fail(std::string("cannot write ") + path);
        std::printf("wrote %s\n", path.c_str());
        bool oneColour = true;
        for (uint32_t p : pixels)
            if ((p & 0xFFFFFFu) != (pixels[0] & 0xFFFFFFu))
            {
                oneColour = false;
                break;
            }
        return oneColour ? Fail(std::string(name) + " is one colour") : true;
    }

    bool Race()
    {
        std::vector<uint32_t> preview, countdown, racing;
        bool previewTaken = false, countdownTaken = false, racingTaken = false;
        int64_t previewShown = -1, countdownStart = -1, racingStart = -1;
        float startDistance = 0.0f;
        WePathNode* startNode = nullptr;
        float trackLength = 0.0f;
        // Up to two minutes of race time, more than enough for the preview, countdown and the run.
        const int64_t limit = int64_t(120.0 / m_Step);
        bool finished = false;
        int64_t finishTick = -1;
        while (m_Rig->Ticks() < limit)
        {
            if (m_Args.autopilot < 0)
                Drive();
            Step(false);
            if (!m_Rig->InRace())
            {
                if (g_PhaseManager.GetTopPhase() == &g_EndGamePhase && finished)
                    break;
                if (m_Rig->EnterTick() >= 0)
                    return Fail("the race was left before it ended");
                continue;
            }
            const int32_t state = g_PlayGamePhase.m_RaceState;
            const int64_t tick = m_Rig->Ticks();
            if (state == CPlayGamePhase::Preview && g_PlayGamePhase.m_PreviewActive &&
                g_ScreenFader.m_State == CScreenFader::Idle && !previewTaken)
            {
                if (previewShown < 0)
                    previewShown = tick;
                else if (tick - previewShown >= 32)
                {
                    if (!Capture("preview.png", preview))
                        return false;
                    previewTaken = true;
                }
            }
            if (state == CPlayGamePhase::Countdown)
            {
                if (countdownStart < 0)
                    countdownStart = tick;
                else if (!countdownTaken && tick - countdownStart >= 14)
                {
                    if (!Capture("countdown.png", countdown))
                        return false;
                    countdownTaken = true;
                }
            }
            if (state == CPlayGamePhase::Racing)
            {
                CTuber* player = m_Rig->Player();
                if (racingStart < 0)
                {
                    racingStart = tick;
                    trackLength = TrackLength(g_Game.m_Map);
                    startNode = player != nullptr ? player->m_CurrentNode : nullptr;
                    startDistance = startNode != nullptr ? startNode->m_DistanceAlongPath : 0.0f;
                }
                const double inRace = double(tick - racingStart) * m_Step;
                if (!racingTaken && inRace >= 3.0)
                {
                    if (!Capture("racing.png", racing))
                        return false;
                    racingTaken = true;
                    m_TurboAllowed = true;
                    if (!CheckDistance(player, startNode, startDistance, trackLength))
                        return false;
                    if (m_Args.finishAfter < 0.0)
                        break;
                }
                if (m_Args.finishAfter >= 0.0 && inRace >= m_Args.finishAfter && racingTaken)
                {
                    g_PlayGamePhase.FinishRace(0);
                    finished = true;
                    finishTick = m_Rig->Ticks() - 1;
                }
            }
            if (state == CPlayGamePhase::Finished && finished)
            {
                const int64_t inState = m_Rig->Ticks() - 1 - finishTick;
                const bool over = g_PlayGamePhase.m_RaceOver != 0;
                if (over != (inState >= 448))
                    return Fail("the race-over flag is not set at 7 s of the finish");
            }
        }
        if (!CheckStates())
            return false;
        if (!m_Args.recording)
        {
            if (!previewTaken || !countdownTaken || !racingTaken)
                return Fail("a frame was not taken");
            if (preview == countdown || countdown == racing || preview == racing)
                return Fail("two frames are the same");
        }
        else if (!racingTaken && racingStart < 0)
            return Fail("the race never started");
        if (m_CameraFaults > 0)
            return Fail(std::to_string(m_CameraFaults) + " frames had the eye in or behind the geometry, the first " +
                        m_FirstCameraFault);
        std::printf("camera clear on %d checked frames (%d more with the craft against a wall)\n", m_CameraChecks,
                    m_CraftInGeometry);
        if (!m_Args.wallPng.empty() && !m_Args.recording)
        {
            if (m_WallFrame.empty())
                return Fail("the chase eye never came within 3 m of a wall");
            if (!DemoWritePng(m_Args.wallPng.c_str(), UINT(m_Args.width), UINT(m_Args.height), m_WallFrame))
                return Fail("cannot write " + m_Args.wallPng);
            std::printf("wrote %s: the eye %.2f m from a wall at %.4f s\n", m_Args.wallPng.c_str(),
                        double(m_WallClearance), m_WallFrameSeconds);
        }
        if (m_Args.finishAfter >= 0.0)
        {
            if (!finished || m_Rig->InRace() || g_PhaseManager.GetTopPhase() != &g_EndGamePhase)
                return Fail("the race did not hand over to the end screen");
            std::printf("end phase entered at %.4f s\n", Seconds());
        }
        return true;
    }

    bool CheckDistance(CTuber* player, WePathNode* startNode, float startDistance, float trackLength)
    {
        if (player == nullptr || startNode == nullptr || player->m_CurrentNode == nullptr)
            return Fail("the player's craft is not on the track");
        float moved = player->m_CurrentNode->m_DistanceAlongPath - startDistance;
        if (moved < -0.5f * trackLength)
            moved += trackLength;
        std::printf("player moved %.1f m along the track in 3 s\n", double(moved));
        return moved >= 100.0f ? true : Fail("the player's craft moved less than 100 m");
    }

    bool CheckStates()
    {
        const std::vector<RaceRig::StateChange>& log = m_Rig->StateLog();
        if (log.size() < 4)
            return Fail("the race did not reach racing");
        for (int i = 0; i < 4; ++i)
            if (log[size_t(i)].from != i || log[size_t(i)].to != i + 1)
                return Fail("the states did not follow 0 to 4 in order");
        if (log[0].tick != 192)
            return Fail("the start delay did not last 3 s");
        if (log[2].tick - log[1].tick != 64)
            return Fail("the pre-countdown did not last 1 s");
        if (log[3].tick - log[2].tick != 116)
            return Fail("the countdown did not end at its 116th update");
        // The preview: each camera a fade in (2 s) and out (2 s) plus its time; at least the one fade.
        if (log[1].tick - log[0].tick < 256)
            return Fail("the preview was shorter than one fade");
        return true;
    }

    Arguments m_Args;
    RaceRig* m_Rig = nullptr;
    double m_Step = 1.0 / 64.0;
    size_t m_Printed = 0;
    std::string m_Failure;
    int m_CameraChecks = 0, m_CameraFaults = 0, m_CraftInGeometry = 0;
    std::string m_FirstCameraFault;
    std::vector<uint32_t> m_WallFrame;
    float m_WallClearance = 3.0f;
    double m_WallFrameSeconds = 0.0;
    bool m_Forward = false, m_Left = false, m_Right = false, m_Up = false, m_Down = false, m_RollLeft = false,
         m_RollRight = false, m_Turbo = false, m_Tapped = false;
    bool m_TurboAllowed = false;
};
}  // namespace

// "--rail SPEED [--rail-rivals S1,S2,...] [--laps N] [--map NAME] [--backend recording|gl]": the player and one
// computer slot per rival speed driven exactly along the track path on the rig's rail, weapons on; prints every
// credited lap, every pickup taken, the safety lock's expiry, the final standings, the player's result and the
// tick the end screen took over.
int RunRailRace(const std::vector<std::string>& args)
{
    float playerSpeed = 0.0f;
    std::vector<float> rivals;
    int laps = 3;
    std::string map = "Wastelands of Apeiron (day)";
    bool gl = false;
    for (size_t i = 0; i < args.size(); ++i)
    {
        const bool hasValue = i + 1 < args.size();
        char* end = nullptr;
        if (args[i] == "--rail" && hasValue)
        {
            playerSpeed = std::strtof(args[++i].c_str(), &end);
            if (*end != '\0' || !(playerSpeed > 0.0f) || playerSpeed > 1000.0f)
                return std::fputs("race_demo: --rail takes a speed above 0\n", stderr), 2;
        }
        else if (args[i] == "--rail-rivals" && hasValue)
        {
            const std::string list = args[++i];
            for (size_t at = 0; at <= list.size();)
            {
                const size_t comma = std::min(list.find(',', at), list.size());
                const float v = std::strtof(list.substr(at, comma - at).c_str(), &end);
                if (!(v > 0.0f) || v > 1000.0f || rivals.size() >= 5)
                    return std::fputs("race_demo: --rail-rivals takes up to five speeds above 0\n", stderr), 2;
                rivals.push_back(v);
                at = comma + 1;
            }
        }
        else if (args[i] == "--laps" && hasValue)
        {
            laps = int(std::strtol(args[++i].c_str(), &end, 10));
            if (*end != '\0' || laps < 1 || laps > 10)
                return std::fputs("race_demo: --laps takes 1 to 10\n", stderr), 2;
        }
        else if (args[i] == "--map" && hasValue)
            map = args[++i];
        else if (args[i] == "--backend" && hasValue)
        {
            gl = args[++i] == "gl";
            if (!gl && args[i] != "recording")
                return std::fputs(Usage, stderr), 2;
        }
        else
            return std::fputs(Usage, stderr), 2;
    }
    RaceRigOptions o;
    o.racePhase = true;
    o.map = map;
    o.backend = gl ? RaceRigOptions::Backend::OffscreenGl : RaceRigOptions::Backend::Recording;
    o.laps = laps;
    o.weapons = true;
    o.slots.push_back(RaceRigSlot{4, "Falconer", "Player", 0, 1});
    for (size_t i = 0; i < rivals.size(); ++i)
        o.slots.push_back(RaceRigSlot{2, OpponentCraft[i % 3], "", 0, int(i) + 2});
    RaceRig rig(o);
    rig.SetRail(0, playerSpeed);
    for (size_t i = 0; i < rivals.size(); ++i)
        rig.SetRail(int32_t(i) + 1, rivals[i]);
    std::string error;
    if (!rig.Start(&error))
    {
        std::fprintf(stderr, "race_demo: %s\n", error.c_str());
        return 1;
    }
    const int slots = int(o.slots.size());
    std::vector<int32_t> seenLaps(size_t(slots), 0);
    std::vector<std::pair<CPickup*, bool>> pickups;
    bool lockSeen = false, entered = false, endSeen = false, standingsPrinted = false;
    const auto name = [](CTuber* craft)
    {
        const CRaceParticipant* p = craft != nullptr ? craft->m_Participant : nullptr;
        return p != nullptr && !p->m_DisplayName.IsEmpty()
                   ? std::string(p->m_DisplayName.c_str())
                   : (p != nullptr ? "Slot" + std::to_string(p->m_Index) : std::string("nobody"));
    };
    const int64_t limit = int64_t(600.0 / o.step);
    for (int64_t t = 0; t < limit && !endSeen; ++t)
    {
        rig.Tick(1);
        if (!entered && rig.InRace() && g_Game.m_Map != nullptr)
        {
            entered = true;
            for (auto* n = g_Game.m_Map->m_Pickups.FirstNode(); n; n = g_Game.m_Map->m_Pickups.NextNode(n))
                pickups.push_back({n->payload, n->payload->m_Available});
        }
        if (!entered)
            continue;
        const double now = rig.RaceSeconds();
        if (!rig.InRace())
        {
            endSeen = g_PhaseManager.GetTopPhase() == &g_EndGamePhase;
            if (endSeen)
                std::printf("end phase entered at %.4f s\n", now);
            else
                break;
            continue;
        }
        if (!lockSeen && g_WeaponFactory.m_SafetyLockExpired != 0)
        {
            lockSeen = true;
            std::printf("safety lock expired at %.4f s\n", now);
        }
        for (int slot = 0; slot < slots; ++slot)
        {
            CTuber* craft = rig.Craft(slot);
            if (craft == nullptr)
                continue;
            for (; seenLaps[size_t(slot)] < craft->m_LapsCompleted; ++seenLaps[size_t(slot)])
                std::printf("lap %d %s %.4f\n", seenLaps[size_t(slot)] + 1, name(craft).c_str(),
                            double(craft->m_LastLapTime));
        }
        for (auto& [pickup, available] : pickups)
        {
            if (available && !pickup->m_Available)
            {
                // The taker: the craft nearest the pickup's home.
                CTuber* taker = nullptr;
                float best = 0.0f;
                for (int slot = 0; slot < slots; ++slot)
                    if (CTuber* craft = rig.Craft(slot))
                    {
                        const float d = Length(craft->GetWorldPosition() - pickup->m_HomePosition);
                        if (taker == nullptr || d < best)
                        {
                            taker = craft;
                            best = d;
                        }
                    }
                std::printf("pickup %s taken by %s at %.4f s\n", GetPickupTypeName(pickup->m_Type), name(taker).c_str(),
                            now);
            }
            available = pickup->m_Available;
        }
        if (g_PlayGamePhase.m_RaceState == CPlayGamePhase::Finished)
        {
            if (!standingsPrinted)
            {
                standingsPrinted = true;
                std::string line = "standings";
                for (int place = 1; place <= slots; ++place)
                    for (int slot = 0; slot < slots; ++slot)
                        if (CTuber* craft = rig.Craft(slot))
                            if (craft->m_Participant != nullptr && craft->m_Participant->m_RacePlace == place)
                                line += " " + std::to_string(place) + ":" + name(craft);
                std::printf("%s\n", line.c_str());
                if (CTuber* player = rig.Craft(0))
                    std::printf("finished place %d best lap %.4f record %.4f\n", player->m_Participant->m_RacePlace,
                                double(player->m_Participant->m_BestLap),
                                double(g_Game.m_Map != nullptr ? g_Game.m_Map->m_FastestLap : 0.0f));
            }
        }
    }
    rig.Stop();
    if (!endSeen)
    {
        std::printf("race_demo: FAILED: the end screen never took over\n");
        return 1;
    }
    std::printf("race_demo: ok\n");
    return 0;
}

int main(int argc, char** argv)
{
    // "--ai-race": races of computer drivers only, reported per craft and per level.
    // "--wreck": a death on a straight tube, its wreck and the respawn.
    std::vector<std::string> rest;
    bool aiRace = false, wreck = false;
    for (int i = 1; i < argc; ++i)
    {
        if (std::string(argv[i]) == "--ai-race")
            aiRace = true;
        else if (std::string(argv[i]) == "--wreck")
            wreck = true;
        else
            rest.push_back(argv[i]);
    }
    if (wreck)
        return RunWreckCommand(rest);
    for (const std::string& arg : rest)
        if (arg == "--rail")
            return RunRailRace(rest);
    if (!rest.empty() && rest[0] == "--hud-showcase")
        return RunHudShowcase(std::vector<std::string>(rest.begin() + 1, rest.end()));
    if (aiRace)
    {
        std::string output;
        const int status = RunAIRaceCommand(rest, &output);
        std::fputs(output.c_str(), stdout);
        return status;
    }
    Arguments a;
    if (!ParseArguments(argc, argv, a))
    {
        std::fputs(Usage, stderr);
        return 2;
    }
    return Demo(a).Run();
}
