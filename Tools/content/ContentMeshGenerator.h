#pragma once
#include <string>

#include "Tools/content/ContentMeshData.h"

// Turns mesh descriptions (parts, placements, subsets) into triangles with normals and both texture
// coordinate sets. Callable without any text: the map builder sweeps its track sections through it.
class ContentMeshGenerator
{
public:
    // Every part, then texture coordinates 1 by the description's mode. False with the reason (naming the
    // part) on a shape that cannot be made.
    static bool Generate(const ContentMeshDescription& description, ContentMeshGeometry* out, std::string* error);
    // Appends one part's triangles (placed, normals made) to out.
    static bool AddPart(const ContentMeshPart& part, ContentMeshGeometry* out, std::string* error);
    static void MakeUv1(ContentUv1Mode mode, ContentMeshGeometry* geometry);
};
