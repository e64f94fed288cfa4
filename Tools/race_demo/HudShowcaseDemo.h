#pragma once
#include <string>
#include <vector>

// race_demo --hud-showcase --png FILE: the race display with every part on screen, written as a PNG and
// checked against the same frame with the display hidden.
int RunHudShowcase(const std::vector<std::string>& args);
