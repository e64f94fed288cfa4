#pragma once
#include "Engine/ui/WeUIComponent.h"

// One of the manager's three parentless roots over the whole layout area: it only updates and draws its
// children, and its colour stays opaque white so that children inheriting alpha are visible.
class WeUIRoot : public WeUIComponent
{
public:
    explicit WeUIRoot(const WeString& name);
    void Update() override;
    void Render() override;
    // Destroys, one at a time from the front, every child whose fade-out has made it invisible.
    void DestroyHiddenChildren();
    // Empties the waiting list, starting each component's fade-in.
    void StartQueuedFadeIns();
};
