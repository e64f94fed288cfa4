#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A model's portrait for the game's reference pages: a mesh description (".msh" of the Assets folder) drawn
// by a small software rasteriser - depth buffer, one key light, an edge-cyan rim - over the night
// background, seen from a yaw and pitch and fitted to the picture. The same source gives the same pixels
// on every build.
class ContentPortrait
{
public:
    // `mesh` is the dotted member name (Package.Folder.Mesh) of a description under `assets`; the pixels are
    // ARGB, rows top to bottom. False with the reason when the description cannot be read or made.
    static bool Paint(const std::string& assets, const std::string& mesh, float yawDegrees, float pitchDegrees,
                      int width, int height, std::vector<uint32_t>* argb, std::string* error);
};
