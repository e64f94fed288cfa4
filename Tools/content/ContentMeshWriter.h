#pragma once
#include <string>

#include "Tools/content/ContentError.h"
#include "Tools/content/ContentMeshData.h"

class WeVirtualFileSystem;
class WeFileStream;

// Mesh descriptions (".msh": "[Mesh]", "[Part <name>]" and "[Subset <n>]" sections) and the mesh files of
// the newest version made from them.
class ContentMeshWriter
{
public:
    static bool Parse(const std::string& path, const std::string& text, ContentMeshDescription* out,
                      ContentError* error);
    // The mesh file of the geometry (faces sorted by subset, each subset over its own run of vertices,
    // tangents computed) with the description's subsets and properties. Needs the render device (the
    // tangents are computed on a D3DX mesh). False with the reason, writing nothing, when the geometry
    // holds 60,000 vertices or 20,000 faces or more, or when subsets and materials do not match.
    static bool WriteFile(WeFileStream& stream, const ContentMeshDescription& description,
                          const ContentMeshGeometry& geometry, std::string* error);
    // Description, then geometry, then the member `name` of the staged tree.
    static bool Write(const std::string& path, const std::string& name, WeVirtualFileSystem& staged,
                      ContentError* error);
};
