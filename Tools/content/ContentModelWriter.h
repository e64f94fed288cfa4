#pragma once
#include <array>
#include <string>
#include <vector>

#include "Platform/gfx_d3dx/XFileData.h"
#include "Tools/content/ContentError.h"

class WeFileStream;
class WeVirtualFileSystem;

// Model files of the newest version: the frames, meshes and animation sets as a text .x, then the material
// names of every mesh container by preset.
class ContentModelWriter
{
public:
    static constexpr int Presets = 30;

    // The material names of one mesh container: per preset, one name per subset (attribute). A preset left
    // empty takes preset 0's names.
    struct Container
    {
        std::array<std::vector<std::string>, Presets> names;
    };

    // The meshes that become containers (those with faces), in the order the model reader takes their
    // names: a frame's own meshes, then its following siblings, then its first child.
    static std::vector<const XFileMesh*> ContainerOrder(const XFileData& data);
    // Version 3; `containers` follow ContainerOrder. False with the reason for data the readers would
    // refuse or a container list that does not match.
    static bool WriteFile(WeFileStream& stream, const XFileData& data, const std::vector<Container>& containers,
                          std::string* error);
    // The same as a member of the staged tree.
    static bool WriteMember(const std::string& source, const std::string& name, const XFileData& data,
                            const std::vector<Container>& containers, WeVirtualFileSystem& staged, ContentError* error);
};
