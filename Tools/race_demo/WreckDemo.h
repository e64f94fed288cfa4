#pragma once
#include <string>
#include <vector>

// "race_demo --wreck --png-dir DIR": the player's craft, held against the right wall of a straight tube, is
// shot by a rival 60 m behind it, dies into its wreck and respawns on the centre line. Prints the checks and
// writes before.png, wreck.png and respawn.png; 0 when every check held, 1 when one failed, 2 for bad usage.
int RunWreckCommand(const std::vector<std::string>& args);
