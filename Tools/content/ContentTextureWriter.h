#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Platform/gfx/D3D9Types.h"
#include "Tools/content/ContentError.h"

class WeVirtualFileSystem;

// A texture description ("[Texture]" with kind, size, format, levels, minlevel and one generator, among them
// portrait=<Package.Folder.Mesh>,<yaw>,<pitch>: that mesh description drawn by ContentPortrait) made into
// a device texture on the recording backend and written as a texture member through WeTexture::WriteToStream.
class ContentTextureWriter
{
public:
    struct Description
    {
        int kind = 3;  // WeTexture kinds: 3 2-D, 1 cube, 2 volume
        int width = 0, height = 0, depth = 1;
        D3DFORMAT format = D3DFMT_A8R8G8B8;
        bool singleLevel = true;
        int minimumLevel = 0;
        std::string generator;              // fill, checker, gradient, dot, noise, faces
        std::vector<std::string> argument;  // its comma-separated values
        int generatorLine = 0;
        std::string path;  // the description's file; a portrait finds its mesh beside it in the Assets folder
    };

    bool Parse(const std::string& path, const std::string& text, Description* out, ContentError* error);
    // The ARGB pixels of one face or slice (slice picks the noise seed's offset).
    bool Generate(const Description& d, int slice, std::vector<uint32_t>* pixels, ContentError* error);
    bool Write(const std::string& path, const std::string& name, WeVirtualFileSystem& staged, ContentError* error);
    // A picture painted elsewhere (ARGB, rows top to bottom) written as a 2-D A8R8G8B8 texture member with its
    // mip levels; `source` names it in errors.
    bool WriteImage(const std::string& source, const std::string& name, int width, int height,
                    const std::vector<uint32_t>& argb, WeVirtualFileSystem& staged, ContentError* error);

    // Level 0 of the first face or slice of the last texture written, as ARGB pixels.
    const std::vector<uint32_t>& Preview() const { return m_Preview; }
    int PreviewWidth() const { return m_PreviewWidth; }
    int PreviewHeight() const { return m_PreviewHeight; }

private:
    bool WriteDescription(const std::string& path, const Description& d, const std::string& name,
                          WeVirtualFileSystem& staged, ContentError* error);

    const std::vector<uint32_t>* m_Image = nullptr;  // WriteImage's pixels, in place of a generator
    std::vector<uint32_t> m_Preview;
    int m_PreviewWidth = 0;
    int m_PreviewHeight = 0;
};
