#pragma once

// Ends the main loop of the current application pass, as closing the game window does: the intro ends the
// first pass this way and the buy screen the last.
void EndApplicationPass();
