#pragma once
#include <cstdint>

class CInputMessage;
class CTuber;

// Drives a craft round the track by its path nodes: steers toward a node a little ahead by the side it lies
// on, holds forward, and from turboFromTick on uses turbo where the node lies straight ahead.
void SteerAlongTrack(const CTuber* craft, int64_t tick, int64_t turboFromTick, CInputMessage& message);
