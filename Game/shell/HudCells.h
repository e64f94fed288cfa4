#pragma once
// The cells of the display's atlases in their pixels (left, top, right, bottom): what the display cuts from
// "Ingame.Atlases.Hud" and "Ingame.Atlases.Locking", and what their pictures must fill.
#include "Game/shell/HudDrawing.h"

namespace HudCells
{

constexpr HudCell LeftPanel{0, 0, 252, 192};
constexpr HudCell HealthFill{256, 44, 384, 192};
constexpr HudCell RightPanel{388, 0, 640, 192};
constexpr HudCell TurboFill{672, 44, 800, 192};
constexpr HudCell SpeedLedOff{96, 464, 128, 480};
constexpr HudCell SpeedLedOn{64, 464, 96, 480};
constexpr HudCell TurboLedOff{0, 464, 16, 472};
constexpr HudCell TurboLedOn{32, 464, 48, 472};
constexpr HudCell StatsLeft{312, 227, 460, 312};
constexpr HudCell StatsRight{142, 200, 304, 380};
constexpr HudCell WeaponFrame{470, 207, 599, 311};
constexpr HudCell PowerUpBacking{614, 215, 720, 321};
// The power-up signs' columns by power-up number (invisibility, invulnerability, quad damage, engine
// ability), each 64 pixels square from row 392.
constexpr int32_t PowerUpIconColumns[4] = {64, 0, 128, 192};
constexpr int32_t PowerUpIconTop = 392;
constexpr int32_t PowerUpIconSize = 64;
constexpr HudCell StandingsTop{0, 201, 128, 232};
constexpr HudCell StandingsMiddle{0, 248, 128, 280};
constexpr HudCell StandingsBottom{0, 296, 128, 359};
constexpr HudCell StandingsRow{0, 360, 128, 392};

constexpr HudCell LockRings[3] = {{256, 0, 512, 256}, {0, 0, 256, 256}, {512, 0, 768, 256}};
constexpr HudCell PickupBracketLeft{768, 0, 784, 31};
constexpr HudCell PickupBracketRight{800, 0, 816, 31};
constexpr HudCell MineBracketLeft{832, 0, 848, 31};
constexpr HudCell MineBracketRight{864, 0, 880, 31};
constexpr HudCell Crosshair{896, 0, 928, 32};

}  // namespace HudCells
