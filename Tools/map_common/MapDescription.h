#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "Platform/math/D3DXVECTOR3.h"

// A track described in text (grammar in Tools/mapbuilder/README.md), as the parser read it.
struct MapControlPoint
{
    D3DXVECTOR3 position;
    float bank = 0.0f;  // degrees, positive leans the road's right side down
};

// A value set on every path node of a section, when given.
template <class T>
struct MapNodeMark
{
    bool set = false;
    T value{};
};

struct MapSection
{
    std::vector<MapControlPoint> points;
    bool jumpBefore = false;  // a gap between the end of the previous section and this one's start
    int line = 0;
    // A branch's own gap: the points from this index on start past it (0: none).
    size_t gapAt = 0;
    int gapLine = 0;
    // The game's path-node marks: checkpoints (by the control point before each `checkpoint`), and values
    // for every node of the section.
    std::vector<size_t> checkpoints;
    MapNodeMark<float> hold, healing, effect;
    MapNodeMark<bool> headlights, zone;
};

// One element of the loop: a section, or a fork of two branches between the section before it and
// the one after it.
struct MapLoopItem
{
    bool isFork = false;
    MapSection section;
    MapSection branches[2];
    int line = 0;
};

struct MapExtraActor
{
    std::string kind;  // "plain"
    std::string model;
    D3DXVECTOR3 position;
    D3DXVECTOR3 scale{1.0f, 1.0f, 1.0f};
    int32_t physicsClass = 0;
    int32_t group = 0;
    std::string label;
    bool teleporter = false;
    std::string teleportTarget;
    int line = 0;
};

// One "key value..." line of a light or particles block, checked when read and applied when written.
struct MapField
{
    std::string key;
    std::vector<std::string> value;
    int line = 0;
};

// A light, particle system or portal placed by the description.
struct MapEffectActor
{
    std::string kind;  // "light", "particles", "portal"
    D3DXVECTOR3 position;
    float yaw = 0.0f;  // degrees about the vertical axis
    std::string label;
    std::string definition;  // particles: a shipped definition whose record is copied first
    std::vector<MapField> fields;
    float width = 10.0f, height = 10.0f;
    bool active = true;
    bool limitedReach = false;
    float frontReach = 500.0f, backReach = 500.0f;
    int line = 0;
};

// One line of a game map's header block: the field's name, the rest of its line, and where it stood.
struct MapHeaderField
{
    std::string key;
    std::string value;
    int line = 0;
};

// A pickup placed on the road: at a distance along the loop from the first node (and metres right of the
// centre line), or at a point. The kind is a pickup name or id, resolved by the game's maker.
struct MapPickup
{
    std::string kind;
    bool atDistance = true;
    float distance = 0.0f;
    float side = 0.0f;
    D3DXVECTOR3 position{0.0f, 0.0f, 0.0f};
    bool random = false;
    int line = 0;
};

// A picture of the track's plan painted into the texture the header's `preview` or `loading` field names.
struct MapPlan
{
    std::string field;  // "preview" or "loading"
    int32_t width = 0;
    int32_t height = 0;
    int line = 0;
};

struct MapDescription
{
    std::string name;
    // The package folder of the segments (Maps.<folder>.TrackNN); the name when not given.
    std::string folder;
    std::string skyModel;
    int32_t skyMode = 0;
    std::string profile = "channel";
    float roadWidth = 16.0f;
    float wallHeight = 2.0f;
    float step = 2.0f;
    float segmentLength = 200.0f;
    std::string roadMaterial = "Maps.Common.Road";
    std::string wallMaterial = "Maps.Common.Wall";
    float nodeSpacing = 25.0f;
    float nodeLift = 1.5f;
    int32_t startCount = 0;
    float startSpacing = 8.0f;
    int32_t checkpointCount = 0;  // `checkpoints <n>`: n checkpoints at even lap fractions
    std::vector<MapLoopItem> loop;
    std::vector<MapExtraActor> actors;
    std::vector<MapEffectActor> effects;
    // Where shipped particle definitions are read from (the generated package tree); set by the caller.
    std::string packagesFolder;
    std::vector<std::pair<std::string, std::string>> header;  // `header <key> <value>` lines, kept as they are
    // A `header` ... `end` block makes a game map: its header, pickups and the start grid past the first node.
    bool gameMap = false;
    std::vector<MapHeaderField> headerFields;
    std::vector<MapPickup> pickups;
    std::vector<MapPlan> plans;
    int headerLine = 0;

    // The segments' package folder.
    const std::string& SegmentFolder() const { return folder.empty() ? name : folder; }
};

// Parses the text; false with "file:line: message" in error on the first fault.
bool ParseMapDescription(const std::string& text, const std::string& fileName, MapDescription& out, std::string& error);
