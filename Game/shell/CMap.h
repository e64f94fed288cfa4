#pragma once
#include <cstdint>

#include "Engine/foundation/WeList.h"
#include "Engine/foundation/WeString.h"
#include "Engine/world/WeWorld.h"
#include "Game/shell/CMapHeader.h"

class CPickup;

// A race map: the world with the game's header, its start locations and pickups. The track list reads
// only headers through it; the shipyard's garage is one too.
class CMap : public WeWorld
{
public:
    CMap();
    ~CMap() override;

    // The header after the world's version; then, for a listed map, the names, colour and lap times the
    // configuration gives it.
    void OnLoad(WeFileStream* stream, const WeString& mapName) override;
    void OnSave(WeFileStream& stream) override;
    // Start locations and pickups; everything else is the world's.
    WeActor* CreateActor(int32_t typeCode) override;
    // Files each pickup under its nearest path node, where the AI looks for it.
    void OnLoaded() override;

    CMapHeader m_Header;
    WeList<CPickup*> m_Pickups;
    float m_FastestLap = 0.0f;  // of the current race; 0 none
    // The leader's race clock when it completed each lap (index: laps completed, 1 to MaxLaps); 0 not yet.
    static constexpr int32_t MaxLaps = 20;
    float m_LeaderLapClock[MaxLaps + 1] = {};
};

// "Fusion Sphere (night)_reverse" -> "Fusion Sphere".
WeString GetBaseMapName(const WeString& name);
void ParseMapVariant(const WeString& name, bool& reverse, bool& day, bool& night);
// The translated name, a line break, then "/day/", "/night/" ... for each variant the name carries.
WeString GetMapDisplayName(const WeString& name);
// Names starting with '_' or '!' take nothing from the configuration and are never listed.
bool IsUnlistedMapName(const WeString& name);
