#pragma once
#include <string>

#include "Tools/map_common/MapDescription.h"

class CMapHeader;

// The game's side of wemap: the v18 header from a description's header block, and start locations and
// pickups made by the classes the game reads them with.
namespace MapGameWriter
{
// Registers the header writer and the actor makers with map_common's writer.
void Register();
void Unregister();
// The header block's fields into a header (the world's flag and values into `world`); false with
// "file:line: message" on an unknown field or a bad number.
bool FillHeader(const MapDescription& map, const std::string& fileName, CMapHeader& header, bool& portals,
                float& distance1, float& distance2, std::string& error);
}  // namespace MapGameWriter
