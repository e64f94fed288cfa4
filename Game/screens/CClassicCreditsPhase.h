#pragma once
#include <cstdint>

#include "Engine/foundation/WeList.h"
#include "Engine/foundation/WeStringList.h"
#include "Engine/runtime/WeAbstractPhase.h"

class CClassicCreditsDude;

// The rolling credits over the menu background: the numbered credit texts, then the legal text, each an
// entry that fades in and out at the screen centre, started one after another while the credits music
// plays once. When every entry is over and the music has ended the main menu returns; Escape returns at once.
class CClassicCreditsPhase : public WeAbstractPhase
{
public:
    ~CClassicCreditsPhase();

    void Enter() override;
    void Leave() override;
    void HandleInput() override;
    void Update() override;
    void Render() override;

    // Destroys every live entry.
    void DestroyEntries();

    WeStringList m_Titles;
    WeStringList m_Texts;
    int32_t m_EntryCount = 0;
    // The entry started last; -1 before the first.
    int32_t m_CurrentEntry = -1;
    // From the last start to the next, in seconds.
    float m_Interval = 0.0f;
    // The live entries, owned.
    WeList<CClassicCreditsDude*> m_Entries;
    // Since the last entry started.
    float m_Timer = 0.0f;
    // Set when the credits have run to their end; the main menu clears it before it changes here.
    uint8_t m_Finished = 0;
};

extern CClassicCreditsPhase g_ClassicCreditsPhase;
