#pragma once
#include <cstdint>

// A table of 32768 random values seeded from the timer, read in passes that start one entry further
// on each time, so the sequence repeats only after 32768 passes. The particle systems draw from it.
void InitRandomTable();
// The same from a given seed, so that tests and tools can repeat a run.
void InitRandomTable(uint32_t seed);
int NextRandom();
