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

struct MapSection
{
    std::vector<MapControlPoint> points;
    bool jumpBefore = false;  // a gap between the end of the previous section and this one's start
    int line = 0;
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

struct MapDescription
{
    std::string name;
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
    std::vector<MapLoopItem> loop;
    std::vector<MapExtraActor> actors;
    std::vector<MapEffectActor> effects;
    // Where shipped particle definitions are read from (the generated package tree); set by the caller.
    std::string packagesFolder;
    std::vector<std::pair<std::string, std::string>> header;  // kept for the game's header writer
};

// Parses the text; false with "file:line: message" in error on the first fault.
bool ParseMapDescription(const std::string& text, const std::string& fileName, MapDescription& out, std::string& error);
