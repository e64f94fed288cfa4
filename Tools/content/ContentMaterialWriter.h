#pragma once
#include <string>

#include "Engine/render/WeMaterial.h"
#include "Tools/content/ContentError.h"

class WeVirtualFileSystem;
class WeFileStream;

// A material description ("[Material]", one key per field) written as a material file of the newest
// version. Omitted keys keep the engine's constructor defaults.
class ContentMaterialWriter
{
public:
    // The fields as written; the texture names and the shader name travel beside the material.
    struct Description
    {
        WeMaterial material;
        std::string shader = "Shaders.Default.Default";
        std::string textures[WeMaterial::TextureSlots];
    };

    static bool Parse(const std::string& path, const std::string& text, Description* out, ContentError* error);
    // The version-27 layout of the description.
    static void WriteFile(WeFileStream& stream, const Description& d);
    static bool Write(const std::string& path, const std::string& name, WeVirtualFileSystem& staged,
                      ContentError* error);
};
