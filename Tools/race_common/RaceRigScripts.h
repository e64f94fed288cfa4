#pragma once
#include <cstdint>

class CInputMessage;
class CTuber;

// Drives a craft round the track by its path nodes: holds forward and steers by pure pursuit of the point of the
// path a look-ahead distance (growing with speed) beyond the craft's nearest point on it, leveling the roll; from
// turboFromTick on uses turbo where the path runs straight ahead for the next stretch.
void SteerAlongTrack(const CTuber* craft, int64_t tick, int64_t turboFromTick, CInputMessage& message);
