#pragma once
#include <string>
#include <utility>
#include <vector>

#include "Tools/map_common/MapDescription.h"

class WeFileStream;

class WeActor;

// The game's map header: written after the version from the description's header block (each field with
// its line). False, with "file:line: message" in error, stops the map from being written.
using MapHeaderWriter = bool (*)(WeFileStream& stream, const MapDescription& map, const std::string& fileName,
                                 std::string& error);
// Registers the writer every later WriteMap calls; null (the default) writes no header bytes.
void SetMapHeaderWriter(MapHeaderWriter writer);

// The game's actors of a game map, made by the classes the game reads them with.
struct MapActorMakers
{
    WeActor* (*startLocation)(int32_t index) = nullptr;
    // The type id of a pickup name or number; 0 for none.
    int32_t (*pickupType)(const std::string& kind) = nullptr;
    WeActor* (*pickup)(int32_t type, bool random) = nullptr;
};
// Where the plan pictures' PNG previews go (none when empty); set by wemap.
void SetMapPreviewFolder(const std::string& folder);
// Registers the makers every later WriteMap uses (copied); null leaves the stand-in start locations and
// refuses pickups.
void SetMapActorMakers(const MapActorMakers* makers);

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
