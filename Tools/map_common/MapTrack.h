#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Platform/math/D3DXMATRIX.h"
#include "Tools/map_common/MapDescription.h"

// One generated path node: id, kind, links and its frame (rows right, up, forward, position).
struct MapPathNode
{
    int32_t id = 0;
    int32_t kind = 0;
    int32_t link1 = 0;
    int32_t link2 = 0;
    D3DXMATRIX frame;
    // The game's marks, from the section (or branch) the node belongs to.
    bool checkpoint = false;
    float hold = 0.0f;
    float healing = 0.0f;
    float effect = 0.0f;
    bool headlights = false;
    bool zone = false;
    int32_t branch = 0;  // 0 the main path, 1 and 2 a fork's branches
};

// One sample of a section's centreline with its frame.
struct MapFrame
{
    D3DXVECTOR3 position;
    D3DXVECTOR3 right;
    D3DXVECTOR3 up;
    D3DXVECTOR3 forward;
};

// A branch with a jump as its two parts (the marks go with both); any other section as itself.
std::vector<MapSection> SplitAtGap(const MapSection& section);

// Samples a section's Catmull-Rom centreline at about `step` apart (both ends included); frames never
// flip between samples.
std::vector<MapFrame> SampleSection(const MapSection& section, float step);

// The path nodes of the whole loop with ids in steps of 10 and link values that the world's linking
// walk turns back into the described loop, forks and jumps. False with "file:line: message" on a node
// the loader would drop or the scene tree cannot hold.
bool BuildPathNodes(const MapDescription& map, const std::string& fileName, std::vector<MapPathNode>& out,
                    std::string& error);

// The start frames: rows of two on the road behind the first node (along the last section), `spacing` apart.
std::vector<D3DXMATRIX> BuildStartFrames(const MapDescription& map, const std::vector<MapPathNode>& nodes);
// A game map's grid: rows of two on the first section just past the first node, facing along the track, the
// first frame at the front. The lap line is the first node, so the first crossing after the start counts.
std::vector<D3DXMATRIX> BuildGameStartFrames(const MapDescription& map);

// The centre line of one lap of the main path (a fork's first branch), from the first node, with the
// distance of each sample from the start; `jumps` gets the sample indices that begin a gap.
std::vector<MapFrame> SampleLap(const MapDescription& map, std::vector<float>& distances, std::vector<size_t>* jumps);
// The road point of a pickup at a distance along the lap (wrapped), `side` metres right, at the node lift;
// or its given point.
D3DXVECTOR3 PlacePickup(const MapDescription& map, const MapPickup& pickup);
