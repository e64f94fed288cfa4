#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Tools/map_common/MapDescription.h"
#include "Tools/map_common/MapTrack.h"

// The plan of a track: its centre line seen from above, fitted to the picture, as a glowing road line in the
// edge cyan on the night colour, with the fork's branches, the jumps as gaps, the start line in amber and the
// checkpoints as ticks. ARGB pixels, rows top to bottom.
std::vector<uint32_t> PaintMapPlan(const MapDescription& map, const std::vector<MapPathNode>& nodes, int width,
                                   int height);

// Writes each `plan` statement's picture as the texture member its header field names, into the packages tree,
// and a PNG of it into the previews folder when one is given. False with "file:line: message".
bool WriteMapPlans(const MapDescription& map, const std::vector<MapPathNode>& nodes, const std::string& fileName,
                   const std::string& packagesFolder, const std::string& previewsFolder, std::string& written,
                   std::string& error);
