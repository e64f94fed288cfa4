#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Platform/gfx_d3dx/XFileData.h"
#include "Tools/content/ContentError.h"
#include "Tools/content/ContentMeshData.h"
#include "Tools/content/ContentModelWriter.h"

class WeVirtualFileSystem;

// A model description: "[Model]" (ticks per second), one "[Frame <name>]" per frame (parent, placement,
// optionally the mesh description its container is made from) and one "[Animation <set>]" per animation
// set with the keys of each frame and channel:
//
//   [Frame Rotor]
//   parent=Base
//   position=0,1.5,0
//   rotation=0,0,0        ; yaw, pitch, roll in degrees
//   scale=1,1,1
//   mesh=Demo.Meshes.Rotor
//   [Animation Spin]
//   Rotor.rotation=0:0,0,0 1200:90,0,0 2400:180,0,0
//
// A key is <tick>:<x>,<y>,<z> (rotations as yaw, pitch, roll in degrees), keys separated by one blank.
class ContentModelSource
{
public:
    struct Frame
    {
        std::string name;
        std::string parent;  // empty: a top-level frame
        D3DXVECTOR3 position{0.0f, 0.0f, 0.0f};
        D3DXVECTOR3 rotation{0.0f, 0.0f, 0.0f};  // degrees
        D3DXVECTOR3 scale{1.0f, 1.0f, 1.0f};
        std::string mesh;  // dotted name of a mesh description; empty: no container
        int line = 0;
    };
    enum Channel
    {
        Rotation,
        Position,
        Scale
    };
    struct Key
    {
        uint32_t time = 0;
        D3DXVECTOR3 value;
    };
    struct Track
    {
        std::string frame;
        Channel channel = Rotation;
        std::vector<Key> keys;
        int line = 0;
    };
    struct AnimationSet
    {
        std::string name;
        std::vector<Track> tracks;
    };
    struct Description
    {
        uint32_t ticksPerSecond = 4800;
        std::vector<Frame> frames;
        std::vector<AnimationSet> sets;
    };

    // Makes the mesh of a container and its material names from a mesh description's dotted name.
    using MeshSource = std::function<bool(const std::string& mesh, XFileMesh* out, ContentModelWriter::Container* names,
                                          std::string* error)>;

    static bool Parse(const std::string& path, const std::string& text, Description* out, ContentError* error);
    // A generated mesh as a .x mesh (one material per subset, in ascending subset order) and the material
    // names of its container.
    static bool MeshFromGeometry(const ContentMeshDescription& description, const ContentMeshGeometry& geometry,
                                 XFileMesh* out, ContentModelWriter::Container* names, std::string* error);
    // Description, meshes (mesh descriptions found in the Assets folder by their dotted names), then the
    // member `name` of the staged tree.
    static bool Write(const std::string& path, const std::string& assets, const std::string& name,
                      WeVirtualFileSystem& staged, ContentError* error);
    // The frame tree (children in file order), the meshes and the animation sets.
    static bool Build(const std::string& path, const Description& d, const MeshSource& meshes, XFileData* data,
                      std::vector<ContentModelWriter::Container>* containers, ContentError* error);
};
