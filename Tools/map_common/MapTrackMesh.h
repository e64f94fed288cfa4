#pragma once
#include <string>
#include <vector>

#include "Tools/content/ContentMeshData.h"
#include "Tools/map_common/MapDescription.h"

// One piece of the track's surface: a mesh of road (subset 0) and walls (subset 1) in world coordinates,
// named Maps.<map>.Track<NN>.
struct MapTrackSegment
{
    std::string name;
    ContentMeshGeometry geometry;
};

// The mesh format's limits that every segment stays below.
constexpr size_t MapSegmentMaxVertices = 60000;
constexpr size_t MapSegmentMaxFaces = 20000;

// Sweeps the profile along every section's and branch's frames (the same frames the path nodes take) and
// cuts the result into segments of about the segment length. Faces are clockwise seen from the driving
// side. Near a fork and its join the walls between the two branches are left out, so both stay drivable.
std::vector<MapTrackSegment> BuildTrackSegments(const MapDescription& map);
