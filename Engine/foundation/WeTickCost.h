#pragma once
#include <cstdint>

class SysClockSource;

// The stages a benchmark splits a tick and a frame into.
enum class WeCostStage : uint8_t
{
    Other,             // whatever no mark claims: the engine's loop, the camera, screen effects
    Physics,           // the physics step, its results and the bodies' poses pulled into the actors
    Ai,                // the computer drivers' decisions
    Craft,             // the craft's own step and motion
    Weapons,           // projectiles, mines, explosions and the fire requests
    PickupsStandings,  // the pickups, the checkpoints, the placings and the race's end
    HudUi,             // the HUD and the UI, their update and their drawing
    WorldRender,       // the world's render submission (and its reflection)
    PostProcess,       // the post-processing chain
    Present,           // handing the frame over
    Render,            // the rest of the frame's render submission
    Count
};

// Where a benchmark's tick or frame spends its wall time. Time between two marks is charged to the stage
// innermost open, read from the system clock: the engine's own timer and profiler sections may run on a stepped
// clock that says nothing of the work done. Off unless a benchmark turns it on; off, a mark is one test.
class WeTickCost
{
public:
    static constexpr int32_t StageCount = int32_t(WeCostStage::Count);
    static constexpr int32_t MaxDepth = 16;

    WeTickCost();
    // Reads another clock (tests use a fake one); null: the system's.
    void UseClock(SysClockSource* clock);
    void Enable(bool on);
    bool IsEnabled() const { return m_Enabled; }
    // Clears the stages and starts charging Other.
    void BeginSample();
    // Charges the time since the last mark and hands out the nanoseconds of each stage since BeginSample.
    void EndSample(int64_t (&nanoseconds)[StageCount]);
    // A nested stage; what opened it gets the time again once it leaves. Deeper than MaxDepth, the innermost
    // stage keeps the time.
    void Enter(WeCostStage stage);
    void Leave();

    // The stage the world charges an actor's tick to, by its kind; none: the stage open around the world's tick.
    using ActorStage = WeCostStage (*)(int32_t kind);
    ActorStage m_ActorStage = nullptr;

    static const char* StageName(WeCostStage stage);

    // Enter on construction and Leave on destruction, when the record is on.
    class Scope
    {
    public:
        explicit Scope(WeCostStage stage);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        bool m_Entered = false;
    };

private:
    void Charge();
    int64_t Now();

    SysClockSource* m_Clock = nullptr;
    bool m_Enabled = false;
    int32_t m_Depth = 0;  // entries on the stack above Other
    int32_t m_Overflow = 0;
    WeCostStage m_Stack[MaxDepth + 1] = {};
    int64_t m_Mark = 0;
    int64_t m_Counts[StageCount] = {};  // in the clock's counts
};

extern WeTickCost g_TickCost;
