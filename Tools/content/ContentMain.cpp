// wecontent: writes one generated member of the pack from its source.
//
//   wecontent <Assets>/<Package>/<Folder>/<File>.fx|.tex|.pic|.mat|.msh|.mdl <Assets folder> <generated folder>
//             [--preview <out.png>]
//
// The member <Package>.<Folder>.<File> is written into the generated tree (as the loose package tree names
// it: <Package>/<Folder>/<File>.shader, .texture, .material, .mesh or .animodel) through the engine's own writers over the
// recording backend, so no GL is needed: ".fx" effects (includes expanded, checked by the effect compiler)
// through WeShader::SaveCompiled, ".tex" texture descriptions through WeTexture::WriteToStream, ".mat"
// material descriptions as material files of the newest version, ".msh" mesh descriptions through the mesh
// generator as mesh files of the newest version, ".pic" still pictures (a movie description painted at one
// moment, Tools/content/ContentStillPicture.h) as textures, ".mdl" model descriptions (frames, the meshes their mesh
// descriptions make, animation sets) as model files of the newest version. The member is built
// in a folder of its own and moved into place only when it is whole, so a bad source leaves nothing half
// written; it stops the build with its file, line and reason. A texture's preview is level 0 of its first
// face or slice.
#include <stb/stb_image_write.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "Engine/foundation/WeFileSystem.h"
#include "Tools/content/ContentDevice.h"
#include "Tools/content/ContentEffectWriter.h"
#include "Tools/content/ContentMaterialWriter.h"
#include "Tools/content/ContentMeshWriter.h"
#include "Tools/content/ContentModelSource.h"
#include "Tools/content/ContentStillPicture.h"
#include "Tools/content/ContentTextureWriter.h"

namespace fs = std::filesystem;

namespace
{

int Usage()
{
    std::fprintf(stderr,
                 "usage: wecontent <source .fx, .tex, .pic, .mat, .msh or .mdl> <Assets folder> <generated folder> "
                 "[--preview <out.png>]\n");
    return 2;
}

bool WritePreview(const std::vector<uint32_t>& argb, int w, int h, const std::string& path)
{
    std::vector<uint8_t> rgba(argb.size() * 4);
    for (size_t i = 0; i < argb.size(); ++i)
    {
        rgba[i * 4 + 0] = uint8_t(argb[i] >> 16);
        rgba[i * 4 + 1] = uint8_t(argb[i] >> 8);
        rgba[i * 4 + 2] = uint8_t(argb[i]);
        rgba[i * 4 + 3] = uint8_t(argb[i] >> 24);
    }
    return w > 0 && h > 0 && stbi_write_png(path.c_str(), w, h, 4, rgba.data(), w * 4) != 0;
}

int Generate(const fs::path& source, const fs::path& assets, const fs::path& generated, const char* preview)
{
    std::error_code ec;
    fs::path relative = fs::relative(source, assets, ec);
    std::vector<std::string> parts;
    for (const fs::path& part : relative)
        parts.push_back(part.string());
    std::string extension = source.extension().string();
    if (ec || parts.size() != 3 ||
        (extension != ".fx" && extension != ".tex" && extension != ".pic" && extension != ".mat" &&
         extension != ".msh" && extension != ".mdl"))
    {
        std::fprintf(
            stderr,
            "wecontent: %s: not a source: expected <Assets>/<Package>/<Folder>/<File>.fx, .tex, .pic, .mat, .msh or "
            ".mdl\n",
            source.string().c_str());
        return 1;
    }
    std::string name = parts[0] + "." + parts[1] + "." + source.stem().string();

    // The member is written into a folder of its own and moved into place once whole.
    fs::path building = generated / (".wecontent-" + std::to_string(getpid()));
    fs::remove_all(building, ec);
    fs::create_directories(building, ec);
    // The recording device the writers draw into; nothing reaches a GPU.
    ContentDevice device;
    if (!device.Open())
    {
        std::fprintf(stderr, "wecontent: no recording device\n");
        fs::remove_all(building, ec);
        return 1;
    }
    ContentError error;
    ContentTextureWriter textures;
    ContentStillPicture still;
    bool ok = false;
    {
        WeFileSystem tree;
        tree.SetRoot(building.string().c_str());
        if (extension == ".fx")
            ok = ContentEffectWriter().Write(source.string(), assets.string(), name, tree, &error);
        else if (extension == ".mat")
            ok = ContentMaterialWriter::Write(source.string(), name, tree, &error);
        else if (extension == ".msh")
            ok = ContentMeshWriter::Write(source.string(), assets.string(), name, tree, &error);
        else if (extension == ".mdl")
            ok = ContentModelSource::Write(source.string(), assets.string(), name, tree, &error);
        else if (extension == ".pic")
            ok = still.Write(source.string(), name, tree, &error);
        else
            ok = textures.Write(source.string(), name, tree, &error);
    }
    device.Close();

    std::string file = source.stem().string() + (extension == ".fx"    ? ".shader"
                                                 : extension == ".mat" ? ".material"
                                                 : extension == ".msh" ? ".mesh"
                                                 : extension == ".mdl" ? ".animodel"
                                                                       : ".texture");
    fs::path made = building / parts[0] / parts[1] / file;
    fs::path target = generated / parts[0] / parts[1] / file;
    if (ok && !fs::is_regular_file(made))
    {
        error = {source.string(), 0, "the member was not written"};
        ok = false;
    }
    if (ok)
    {
        fs::create_directories(target.parent_path(), ec);
        fs::rename(made, target, ec);
        if (ec)
        {
            error = {source.string(), 0, "cannot move the member into " + target.string() + ": " + ec.message()};
            ok = false;
        }
    }
    fs::remove_all(building, ec);
    if (!ok)
    {
        std::fprintf(stderr, "wecontent: %s\n", error.Text().c_str());
        return 1;
    }
    const bool previewed = preview == nullptr ||
                           (extension == ".pic"   ? WritePreview(still.Pixels(), still.Width(), still.Height(), preview)
                            : extension == ".tex" ? WritePreview(textures.Preview(), textures.PreviewWidth(),
                                                                 textures.PreviewHeight(), preview)
                                                  : true);
    if (!previewed)
    {
        std::fprintf(stderr, "wecontent: cannot write the preview %s\n", preview);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4)
        return Generate(argv[1], argv[2], argv[3], nullptr);
    if (argc == 6 && std::strcmp(argv[4], "--preview") == 0)
        return Generate(argv[1], argv[2], argv[3], argv[5]);
    return Usage();
}
