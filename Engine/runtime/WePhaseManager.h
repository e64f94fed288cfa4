#pragma once

#include "Engine/foundation/WeList.h"

#include <cstdint>

class WeAbstractPhase;

// One request of the queue: operation 0 change the top phase, 1 push, 2 pop (the phase is ignored).
struct WePhaseRequest
{
    int32_t operation = 0;
    WeAbstractPhase* phase = nullptr;
};

// The phase stack. It changes only through the request queue, applied at one fixed point of the
// game tick, never inside the call that asked for the change.
class WePhaseManager
{
public:
    static constexpr int32_t ChangeRequest = 0;
    static constexpr int32_t PushRequest = 1;
    static constexpr int32_t PopRequest = 2;

    WePhaseManager() = default;
    ~WePhaseManager() = default;

    // Appends a request and returns at once. A change or push of no phase, and an unknown
    // operation, are dropped (there would be nothing to enter).
    void RequestPhase(WeAbstractPhase* phase, int32_t operation);
    // Applies every queued request, first in first out, including those posted meanwhile by the
    // phases' Enter, Leave, OnCovered and OnUncovered.
    void ProcessRequests();
    // HandleInput on every stacked phase top down, then Update bottom up.
    void Tick();
    // Render on every stacked phase bottom up.
    void Render();
    // Application shutdown: Leave on every stacked phase top down (no OnUncovered), the stack
    // emptied and the queue dropped, also what the Leave calls posted, so that nothing carries
    // over into the next pass.
    void Shutdown();

    void ChangePhase(WeAbstractPhase* phase);
    void PushPhase(WeAbstractPhase* phase);
    void PopPhase();

    // The top phase (null on an empty stack); does not use the stack's cursor, so it may be asked
    // from inside a walk.
    WeAbstractPhase* GetTopPhase() const;
    int32_t GetPhaseCount() const { return m_Stack.Count(); }
    // The stacked phase at index (0 the bottom), null outside the stack; like GetTopPhase, no cursor is used.
    WeAbstractPhase* GetPhaseAt(int32_t index) const;
    int32_t GetRequestCount() const { return m_Requests.Count(); }

    WePhaseManager(const WePhaseManager&) = delete;
    WePhaseManager& operator=(const WePhaseManager&) = delete;

private:
    WeList<WeAbstractPhase*> m_Stack;  // the last element is the top
    WeList<WePhaseRequest> m_Requests;
};

extern WePhaseManager g_PhaseManager;
