#pragma once
#include <string>
#include <utility>
#include <vector>

#include "Tools/map_common/MapDescription.h"

class WeFileStream;

// The game's map header: written after the version from the description's header block. False stops the
// map from being written.
using MapHeaderWriter = bool (*)(WeFileStream& stream, const std::vector<std::pair<std::string, std::string>>& header);
// Registers the writer every later WriteMap calls; null (the default) writes no header bytes.
void SetMapHeaderWriter(MapHeaderWriter writer);

// Writes <mapsFolder>/<name>.map from a parsed description with the engine's own record writers:
// version 1, the game's header (none until the game registers its writer), the sky box, then each
// actor's type code and record. Written to ".partial" and renamed on success. Fills `written` with
// one line per file.
bool WriteMap(const MapDescription& map, const std::string& fileName, const std::string& mapsFolder,
              std::string& written, std::string& error);
// The same with the track: its segment meshes go to <packagesFolder>/Maps/<name>/Track<NN>.mesh (replacing
// the ones an earlier build left) and a segment actor for each into the map. Needs the render device (the
// mesh writer computes tangents); the recording backend does.
bool WriteMap(const MapDescription& map, const std::string& fileName, const std::string& mapsFolder,
              const std::string& packagesFolder, std::string& written, std::string& error);
