#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"

class CRaceParticipant;

// The set-up of the next or current race, written by the set-up screens and the profiles and read by the
// race, the craft, the AI and the HUD.
class CRaceSettings
{
public:
    static constexpr int32_t SlotCount = 6;
    static constexpr int32_t TeamCount = 6;

    enum RaceType : int32_t
    {
        StandardRace = 0,
        TimeTrial = 1,
        LastOneOut = 2
    };

    CRaceSettings();
    ~CRaceSettings();
    CRaceSettings(const CRaceSettings&) = delete;
    CRaceSettings& operator=(const CRaceSettings&) = delete;

    // Reads the six team colours from the configuration (the constructor does it once).
    void LoadTeamColors();
    void ClearParticipants();
    // Slot 0 becomes the player of the current profile, start place 1; every other slot open.
    void SetPlayerParticipant();
    // Null for a slot outside 0..5.
    CRaceParticipant* SetParticipant(int32_t index, int32_t kind, const WeString& craftKey, int32_t startPlace);
    // Null outside 0..5.
    CRaceParticipant* GetParticipant(int32_t index) const;
    int32_t CountParticipants() const;
    int32_t CountFinishedParticipants() const;
    int32_t CountActiveParticipants() const;
    CRaceParticipant* FindParticipantByPlace(int32_t place) const;
    void LookupCraftName(WeString& out, const WeString& craftKey) const;
    // Names the unnamed computer slots 1 to 5 from the AI profiles of the race difficulty.
    void AssignAINames();
    // The current profile's copy (the profiles add these).
    void LoadFromProfile();
    void SaveToProfile();

    WeString m_MapName;
    int32_t m_Laps = 0;
    int32_t m_RaceType = StandardRace;
    CRaceParticipant* m_Participants[SlotCount];
    bool m_InstantRace = false;
    bool m_Dynamics = false;
    bool m_Weapons = false;
    bool m_Reserved = false;  // set by the set-up screens, read nowhere
    bool m_UnlimitedTurbo = false;
    int32_t m_Difficulty = 0;
    // Per slot: its computer opponent is drawn at random when the set-up screen closes.
    bool m_RandomOpponents[SlotCount];
    // Teams 1 to 6 (a participant's team is its start place): red, green, blue, alpha.
    float m_TeamColors[TeamCount][4];
};

extern CRaceSettings g_RaceSettings;

// The current profile's name, empty when there is none; the profiles answer it.
WeString GetCurrentProfileName();
