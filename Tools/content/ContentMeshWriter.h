#pragma once
#include <string>

#include "Tools/content/ContentError.h"
#include "Tools/content/ContentMeshData.h"

class WeVirtualFileSystem;
class WeFileStream;

// Mesh descriptions and the mesh files of the newest version made from them. A description (".msh"):
//   [Mesh]            uv1=same|planar|boxed (texture coordinates 1), property1..property7 (the file's seven
//                     properties, engine defaults when omitted)
//   [Part <name>]     shape=box|plane|sphere|cylinder|cone|torus|sweep|polygons|loft; size=x,y,z (a plane: x,z);
//                     radius, tube, height; segments=n[,m]; caps=0|1; sweeps: profile=x,y;x,y;...,
//                     profileclosed=0|1, path=x,y,z;x,y,z;..., closed=0|1, roll=deg[;deg...]; polygons:
//                     vertex=x,y,z[,u,v] and face=i,j,k[,...] lines, clockwise seen from the front; lofts:
//                     sections=z,halfWidth,halfHeight,y,exponent;... (two or more, z rising: a superellipse
//                     ring per section, exponent 2 an ellipse, 4 a rounded box; width and height 0 a point),
//                     segments=<around>, caps at both ends unless caps=0;
//                     copy=<Package.Folder.Mesh>:<part> instead of a shape: that description's part (from the
//                     Assets folder) with this part's own position, rotation, scale and subset; a copy of a
//                     copy, or a missing one, stops the build;
//                     position=x,y,z, rotation=yaw,pitch,roll (degrees), scale=s|x,y,z, uvscale=u,v,
//                     normals=flat|smooth, subset=0..15
//   [Subset <n>]      material=<name> (preset 0), preset1..preset29=<name> (others take preset 0's)
// Every subset with faces needs its section and every section its faces. ContentMeshData.h has the
// meaning of each shape's values.
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
    // Replaces every copy part by the part it names, found in the Assets folder.
    static bool ResolveCopies(const std::string& path, const std::string& assets, ContentMeshDescription* description,
                              ContentError* error);
    // Description, copies, geometry, then the member `name` of the staged tree.
    static bool Write(const std::string& path, const std::string& assets, const std::string& name,
                      WeVirtualFileSystem& staged, ContentError* error);
};
