// Writes the seeds of every fuzz target into <folder>/<target>/: files made the way the tests make them
// (through stb's writers, the DDS writer, the cooking library, the clip writer), the checked-in fixtures, a
// shipped font, and the hostile files the tests rebuild. `we_fuzz_seeds <folder>`.
#include <stb/stb_image_write.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "Engine/foundation/WePackageScrambler.h"
#include "Engine/foundation/WePackageWriter.h"
#include "Platform/gfx_d3dx/DdsFile.h"
#include "Platform/gfx_d3dx/XFileWriter.h"
#include "Platform/physics/NxClothMesh.h"
#include "Platform/physics/NxCookedFormat.h"
#include "Platform/physics/NxCooking.h"
#include "Platform/physics/NxMemoryStream.h"
#include "Platform/physics/NxTriangleMeshDesc.h"
#include "Tests/Engine/runtime/OggPages.h"
#include "Tests/Game/screens/ProfileFileBytes.h"
#include "Tests/Platform/gfx_d3dx/HostileInputs.h"
#include "Tests/Platform/video/TestClipWriter.h"
#include "Tools/oggwriter/WeOggWriter.h"

namespace
{
using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

fs::path g_Out;
bool g_Failed = false;

void Seed(const char* target, const std::string& name, const Bytes& bytes, const Bytes& prefix = {})
{
    std::error_code error;
    fs::create_directories(g_Out / target, error);
    std::ofstream out(g_Out / target / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(prefix.data()), std::streamsize(prefix.size()));
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out)
    {
        std::fprintf(stderr, "we_fuzz_seeds: cannot write %s/%s\n", target, name.c_str());
        g_Failed = true;
    }
}

Bytes ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Append(void* context, void* data, int size)
{
    auto* v = static_cast<Bytes*>(context);
    v->insert(v->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

Bytes Pattern(int bytes)
{
    Bytes out(size_t(bytes), 0);
    uint8_t seed = 7;
    for (uint8_t& b : out)
        b = seed = uint8_t(seed * 37 + 11);
    return out;
}

// Every image seed also goes to the texture loaders, behind a picking byte.
std::vector<std::pair<std::string, Bytes>> g_Images;

void Image(const char* target, const std::string& name, const Bytes& bytes)
{
    Seed(target, name, bytes);
    g_Images.emplace_back(name, bytes);
}

void Images()
{
    Bytes png;
    stbi_write_png_to_func(Append, &png, 4, 4, 4, Pattern(64).data(), 16);
    Image("fuzz_image_png", "rgba.png", png);
    png.clear();
    stbi_write_png_to_func(Append, &png, 3, 2, 3, Pattern(18).data(), 9);
    Image("fuzz_image_png", "rgb.png", png);
    Bytes keyed = png;
    Bytes trns;
    hostile::PngChunk(&trns, "tRNS", {0, 1, 0, 2, 0, 3});
    keyed.insert(keyed.begin() + 33, trns.begin(), trns.end());
    Image("fuzz_image_png", "keyed.png", keyed);
    png.clear();
    stbi_write_png_to_func(Append, &png, 5, 3, 1, Pattern(15).data(), 5);
    Image("fuzz_image_png", "grey.png", png);
    Image("fuzz_image_png", "huge-idat.png", hostile::PngWithHugeIdat());

    Bytes jpg;
    stbi_write_jpg_to_func(Append, &jpg, 8, 8, 3, Pattern(192).data(), 90);
    Image("fuzz_image_jpeg", "rgb.jpg", jpg);
    jpg.clear();
    stbi_write_jpg_to_func(Append, &jpg, 17, 9, 1, Pattern(153).data(), 40);
    Image("fuzz_image_jpeg", "grey.jpg", jpg);
    Image("fuzz_image_jpeg", "overfull-huffman.jpg", hostile::JpegWithOverfullHuffmanTable());

    Image("fuzz_image_tga", "plain.tga",
          {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 24, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    Bytes tga;
    stbi_write_tga_with_rle = 1;
    stbi_write_tga_to_func(Append, &tga, 6, 4, 4, Pattern(96).data());
    Image("fuzz_image_tga", "rle.tga", tga);
    tga.clear();
    stbi_write_tga_with_rle = 0;
    stbi_write_tga_to_func(Append, &tga, 3, 3, 3, Pattern(27).data());
    Image("fuzz_image_tga", "rgb.tga", tga);

    Bytes bmp;
    stbi_write_bmp_to_func(Append, &bmp, 2, 2, 4, Pattern(16).data());
    Image("fuzz_image_bmp", "rgba.bmp", bmp);
    bmp.clear();
    stbi_write_bmp_to_func(Append, &bmp, 5, 3, 3, Pattern(45).data());
    Image("fuzz_image_bmp", "rgb.bmp", bmp);
}

void Dds(const std::string& name, ImageKind kind, D3DFORMAT format, uint32_t size, uint32_t depth, uint32_t levels)
{
    ImageData image;
    image.kind = kind;
    image.format = format;
    image.width = image.height = size;
    image.depth = depth;
    image.levels = levels;
    image.faces = kind == ImageKind::Cube ? 6 : 1;
    Bytes file;
    if (!image.Layout())
        return;
    for (ImageLevel& level : image.subs)
        level.bytes = Pattern(int(level.bytes.size()));
    if (DdsFile::Write(image, &file))
        Image("fuzz_dds", name, file);
}

void Dds()
{
    Dds("argb-mips.dds", ImageKind::Texture2D, D3DFMT_A8R8G8B8, 4, 1, 3);
    Dds("dxt1.dds", ImageKind::Texture2D, D3DFMT_DXT1, 8, 1, 4);
    Dds("dxt5.dds", ImageKind::Texture2D, D3DFMT_DXT5, 4, 1, 1);
    Dds("cube.dds", ImageKind::Cube, D3DFMT_X8R8G8B8, 4, 1, 1);
    Dds("volume.dds", ImageKind::Volume, D3DFMT_L8, 4, 4, 2);
    Dds("half.dds", ImageKind::Texture2D, D3DFMT_A16B16G16R16F, 2, 1, 1);
    Dds("r5g6b5.dds", ImageKind::Texture2D, D3DFMT_R5G6B5, 3, 1, 2);
    Image("fuzz_dds", "nan.dds", hostile::NanFloatDds());
}

void CookedMeshes()
{
    const float points[] = {0, 0, 0, 1, 0, 0, 1, 0, 1, 0, 0, 1, 0.5f, 1, 0.5f};
    const NxU32 triangles[] = {0, 4, 1, 1, 4, 2, 2, 4, 3, 3, 4, 0};
    NxTriangleMeshDesc mesh;
    mesh.numVertices = 5;
    mesh.numTriangles = 4;
    mesh.pointStrideBytes = 12;
    mesh.triangleStrideBytes = 12;
    mesh.points = points;
    mesh.triangles = triangles;
    NxMemoryStream cooked;
    if (NxCookTriangleMesh(mesh, cooked))
        Seed("fuzz_cooked_mesh", "pyramid", cooked.bytes());
    NxClothMeshDesc cloth;
    static_cast<NxSimpleTriangleMesh&>(cloth) = mesh;
    NxMemoryStream cookedCloth;
    if (NxCookClothMesh(cloth, cookedCloth))
        Seed("fuzz_cooked_mesh", "cloth", cookedCloth.bytes());
    NxMemoryStream lying;
    lying.storeDword(NxCookedFormat::TriangleMeshTag).storeDword(1u << 24).storeDword(1u << 24);
    Seed("fuzz_cooked_mesh", "lying-counts", lying.bytes());
}

void Meshes()
{
    // Position, normal, two texture coordinates and a tangent; a quad of two faces in two subsets.
    Bytes in = {4};
    const uint8_t elements[4][5] = {{0, 0, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_POSITION, 0},
                                    {12, 0, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL, 0},
                                    {24, 0, D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_TEXCOORD, 0},
                                    {32, 0, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_TANGENT, 0}};
    for (const auto& e : elements)
        in.insert(in.end(), e, e + 5);
    in.insert(in.end(), {2, 0, 4, 0, 0});
    const float vertices[4][11] = {{0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0},
                                   {1, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0},
                                   {1, 0, 1, 0, 1, 0, 1, 1, 0, 0, 0},
                                   {0, 0, 1, 0, 1, 0, 0, 1, 0, 0, 0}};
    const uint8_t* v = reinterpret_cast<const uint8_t*>(vertices);
    in.insert(in.end(), v, v + sizeof vertices);
    const uint16_t indices[6] = {0, 2, 1, 0, 3, 2};
    const uint8_t* i = reinterpret_cast<const uint8_t*>(indices);
    in.insert(in.end(), i, i + sizeof indices);
    in.insert(in.end(), {0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 0, 0, 0, 4, 0, 2});
    Seed("fuzz_d3dx_mesh", "quad", in);
}

// Mesh files for fuzz_render_resources (picking byte 2): the quad of two subsets in the newest layout and in
// an old one (64-byte vertices, 32-bit indices, counted preset names, stored bounds).
void MeshFiles()
{
    for (const int32_t version : {14, 11})
    {
        Bytes out;
        auto i32 = [&](int32_t v)
        {
            for (int b = 0; b < 4; ++b)
                out.push_back(uint8_t(uint32_t(v) >> (8 * b)));
        };
        auto f32 = [&](float v)
        {
            int32_t bits = 0;
            std::memcpy(&bits, &v, 4);
            i32(bits);
        };
        const bool legacy = version <= 13;
        i32(version);
        i32(4);
        i32(2);
        const float corners[4][4] = {{0, 1, 0, 0}, {1, 1, 1, 0}, {0, 0, 0, 1}, {1, 0, 1, 1}};
        for (const auto& c : corners)
        {
            for (float v : {c[0], c[1], 0.0f, 0.0f, 0.0f, -1.0f, c[2], c[3], 1.0f, 0.0f, 0.0f})
                f32(v);
            if (legacy)
                for (float v : {0.0f, -1.0f, 0.0f})
                    f32(v);
            f32(c[2]);
            f32(c[3]);
        }
        for (const uint32_t index : {0u, 1u, 2u, 2u, 1u, 3u})
        {
            if (legacy)
                i32(int32_t(index));
            else
                out.insert(out.end(), {uint8_t(index), 0});
        }
        i32(0);
        i32(1);
        out.push_back(0);
        for (int32_t v : {64, 0, 0})
            i32(v);
        f32(1.0f);
        f32(5.0f);
        i32(2);
        i32(2);
        for (int32_t v : {0, 0, 1, 0, 4, 1, 1, 1, 0, 4})
            i32(v);
        for (int p = 0; p < 30; ++p)
        {
            if (!legacy)
            {
                out.insert(out.end(), {1, 0, 'A', 0, 0, 0});
                continue;
            }
            i32(1);
            out.insert(out.end(), {1, 0, 'A', 0});
        }
        if (version <= 12)
            for (int b = 0; b < 10; ++b)
                f32(1.0f);
        Seed("fuzz_render_resources", "mesh-" + std::to_string(version), out, {2});
    }
}

void Streams()
{
    Bytes program;
    for (uint8_t op = 0; op < 16; ++op)
        program.insert(program.end(), {op, uint8_t(op * 5 + 3)});
    Bytes in = {uint8_t(program.size())};
    in.insert(in.end(), program.begin(), program.end());
    const Bytes content = Pattern(300);
    in.insert(in.end(), content.begin(), content.end());
    Seed("fuzz_file_stream", "every-read", in);
}

// Little-endian record bytes, as the engine's file stream writes them.
struct RecordBytes
{
    Bytes bytes;
    RecordBytes& I32(int32_t v)
    {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(uint8_t(uint32_t(v) >> (8 * i)));
        return *this;
    }
    RecordBytes& F32(float v)
    {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        return I32(int32_t(bits));
    }
    RecordBytes& U8(uint8_t v)
    {
        bytes.push_back(v);
        return *this;
    }
    RecordBytes& Str(const std::string& text)
    {
        bytes.push_back(uint8_t(text.size()));
        bytes.push_back(uint8_t(text.size() >> 8));
        if (!text.empty())
        {
            bytes.insert(bytes.end(), text.begin(), text.end());
            bytes.push_back(0);
        }
        return *this;
    }
};

// Seeds of fuzz_worldfx_records: the first byte picks the reader (0 light, 1 key frame, 2 particle system,
// 3 portal).
void WorldFxRecords()
{
    const auto keyFrame = [](RecordBytes& r)
    {
        r.I32(11);
        for (int i = 0; i < 8; ++i)
            r.F32(0.5f);
        r.F32(2.0f).F32(1.0f).F32(0.5f);
        for (int i = 0; i < 6; ++i)
            r.F32(1.0f);
    };
    RecordBytes light;
    light.U8(0).I32(12).U8(0).I32(2).U8(1).U8(0).F32(80.0f).F32(1.2f).F32(1.2f).U8(1).U8(1).U8(0);
    light.Str("Materials.Projector").U8(1).U8(1).F32(0.1f).F32(0.1f).F32(0.5f).F32(0.5f).Str("Flare.Corona");
    for (int i = 1; i <= 5; ++i)
        light.Str("Flare.Ring" + std::to_string(i));
    light.F32(0.5f).F32(0.5f).I32(2);
    keyFrame(light);
    keyFrame(light);
    light.U8(1).U8(0).U8(1).F32(10.0f).F32(10.0f).F32(0.0f);
    Seed("fuzz_worldfx_records", "light-12", light.bytes);

    RecordBytes oldLight;
    oldLight.U8(0).U8(1).I32(1).U8(1).U8(0).I32(1);
    for (int i = 0; i < 17; ++i)
        oldLight.F32(float(i));
    Seed("fuzz_worldfx_records", "light-unversioned", oldLight.bytes);

    RecordBytes frame;
    frame.U8(1);
    keyFrame(frame);
    Seed("fuzz_worldfx_records", "key-frame-11", frame.bytes);

    RecordBytes system;
    system.U8(2).I32(3).F32(50.0f).Str("Materials.Fire").U8(1).U8(0).I32(0).I32(0).I32(2);
    const float emitter[39] = {0.1f, 200.0f, 0.0f, 0.05f, 0.0f, 0.3f, 0.1f, 0.5f, 0.1f,  0.2f, 0.2f, 0.2f, 0.0f,
                               1.0f, 0.0f,   1.0f, 1.0f,  1.0f, 8.0f, 4.0f, 0.0f, -9.8f, 0.0f, 0.0f, 6.3f, 0.0f,
                               1.0f, 0.3f,   0.1f, 0.1f,  0.0f, 1.0f, 0.8f, 0.3f, 1.0f,  1.0f, 0.2f, 0.0f, 0.0f};
    for (int e = 0; e < 2; ++e)
    {
        system.I32(e == 0 ? 3 : -1);
        for (int i = 0; i < (e == 0 ? 39 : 38); ++i)
            system.F32(emitter[i]);
    }
    Seed("fuzz_worldfx_records", "particles-3", system.bytes);

    RecordBytes portal;
    portal.U8(3).I32(4).I32(-1).I32(-1).Str("a").Str("").U8(1).F32(10.0f).F32(20.0f).U8(1).U8(1).F32(500.0f).F32(
        250.0f);
    Seed("fuzz_worldfx_records", "portal-4", portal.bytes);
}

void Fixtures(const fs::path& source)
{
    const fs::path fixtures = source / "Tests/fixtures";
    std::error_code error;
    std::string tree;
    for (auto it = fs::recursive_directory_iterator(fixtures / "Packages", error);
         it != fs::recursive_directory_iterator(); it.increment(error))
    {
        if (!it->is_regular_file())
            continue;
        tree += fs::relative(it->path(), fixtures / "Packages").string() + "\n";
        if (it->path().extension() == ".ini" || it->path().extension() == ".INI")
            Seed("fuzz_config_ini", it->path().filename().string(), ReadFile(it->path()));
    }
    Seed("fuzz_loose_tree", "fixtures", Bytes(tree.begin(), tree.end()));
    const std::string odd = "Config/Main/Game.ini\nconfig/main/GAME.INI\nA/B/C/D.model\nA\\B\\c.texture\n.../../x\n";
    Seed("fuzz_loose_tree", "odd-names", Bytes(odd.begin(), odd.end()));
    for (const auto& entry : fs::directory_iterator(fixtures / "Effects", error))
        Seed("fuzz_effect", entry.path().filename().string(), ReadFile(entry.path()));
    for (const auto& entry : fs::directory_iterator(source / "Content/Packages/Config/Main", error))
        if (entry.path().filename().string().rfind("Localization", 0) == 0)
            Seed("fuzz_localization", entry.path().filename().string(), ReadFile(entry.path()));
    const std::string remap = "[Localization]\n+ CH - A=\xC3\x84\xC3\x80\nWord=X\xC3\x84Y\xF0\x9F\x98\x80\n";
    Seed("fuzz_localization", "remap.ini", Bytes(remap.begin(), remap.end()));
    // The UI settings: the shipped ones, and those of uidemo's sample screen over them.
    const Bytes shipped = ReadFile(source / "Content/Packages/Config/Main/UI.ini");
    const Bytes sample = ReadFile(fixtures / "UISample/Config/Main/UI.ini");
    Seed("fuzz_ui_config", "shipped.ini", shipped);
    Seed("fuzz_ui_config", "sample.ini", sample, shipped);
    Seed("fuzz_skin_description", "Skin.txt", ReadFile(source / "Content/UI/Skin.txt"));
}

// The fixtures' package tree packed as the build packs the content, then unscrambled: fuzz_package_index
// scrambles its input itself, so that mutations act on the index's fields.
void PackageIndex(const fs::path& source)
{
    const fs::path archive = g_Out / "fixtures.dat";
    WePackageWriter writer;
    if (!writer.Pack(WeString((source / "Tests/fixtures/Packages").c_str()), WeString(archive.c_str())))
    {
        std::fprintf(stderr, "we_fuzz_seeds: cannot pack the fixtures: %s\n", writer.GetError().c_str());
        g_Failed = true;
        return;
    }
    Bytes plain = ReadFile(archive);
    std::error_code error;
    fs::remove(archive, error);
    WePackageScrambler::Unscramble(plain.data(), int64_t(plain.size()), 0);
    Seed("fuzz_package_index", "fixtures", plain);
}

// Texts for fuzz_font_text (the first byte the draw flags, the second the wrap width): words to wrap, every
// line break, both colour codes with their restore, a code cut short, and UTF-8 of two to four bytes.
void FontTexts()
{
    using namespace std::string_literals;  // the texts hold zero bytes
    const std::pair<const char*, std::string> texts[] = {
        {"wrapped", "\x00\x28The quick brown fox jumps over the lazy dog"s},
        {"breaks", "\x05\x00one\r\ntwo\nthree\rfour\n\rfive"s},
        {"colours", "\x11\x00plain \x01"
                    "FF00FF00green\x02 back \x03"
                    "80FF0000red\x02 end \x01"
                    "12"s},
        {"utf8", "\x02\x10\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80 \xC3"s},
    };
    for (const auto& [name, text] : texts)
        Seed("fuzz_font_text", name, Bytes(text.begin(), text.end()));
}

// The shipped death texts, each with hostile names: markers inside names, control bytes, a long name.
void KillTexts(const fs::path& source)
{
    std::ifstream in(source / "Content/Packages/Config/Main/LocalizationEN.ini", std::ios::binary);
    const std::string names[][2] = {{"Ace", "Bob"},
                                    {"%a%k", "%K\x01"
                                             "FF\x02"},
                                    {std::string(200, 'x'), "\xC3\xA9"}};
    std::string line;
    int n = 0;
    while (std::getline(in, line) && n < 40)
    {
        if (line.rfind("MSG: DEATH_", 0) != 0 && line.rfind("MSG: SUICIDE", 0) != 0)
            continue;
        const std::string text = line.substr(line.find('=') + 1);
        const auto& pair = names[n % 3];
        Bytes bytes = {uint8_t(pair[0].size() > 255 ? 255 : pair[0].size()), uint8_t(pair[1].size())};
        bytes.insert(bytes.end(), pair[0].begin(), pair[0].begin() + bytes[0]);
        bytes.insert(bytes.end(), pair[1].begin(), pair[1].end());
        bytes.insert(bytes.end(), text.begin(), text.end());
        Seed("fuzz_kill_text", "death-" + std::to_string(n++), bytes);
    }
}

void Movies()
{
    const fs::path clip = g_Out / "clip.avi";
    ClipOptions options{"mpeg4", "avi"};
    options.frames = 3;
    options.width = 16;
    options.height = 16;
    if (WriteClip(clip.string(), options))
        Seed("fuzz_video", "clip.avi", ReadFile(clip), {1});
    std::error_code error;
    fs::remove(clip, error);
}

void Fonts()
{
    // The smallest font the setup installs.
    const fs::path font = "/usr/share/fonts/truetype/liberation/LiberationMono-Bold.ttf";
    Bytes bytes = ReadFile(font);
    if (!bytes.empty())
        Seed("fuzz_font", "LiberationMono-Bold.ttf", bytes, {12});
}

// For fuzz_render_models: a version-3 model file (a base and an animated rotor frame, the rotor's quad naming
// a material in every preset; picking byte 0) and a light-map block of raw texels (picking byte 1).
void ModelFiles()
{
    XFileData data;
    XFileFrame rotor;
    rotor.name = "Rotor";
    XFileMesh quad;
    quad.name = "Quad";
    quad.positions = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}};
    quad.faces = {{0, 1, 2, 3}};
    quad.uvs = {{0, 1}, {0, 0}, {1, 0}, {1, 1}};
    rotor.meshes.push_back(quad);
    XFileFrame base;
    base.name = "Base";
    base.children.push_back(rotor);
    data.frames.push_back(base);
    XFileAnimation spin;
    spin.frame = "Rotor";
    spin.rotations = {{0, D3DXQUATERNION(0, 0, 0, 1)}, {4800, D3DXQUATERNION(0, 1, 0, 0)}};
    data.animationSets.push_back({"Spin", {spin}});
    std::string text;
    if (!XFileWriter::Write(data, &text))
    {
        g_Failed = true;
        return;
    }
    Bytes out;
    auto i32 = [&out](int32_t v)
    {
        for (int b = 0; b < 4; ++b)
            out.push_back(uint8_t(uint32_t(v) >> (8 * b)));
    };
    i32(3);
    i32(int32_t(text.size()));
    out.insert(out.end(), text.begin(), text.end());
    i32(1);
    for (int p = 0; p < 30; ++p)
        out.insert(out.end(), {1, 0, 'M', 0});
    Seed("fuzz_render_models", "model-3", out, {0});

    out.clear();
    for (int32_t v : {-2, 64, 4, 4, 21})
        i32(v);
    for (int t = 0; t < 16; ++t)
        i32(int32_t(0xFF000000u | uint32_t(t * 0x00101010)));
    i32(0);
    Seed("fuzz_render_models", "lightmap-raw", out, {1});
}

// Seeds of fuzz_ogg_decode: Ogg Vorbis files as the sound tests and the content tool encode them
// (mono and stereo, both rates, long enough for several pages, and empty), and the hostile ones the
// tests rebuild: a forged length, a cut file and six channels.
void OggFiles()
{
    auto tone = [](int32_t frames, int32_t channels, int32_t rate)
    {
        std::vector<int16_t> pcm(size_t(frames) * size_t(channels));
        for (int32_t i = 0; i < frames; ++i)
            for (int32_t c = 0; c < channels; ++c)
                pcm[size_t(i) * size_t(channels) + size_t(c)] =
                    int16_t(16000.0 * std::sin(6.2831853 * (440.0 + 110.0 * c) * i / rate));
        return pcm;
    };
    auto encode = [&tone](const char* name, int32_t frames, int32_t channels, int32_t rate)
    {
        Bytes out;
        if (!WeOggWriter::Encode(tone(frames, channels, rate), channels, rate, 0.3f, out))
        {
            std::fprintf(stderr, "we_fuzz_seeds: cannot encode %s\n", name);
            g_Failed = true;
            return out;
        }
        Seed("fuzz_ogg_decode", name, out);
        return out;
    };
    encode("mono-22050", 3000, 1, 22050);
    encode("empty-stereo", 0, 2, 44100);
    encode("six-channels", 2000, 6, 44100);
    const Bytes stereo = encode("stereo-44100", 30000, 2, 44100);
    if (stereo.empty())
        return;
    Bytes forged = stereo;
    oggpages::ForgeLastGranule(forged, 3000000000ll);
    Seed("fuzz_ogg_decode", "forged-length", forged);
    forged = stereo;
    oggpages::ForgeLastGranule(forged, 45000);
    Seed("fuzz_ogg_decode", "longer-than-it-is", forged);
    Seed("fuzz_ogg_decode", "cut-in-half", Bytes(stereo.begin(), stereo.begin() + std::ptrdiff_t(stereo.size() / 2)));
}

// The game's map headers by hand, one for each version gate: 1 (texts only), 10 (no display name, an old
// float, fog and two old texts), 17 (two old start locations) and 18.
void MapHeaders()
{
    struct Writer
    {
        Bytes out;
        void Int(int32_t v)
        {
            for (int i = 0; i < 4; ++i)
                out.push_back(uint8_t(uint32_t(v) >> (8 * i)));
        }
        void Float(float v)
        {
            int32_t bits;
            std::memcpy(&bits, &v, 4);
            Int(bits);
        }
        void Byte(uint8_t v) { out.push_back(v); }
        void Text(const std::string& t)
        {
            out.push_back(uint8_t(t.size()));
            out.push_back(uint8_t(t.size() >> 8));
            if (t.empty())
                return;
            out.insert(out.end(), t.begin(), t.end());
            out.push_back(0);
        }
        void Colour(float r, float g, float b, float a)
        {
            Float(r);
            Float(g);
            Float(b);
            Float(a);
        }
    };
    for (int32_t version : {1, 10, 17, 18})
    {
        Writer w;
        w.Int(version);
        if (version > 10)
            w.Text("A Track");
        w.Text("A description");
        w.Text("Maps.Track.Preview");
        w.Text("Maps.Track.Loading");
        if (version > 1 && version <= 16)
            w.Float(1.0f);
        w.Float(0.0f);
        w.Text("");
        if (version > 2)
            w.Colour(0.5f, 0.5f, 0.5f, 1.0f);
        if (version > 3)
        {
            w.Byte(1);
            w.Float(100.0f);
            w.Float(900.0f);
        }
        if (version > 14)
        {
            w.Float(0.0f);
            w.Float(1.0f);
        }
        if (version > 3)
            w.Colour(1.0f, 1.0f, 1.0f, 1.0f);
        if (version < 18)
        {
            // Two start locations of a minimal actor record: version 1, the type, the secondary id, the rest
            // left to the reader's gates.
            const int32_t count = version == 17 ? 2 : 0;
            w.Int(count);
            for (int32_t i = 0; i < count; ++i)
            {
                w.Int(1);
                w.Int(6);
                w.Int(0);
                for (int k = 0; k < 40; ++k)
                    w.Int(0);
                w.Int(i + 1);
            }
        }
        if (version > 13)
            w.Float(1.0f);
        if (version > 5)
            w.Float(2000.0f);
        if (version > 5 && version < 12)
            w.Text("old");
        if (version > 7 && version < 12)
            w.Text("older");
        if (version > 6)
            for (float level : {0.0f, 1.0f, 2.0f})
                w.Float(level);
        if (version > 15)
        {
            w.Float(0.0f);
            w.Float(0.0f);
        }
        if (version > 9)
            w.Byte(1);
        if (version > 12)
        {
            w.Float(500.0f);
            w.Float(1000.0f);
        }
        Seed("fuzz_map_header", "v" + std::to_string(version), w.out);
        // The same header as the start of a map file: the map's version first, an empty sky record after.
        Bytes map;
        Writer prefix;
        prefix.Int(1);
        map = prefix.out;
        map.insert(map.end(), w.out.begin(), w.out.end());
        Writer sky;
        sky.Int(0);
        map.insert(map.end(), sky.out.begin(), sky.out.end());
        Seed("fuzz_game_map", "header-v" + std::to_string(version), map);
    }
}

// Pickup records after actor records of versions 28, 29, 30 and 32 (the first byte picks one): available, the
// respawn time below 30, the random flag above 28; each whole, then cut short.
void PickupRecords()
{
    const uint8_t available = 1, random = 1;
    const uint8_t respawn[4] = {0x00, 0x00, 0xA0, 0x40};  // 5.0f
    const struct
    {
        uint8_t pick;
        int32_t version;
    } versions[] = {{0, 28}, {1, 29}, {2, 30}, {3, 32}};
    for (const auto& v : versions)
    {
        Bytes record = {v.pick, available};
        if (v.version < 30)
            record.insert(record.end(), respawn, respawn + 4);
        if (v.version > 28)
            record.push_back(random);
        Seed("fuzz_pickup_record", "v" + std::to_string(v.version), record);
        Seed("fuzz_pickup_record", "v" + std::to_string(v.version) + "-cut", Bytes(record.begin(), record.begin() + 2));
    }
}

// Profile files of both list versions with records of every version this game wrote.
void ProfileFiles()
{
    const auto seed = [](const std::string& name, const ProfileBytes& file)
    { Seed("fuzz_profile_file", name, Bytes(file.bytes.begin(), file.bytes.end())); };
    ProfileBytes old;
    old.Head(1, 12).Record(21, "Ada").Str("Ada");
    seed("list-12", old);
    ProfileBytes all;
    const int32_t versions[] = {9, 10, 14, 15, 16, 19, 20, 21};
    all.Head(8);
    for (int32_t v : versions)
        all.Record(v, "P" + std::to_string(v));
    all.Str("P16");
    seed("list-13-every-record", all);
    for (int32_t v : versions)
    {
        ProfileBytes one;
        one.Head(1).Record(v, "Solo").Str("Solo");
        seed("record-" + std::to_string(v), one);
    }
    ProfileBytes hostile;
    hostile.Head(0x7FFFFFFF)
        .Record(21, std::string("A\x01"
                                "FF00FF00"
                                "b\x02",
                                12))
        .Record(21, "Ada")
        .Record(21, "Ada");
    seed("hostile", hostile);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: we_fuzz_seeds <folder>\n");
        return 2;
    }
    g_Out = argv[1];
    Images();
    Dds();
    for (const auto& [name, bytes] : g_Images)
        for (const uint8_t pick : {0, 9, 26})
            Seed("fuzz_d3dx_texture", std::to_string(pick) + "-" + name, bytes, {pick});
    CookedMeshes();
    Meshes();
    MeshFiles();
    ModelFiles();
    Streams();
    Fixtures(WE_SOURCE_DIR);
    PackageIndex(WE_SOURCE_DIR);
    FontTexts();
    KillTexts(WE_SOURCE_DIR);
    Movies();
    Fonts();
    WorldFxRecords();
    OggFiles();
    MapHeaders();
    PickupRecords();
    ProfileFiles();
    return g_Failed ? 1 : 0;
}
