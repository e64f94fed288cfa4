#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <locale>
#include <string>

#include "Platform/gfx_d3dx/XFileGeometry.h"
#include "Platform/gfx_d3dx/XFileReader.h"
#include "Platform/gfx_d3dx/XFileWriter.h"
#include "Tests/Platform/gfx_d3dx/XFileTestData.h"

namespace
{

bool Read(const std::string& text, XFileData* data)
{
    return XFileReader::Read(text.data(), text.size(), data);
}

const char* const Header = "xof 0303txt 0032\n";

// Everything the reader knows in one text, as an exporter might write it: templates, comments, a header
// object, referenced and inline materials, a polygon, skin, animation with options.
const char* const FullText = R"(xof 0302txt 0064
template Frame {
 <3D82AB46-62DA-11cf-AB39-0020AF71E433>
 [...]
}
template Mesh { <3D82AB44-62DA-11cf-AB39-0020AF71E433> DWORD nVertices; array Vector vertices[nVertices]; [...] }
Header { 1; 0; 1; }
# a comment
Material Red { 1.0;0.0;0.0;1.0;; 5.0; 1.0;1.0;1.0;; 0.0;0.0;0.0;; TextureFilename { "red.png"; } }
AnimTicksPerSecond { 100; }
Frame Root {
  FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 10,20,30,1;; }
  Frame Arm {   // a child
    Mesh ArmMesh {
      5;
      0;0;0;, 0;1;0;, 1;1;0;, 1;0;0;, 2;0;0;;
      2;
      4;0,1,2,3;,
      3;3,2,4;;
      MeshNormals { 1; 0;0;-1;; 2; 4;0,0,0,0;, 3;0,0,0;; }
      MeshTextureCoords { 5; 0;1;, 0;0;, 1;0;, 1;1;, 2;1;; }
      MeshMaterialList {
        2; 1; 1;;
        { Red }
        Material { 0;0;1;0.5;; 2; 0;0;0;; 0;0;0;; }
      }
      MeshVertexColors { 1; 0; 1;1;1;1;;; }
      XSkinMeshHeader { 2; 4; 1; }
      SkinWeights { "Arm"; 2; 0, 4; 0.25, 0.75; 1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;; }
    }
  }
  Frame Leg { }
}
AnimationSet Walk {
  Animation {
    { Arm }
    AnimationOptions { 1; 0; }
    AnimationKey { 0; 2; 0;4;1,0,0,0;;, 100;4;0,0,1,0;;; }
    AnimationKey { 1; 1; 0;3;2,2,2;;; }
    AnimationKey { 2; 1; 50;3;1,2,3;;; }
    AnimationKey { 4; 1; 100;16;1,0,0,0,0,1,0,0,0,0,1,0,7,8,9,1;;; }
  }
}
)";

TEST(XFileReader, ReadsEveryKindOfObject)
{
    XFileData data;
    ASSERT_TRUE(Read(FullText, &data));
    EXPECT_EQ(data.ticksPerSecond, 100u);
    ASSERT_EQ(data.frames.size(), 1u);
    const XFileFrame& root = data.frames[0];
    EXPECT_EQ(root.name, "Root");
    EXPECT_EQ(root.transform._41, 10.0f);
    EXPECT_EQ(root.transform._43, 30.0f);
    ASSERT_EQ(root.children.size(), 2u);
    EXPECT_EQ(root.children[0].name, "Arm");
    EXPECT_EQ(root.children[1].name, "Leg");
    ASSERT_EQ(root.children[0].meshes.size(), 1u);
    const XFileMesh& mesh = root.children[0].meshes[0];
    EXPECT_EQ(mesh.name, "ArmMesh");
    EXPECT_EQ(mesh.positions.size(), 5u);
    ASSERT_EQ(mesh.faces.size(), 2u);
    EXPECT_EQ(mesh.faces[0].size(), 4u);
    EXPECT_EQ(mesh.normals.size(), 1u);
    EXPECT_EQ(mesh.uvs[4], D3DXVECTOR2(2, 1));
    ASSERT_EQ(mesh.materials.size(), 2u);
    EXPECT_EQ(mesh.materials[0].name, "Red");
    EXPECT_EQ(mesh.materials[0].texture, "red.png");
    EXPECT_EQ(mesh.materials[1].diffuse.a, 0.5f);
    // One face index for two faces: the second face takes the last index given.
    EXPECT_EQ(mesh.faceMaterials, (std::vector<uint32_t>{1, 1}));
    EXPECT_TRUE(mesh.hasSkinHeader);
    EXPECT_EQ(mesh.maxSkinWeightsPerFace, 4u);
    ASSERT_EQ(mesh.skinWeights.size(), 1u);
    EXPECT_EQ(mesh.skinWeights[0].bone, "Arm");
    EXPECT_EQ(mesh.skinWeights[0].vertices, (std::vector<uint32_t>{0, 4}));
    EXPECT_EQ(mesh.skinWeights[0].weights[1], 0.75f);
    ASSERT_EQ(data.animationSets.size(), 1u);
    ASSERT_EQ(data.animationSets[0].animations.size(), 1u);
    const XFileAnimation& a = data.animationSets[0].animations[0];
    EXPECT_EQ(a.frame, "Arm");
    ASSERT_EQ(a.rotations.size(), 2u);
    // w, x, y, z in the file.
    EXPECT_EQ(a.rotations[1].rotation, D3DXQUATERNION(0, 1, 0, 0));
    EXPECT_EQ(a.rotations[1].time, 100u);
    EXPECT_EQ(a.scales[0].value, D3DXVECTOR3(2, 2, 2));
    EXPECT_EQ(a.positions[0].time, 50u);
    ASSERT_EQ(a.matrices.size(), 1u);
    EXPECT_EQ(a.matrices[0].matrix._42, 8.0f);
}

TEST(XFileReader, DefaultsAndLooseMeshes)
{
    // No AnimTicksPerSecond: 4800. A mesh outside every frame gets an unnamed frame of its own, in order.
    std::string text = std::string(Header) + "Frame A {}\nMesh Loose { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }\n";
    XFileData data;
    ASSERT_TRUE(Read(text, &data));
    EXPECT_EQ(data.ticksPerSecond, 4800u);
    ASSERT_EQ(data.frames.size(), 2u);
    EXPECT_EQ(data.frames[0].name, "A");
    EXPECT_EQ(data.frames[1].name, "");
    ASSERT_EQ(data.frames[1].meshes.size(), 1u);
    EXPECT_EQ(data.frames[1].meshes[0].name, "Loose");
    EXPECT_TRUE(D3DXMatrixIsIdentity(&data.frames[1].transform));
}

TEST(XFileReader, RefusesBadHeaders)
{
    const char* headers[] = {"xof 0303bin 0032", "xof 0303tzip0032", "xof 0303bzip0032", "xof 0201txt 0032",
                             "xof 0303txt 0016", "xog 0303txt 0032", "xof 0303txt"};
    for (const char* h : headers)
    {
        XFileData data;
        EXPECT_FALSE(Read(std::string(h) + "\nFrame A {}\n", &data)) << h;
    }
    XFileData data;
    EXPECT_TRUE(Read("xof 0302txt 0064\nFrame A {}\n", &data));
}

TEST(XFileReader, RefusesDamagedTexts)
{
    const std::string tri = "3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;";
    struct Case
    {
        const char* what;
        std::string body;
    } cases[] = {
        {"vertex count beyond the text", "Mesh { 4000000000; 0;0;0;; 0;; }"},
        {"vertex count larger than given", "Mesh { 4; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }"},
        {"vertex count smaller than given", "Mesh { 2; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }"},
        {"face index beyond the vertices", "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,3;; }"},
        {"face of two corners", "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 2;0,1;; }"},
        {"negative count", "Mesh { -3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }"},
        {"normal faces not matching", "Mesh { " + tri + " MeshNormals { 1; 0;0;1;; 2; 3;0,0,0;, 3;0,0,0;; } }"},
        {"normal corners not matching", "Mesh { " + tri + " MeshNormals { 1; 0;0;1;; 1; 4;0,0,0,0;; } }"},
        {"normal index beyond the normals", "Mesh { " + tri + " MeshNormals { 1; 0;0;1;; 1; 3;0,0,1;; } }"},
        {"texture coordinates not matching", "Mesh { " + tri + " MeshTextureCoords { 2; 0;0;, 1;1;; } }"},
        {"material index beyond the list",
         "Mesh { " + tri + " MeshMaterialList { 1; 1; 1;; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; } } }"},
        {"fewer materials than counted",
         "Mesh { " + tri + " MeshMaterialList { 2; 1; 0;; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; } } }"},
        {"more face indices than faces",
         "Mesh { " + tri + " MeshMaterialList { 1; 2; 0,0;; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; } } }"},
        {"unknown material reference", "Mesh { " + tri + " MeshMaterialList { 1; 1; 0;; { Nothing } } }"},
        {"skin vertex beyond the vertices",
         "Mesh { " + tri + " SkinWeights { \"B\"; 1; 3; 1; 1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;; } }"},
        {"more weight sets than bones", "Mesh { " + tri +
                                            " XSkinMeshHeader { 1; 1; 0; } SkinWeights { \"B\"; 1; 0; 1; " +
                                            "1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;; } }"},
        {"matrix of 15 numbers", "Frame A { FrameTransformMatrix { 1,0,0,0,0,1,0,0,0,0,1,0,0,0,0;; } }"},
        {"number in a frame", "Frame A { 5; }"},
        {"float as a count", "Mesh { 3.5; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }"},
        {"overflowing float", "Frame A { FrameTransformMatrix { 1e999,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;; } }"},
        {"unterminated string", "Material M { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; TextureFilename { \"a.png; } }"},
        {"unclosed frame", "Frame A { Frame B { }"},
        {"unclosed skipped object", "Unknown { { }"},
        {"stray closing brace", "}"},
        {"zero ticks per second", "AnimTicksPerSecond { 0; }"},
        {"rotation key of three values", "AnimationSet S { Animation { { A } AnimationKey { 0; 1; 0;3;1,0,0;;; } } }"},
        {"matrix key of 15 values",
         "AnimationSet S { Animation { { A } AnimationKey { 4; 1; 0;15;1,0,0,0,0,1,0,0,0,0,1,0,0,0,0;;; } } }"},
        {"key count beyond the text", "AnimationSet S { Animation { { A } AnimationKey { 2; 99999; 0;3;1,2,3;;; } } }"},
        {"bad character", "Frame A { @ }"},
    };
    for (const Case& c : cases)
    {
        XFileData data;
        EXPECT_FALSE(Read(Header + c.body + "\n", &data)) << c.what;
    }
}

TEST(XFileReader, RefusesFramesNestedTooDeep)
{
    auto nested = [](int depth)
    {
        std::string text = Header;
        for (int i = 0; i < depth; ++i)
            text += "Frame F {\n";
        for (int i = 0; i < depth; ++i)
            text += "}\n";
        return text;
    };
    XFileData data;
    EXPECT_TRUE(Read(nested(128), &data));
    EXPECT_FALSE(Read(nested(129), &data));
    EXPECT_FALSE(Read(nested(100000), &data));
}

TEST(XFileReader, EveryCutOfAGoodTextFailsOrReadsCleanly)
{
    // Cuts inside an object fail; cuts between top-level objects read what came before.
    std::string text = FullText;
    int failures = 0;
    for (size_t length = 0; length < text.size(); ++length)
    {
        XFileData data;
        if (!XFileReader::Read(text.data(), length, &data))
            ++failures;
    }
    EXPECT_GT(failures, int(text.size()) / 2);
    XFileData data;
    EXPECT_TRUE(Read(text, &data));
}

// Decimal commas for streams, and for the C library where such a locale is installed.
struct CommaNumbers : std::numpunct<char>
{
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

TEST(XFileReader, NumbersIgnoreTheProcessLocale)
{
    const char* previous = std::setlocale(LC_ALL, nullptr);
    std::string saved = previous ? previous : "C";
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"})
        if (std::setlocale(LC_ALL, name))
            break;
    std::locale streams = std::locale::global(std::locale(std::locale::classic(), new CommaNumbers));
    XFileData data;
    data.frames.emplace_back();
    data.frames[0].name = "A";
    data.frames[0].transform._41 = 1234.5f;
    std::string text = Written(data);
    XFileData back;
    bool ok = Read(text, &back);
    std::locale::global(streams);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_NE(text.find("1234.5,"), std::string::npos) << text;
    ASSERT_TRUE(ok);
    EXPECT_EQ(back.frames[0].transform._41, 1234.5f);
}

XFileData EverythingData()
{
    XFileData data;
    data.ticksPerSecond = 30;
    XFileFrame root;
    root.name = "Root";
    root.transform = TranslationMatrix(0.1f, -2.5e-7f, 3.4e38f);
    XFileMesh mesh = CubeMesh(true);
    mesh.uvs.assign(8, D3DXVECTOR2(0.3f, 1.0f / 3.0f));
    mesh.materials = {Material(1, 0, 0, "Textures/red.png"), Material(0, 1, 0)};
    mesh.materials[1].name = "Green";
    mesh.faceMaterials = {0, 0, 1, 1, 0, 1};
    mesh.hasSkinHeader = true;
    mesh.maxSkinWeightsPerVertex = 1;
    mesh.maxSkinWeightsPerFace = 1;
    mesh.skinBones = 2;
    XFileSkinWeights skin;
    skin.bone = "Child";
    skin.vertices = {0, 7};
    skin.weights = {1.0f, 0.5f};
    skin.offset = TranslationMatrix(1, 2, 3);
    mesh.skinWeights.push_back(skin);
    root.meshes.push_back(mesh);
    root.meshes.push_back(QuadMesh());
    XFileFrame child;
    child.name = "Child";
    child.children.emplace_back();  // unnamed grandchild
    root.children.push_back(child);
    data.frames.push_back(root);
    XFileAnimationSet set;
    set.name = "Spin";
    XFileAnimation a;
    a.name = "SpinChild";
    a.frame = "Child";
    a.rotations = {{0, D3DXQUATERNION(0, 0, 0, 1)}, {15, D3DXQUATERNION(0, 0.70710677f, 0, 0.70710677f)}};
    a.scales = {{0, D3DXVECTOR3(1, 2, 3)}};
    a.positions = {{7, D3DXVECTOR3(-1, 0, 1)}};
    a.matrices = {{30, TranslationMatrix(4, 5, 6)}};
    set.animations.push_back(a);
    data.animationSets.push_back(set);
    return data;
}

void ExpectSameMesh(const XFileMesh& a, const XFileMesh& b)
{
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.positions, b.positions);
    EXPECT_EQ(a.faces, b.faces);
    EXPECT_EQ(a.normals, b.normals);
    EXPECT_EQ(a.normalFaces, b.normalFaces);
    EXPECT_EQ(a.uvs, b.uvs);
    EXPECT_EQ(a.faceMaterials, b.faceMaterials);
    ASSERT_EQ(a.materials.size(), b.materials.size());
    for (size_t i = 0; i < a.materials.size(); ++i)
    {
        EXPECT_EQ(a.materials[i].name, b.materials[i].name);
        EXPECT_EQ(a.materials[i].diffuse, b.materials[i].diffuse);
        EXPECT_EQ(a.materials[i].power, b.materials[i].power);
        EXPECT_EQ(a.materials[i].specular, b.materials[i].specular);
        EXPECT_EQ(a.materials[i].emissive, b.materials[i].emissive);
        EXPECT_EQ(a.materials[i].texture, b.materials[i].texture);
    }
    EXPECT_EQ(a.hasSkinHeader, b.hasSkinHeader);
    EXPECT_EQ(a.skinBones, b.skinBones);
    ASSERT_EQ(a.skinWeights.size(), b.skinWeights.size());
    for (size_t i = 0; i < a.skinWeights.size(); ++i)
    {
        EXPECT_EQ(a.skinWeights[i].bone, b.skinWeights[i].bone);
        EXPECT_EQ(a.skinWeights[i].vertices, b.skinWeights[i].vertices);
        EXPECT_EQ(a.skinWeights[i].weights, b.skinWeights[i].weights);
        EXPECT_EQ(a.skinWeights[i].offset, b.skinWeights[i].offset);
    }
}

TEST(XFileWriter, RoundTripsEveryRecordExactly)
{
    XFileData data = EverythingData();
    std::string text = Written(data);
    EXPECT_EQ(text.rfind("xof 0303txt 0032\n", 0), 0u);
    XFileData back;
    ASSERT_TRUE(Read(text, &back)) << text;
    EXPECT_EQ(back.ticksPerSecond, 30u);
    ASSERT_EQ(back.frames.size(), 1u);
    const XFileFrame& root = back.frames[0];
    EXPECT_EQ(root.name, "Root");
    EXPECT_EQ(root.transform, data.frames[0].transform);
    ASSERT_EQ(root.meshes.size(), 2u);
    ExpectSameMesh(root.meshes[0], data.frames[0].meshes[0]);
    ExpectSameMesh(root.meshes[1], data.frames[0].meshes[1]);
    ASSERT_EQ(root.children.size(), 1u);
    EXPECT_EQ(root.children[0].name, "Child");
    ASSERT_EQ(root.children[0].children.size(), 1u);
    EXPECT_EQ(root.children[0].children[0].name, "");
    ASSERT_EQ(back.animationSets.size(), 1u);
    EXPECT_EQ(back.animationSets[0].name, "Spin");
    const XFileAnimation& a = back.animationSets[0].animations[0];
    const XFileAnimation& e = data.animationSets[0].animations[0];
    EXPECT_EQ(a.name, e.name);
    EXPECT_EQ(a.frame, e.frame);
    ASSERT_EQ(a.rotations.size(), 2u);
    EXPECT_EQ(a.rotations[1].rotation, e.rotations[1].rotation);
    EXPECT_EQ(a.rotations[1].time, 15u);
    EXPECT_EQ(a.scales[0].value, e.scales[0].value);
    EXPECT_EQ(a.positions[0].time, 7u);
    EXPECT_EQ(a.matrices[0].matrix, e.matrices[0].matrix);
    // Writing what was read gives the same text.
    EXPECT_EQ(Written(back), text);
}

TEST(XFileWriter, RotationKeysAreWrittenWFirst)
{
    XFileData data;
    data.frames.emplace_back();
    data.frames[0].name = "A";
    XFileAnimationSet set;
    XFileAnimation a;
    a.frame = "A";
    a.rotations = {{0, D3DXQUATERNION(0.25f, 0.5f, 0.75f, 0.125f)}};
    set.animations.push_back(a);
    data.animationSets.push_back(set);
    EXPECT_NE(Written(data).find("0;4;0.125,0.25,0.5,0.75;;;"), std::string::npos);
}

TEST(XFileWriter, RefusesWhatTheReaderWouldRefuse)
{
    struct Case
    {
        const char* what;
        void (*damage)(XFileData*);
    } cases[] = {
        {"frame name with a blank", [](XFileData* d) { d->frames[0].name = "A B"; }},
        {"frame name starting with a digit", [](XFileData* d) { d->frames[0].name = "1A"; }},
        {"face index beyond the positions", [](XFileData* d) { d->frames[0].meshes[0].faces[0][0] = 8; }},
        {"face of two corners", [](XFileData* d) { d->frames[0].meshes[0].faces[0].resize(2); }},
        {"normal faces missing", [](XFileData* d) { d->frames[0].meshes[0].normalFaces.pop_back(); }},
        {"texture coordinates short", [](XFileData* d) { d->frames[0].meshes[0].uvs.pop_back(); }},
        {"face materials short", [](XFileData* d) { d->frames[0].meshes[0].faceMaterials.pop_back(); }},
        {"material index beyond", [](XFileData* d) { d->frames[0].meshes[0].faceMaterials[0] = 2; }},
        {"quote in a texture name", [](XFileData* d) { d->frames[0].meshes[0].materials[0].texture = "a\"b"; }},
        {"weights short", [](XFileData* d) { d->frames[0].meshes[0].skinWeights[0].weights.pop_back(); }},
        {"more weight sets than bones", [](XFileData* d) { d->frames[0].meshes[0].skinBones = 0; }},
        {"non-finite position", [](XFileData* d) { d->frames[0].meshes[0].positions[0].x = INFINITY; }},
        {"animation without a frame", [](XFileData* d) { d->animationSets[0].animations[0].frame.clear(); }},
        {"non-finite key", [](XFileData* d) { d->animationSets[0].animations[0].scales[0].value.y = NAN; }},
        {"zero ticks per second", [](XFileData* d) { d->ticksPerSecond = 0; }},
    };
    for (const Case& c : cases)
    {
        XFileData data = EverythingData();
        c.damage(&data);
        std::string text = "untouched", error;
        EXPECT_FALSE(XFileWriter::Write(data, &text, &error)) << c.what;
        EXPECT_EQ(text, "untouched") << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
}

// Seeds for the .x reader's fuzz target (Tests/fuzz): the texts these tests read, one file each.
TEST(XFileCorpus, WritesFuzzSeeds)
{
    std::filesystem::path folder = std::filesystem::current_path() / "fuzz-corpus" / "xfile";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    ASSERT_FALSE(ec) << folder;
    XFileData cube;
    cube.frames.emplace_back();
    cube.frames[0].name = "Box";
    cube.frames[0].meshes.push_back(CubeMesh(false));
    const std::pair<const char*, std::string> seeds[] = {
        {"full.x", FullText}, {"everything.x", Written(EverythingData())}, {"cube.x", Written(cube)}};
    for (const auto& [name, text] : seeds)
    {
        std::ofstream out(folder / name, std::ios::binary);
        out << text;
        EXPECT_TRUE(out.good()) << name;
    }
}

}  // namespace

namespace
{

TEST(XFileGeometry, RefusesMeshesTheReaderWouldNotGive)
{
    struct Case
    {
        const char* what;
        void (*damage)(XFileMesh*);
    } cases[] = {
        {"face index beyond the positions", [](XFileMesh* m) { m->faces[0][1] = 9; }},
        {"face of two corners", [](XFileMesh* m) { m->faces[0].resize(2); }},
        {"normal faces missing", [](XFileMesh* m) { m->normalFaces.clear(); }},
        {"normal index beyond the normals", [](XFileMesh* m) { m->normalFaces[0][0] = 1; }},
        {"texture coordinates short", [](XFileMesh* m) { m->uvs.pop_back(); }},
        {"material index without materials", [](XFileMesh* m) { m->faceMaterials = {1}; }},
    };
    XFileGeometry geometry;
    ASSERT_TRUE(geometry.Build(QuadMesh()));
    EXPECT_EQ(geometry.indices, (std::vector<uint32_t>{0, 1, 2, 0, 2, 3}));
    EXPECT_EQ(geometry.positionStart, (std::vector<uint32_t>{0, 1, 2, 3, 4}));
    for (const Case& c : cases)
    {
        XFileMesh mesh = QuadMesh();
        c.damage(&mesh);
        EXPECT_FALSE(geometry.Build(mesh)) << c.what;
        EXPECT_TRUE(geometry.vertices.empty()) << c.what;
    }
}

}  // namespace
