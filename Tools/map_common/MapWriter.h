#pragma once
#include <string>

#include "Tools/map_common/MapDescription.h"

// Writes <mapsFolder>/<name>.map from a parsed description with the engine's own record writers:
// version 1, the game's header (none until the game registers its writer), the sky box, then each
// actor's type code and record. Written to ".partial" and renamed on success. Fills `written` with
// one line per file.
bool WriteMap(const MapDescription& map, const std::string& fileName, const std::string& mapsFolder,
              std::string& written, std::string& error);
