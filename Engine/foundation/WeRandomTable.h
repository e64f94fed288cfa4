#pragma once

// A table of 32768 random values seeded from the timer, read in passes that start one entry further
// on each time, so the sequence repeats only after 32768 passes. The particle systems draw from it.
void InitRandomTable();
int NextRandom();
