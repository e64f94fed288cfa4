#pragma once

#include "Engine/render/WeCamera.h"

// The chase camera that follows the player's craft during a race; owned by the game-wide state.
class CGameCamera : public WeCamera
{
public:
    CGameCamera() = default;
};
