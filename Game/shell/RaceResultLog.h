#pragma once

// Writes one "race result" line per participant to the debug channel, in place order, once the race's
// standings are final: scripts compare two runs of the same race by these lines.
void WriteRaceResults();
