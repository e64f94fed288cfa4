#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CInputMessage;
class CTuber;

// One participant slot of a rig race.
struct RaceRigSlot
{
    int32_t kind = 0;        // 0 open, 1-3 AI Easy/Medium/Hard, 4 human
    std::string craft;       // catalogue key
    std::string name;        // display name; empty: the race settings' own (the human is "Player")
    int32_t team = 0;        // 1-6; 0: slot + 1
    int32_t startPlace = 0;  // 1-8; 0: slot + 1
};

struct RaceRigOptions
{
    enum class Backend
    {
        Recording,
        OffscreenGl
    } backend = Backend::Recording;
    int32_t width = 1024, height = 768;
    double step = 1.0 / 64.0;       // the stepped clock, the physics step and the frame time
    uint32_t seed = 1;              // SysRandom::Seed and InitRandomTable
    std::string map = "_TestRace";  // a map in bin/Maps, unless
    std::string mapDescription;     // a map-builder description (with its header block), built into a scratch
                                    // folder of the rig's own
    bool racePhase = false;         // false: craft only; true: the real race phase
    int32_t raceType = 0, laps = 3, difficulty = 2;
    bool weapons = false, dynamics = true, unlimitedTurbo = false;
    // With a map description: the track's road and walls as static bodies (level group 0), so shots,
    // rays and craft meet them as on a built map.
    bool trackBodies = false;
    std::vector<RaceRigSlot> slots;  // at most six
};

// The headless race every race test runs on: the real engine devices on the offscreen window (the recording
// graphics backend or offscreen OpenGL), Bullet, OpenAL Soft's null device, a map, the participants' craft on
// their start locations, a stepped clock of one fixed step per engine tick and seeded random numbers, so the
// same script gives the same race bit for bit.
class RaceRig
{
public:
    explicit RaceRig(RaceRigOptions options);
    ~RaceRig();
    RaceRig(const RaceRig&) = delete;
    RaceRig& operator=(const RaceRig&) = delete;

    // Devices, clock, seeds, game data, map, participants, craft. False with the reason; what started is
    // stopped again.
    bool Start(std::string* error);
    // The map deleted, the engine shut down, the window gone; a new Start may follow.
    void Stop();
    // Engine ticks of one step each.
    void Tick(int32_t count = 1);
    // A tick and a render (offscreen OpenGL).
    void Frame();
    // A render of the state as it stands, without a tick (a state set up for one picture stays as set).
    void RenderOnly();
    // Ticks until done (checked before each tick) or maxSeconds of race time; true when done.
    bool RunUntil(const std::function<bool()>& done, double maxSeconds);
    int64_t Ticks() const;
    double Seconds() const;
    CTuber* Craft(int32_t slot) const;
    CTuber* Player() const;
    using Script = std::function<void(int64_t tick, CInputMessage& message)>;
    // Craft only: fills the player's message before each tick.
    void SetPlayerScript(Script script);
    // Drives a slot without an agent: its message is filled and its craft moved before the craft's own step.
    void SetSlotScript(int32_t slot, Script script);
    // Craft only; the race phase sets its own.
    void SetRaceState(int32_t state);
    int32_t RaceState() const;
    // FNV-1a 64 over each craft's pose, velocities, speed, turbo energy and hyper-brake charge, in slot order,
    // chained tick by tick.
    uint64_t PoseDigest() const;
    // The chained digest after each tick (index 0: after the first).
    const std::vector<uint64_t>& TickDigests() const;
    // Offscreen OpenGL only: the last rendered frame.
    bool WritePng(const std::string& path);
    // Offscreen OpenGL only: the pixels (ARGB) of the last frame Frame rendered.
    const std::vector<uint32_t>& LastFrame() const;
    bool IsStarted() const;
    // The camera of the render: behind the player unless placed here (eye, and the point it looks at).
    void SetCamera(const float eye[3], const float at[3]);
    void ClearCamera();

    // --- the path rail ---
    // Moves the slot's craft along the track path at speed metres per second (negative: backwards) while the
    // race runs: its body is made kinematic and its pose set before each tick, its control message left
    // empty. 0 takes the craft off the rail. May be called before Start.
    void SetRail(int32_t slot, float speed);
    // Puts the railed slot's craft at a track fraction (0 to 1) at the next tick.
    void JumpToFraction(int32_t slot, float fraction);

    // --- the race-phase mode ---
    // A key of the keyboard (a DirectInput code) pressed or released through the input layer's feed, so the
    // real bindings see it at the next tick.
    void KeyDown(int32_t code);
    void KeyUp(int32_t code);
    // Every change of the race state, with the tick since the race phase was entered.
    struct StateChange
    {
        int32_t from = 0, to = 0;
        int64_t tick = 0;  // ticks since the tick that entered the race
    };
    const std::vector<StateChange>& StateLog() const;
    // Seconds since the race phase was entered, counted in steps; -1 before it was.
    double RaceSeconds() const;
    // The tick that entered the race phase, -1 before; and whether the race phase is on the stack.
    int64_t EnterTick() const;
    bool InRace() const;

    struct State;

private:
    std::unique_ptr<State> m_State;
};
