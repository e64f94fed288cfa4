#pragma once

// Frees the models, particle templates and sounds the craft, their wrecks, the weapons and the explosions load
// once and share for a whole run: at the game's end, and by the race rig between its runs. Nothing in a world
// may still use them.
void ReleaseCraftAssets();
