#pragma once

// A screen or the race: one phase on the phase stack. Every step does nothing unless overridden.
// The phase manager calls these; phases ask for stack changes only through its request queue.
class WeAbstractPhase
{
public:
    // Becomes the top by a change or a push.
    virtual void Enter() {}
    // Removed by a change or a pop, and at application shutdown.
    virtual void Leave() {}
    // A phase was pushed over this one (before it enters).
    virtual void OnCovered(WeAbstractPhase* newTop) { (void)newTop; }
    // The phase above this one was popped.
    virtual void OnUncovered(WeAbstractPhase* removed) { (void)removed; }
    // Every tick, top down, so that the top phase can consume an input edge first.
    virtual void HandleInput() {}
    // Every tick, bottom up, after every HandleInput.
    virtual void Update() {}
    // Every frame from the game's render callback, bottom up.
    virtual void Render() {}

protected:
    // Phases are process-wide objects, never deleted through this type.
    ~WeAbstractPhase() = default;
};
