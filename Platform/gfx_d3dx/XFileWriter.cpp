#include "Platform/gfx_d3dx/XFileWriter.h"

#include <charconv>
#include <cmath>

namespace
{

// The reader's frame nesting limit.
constexpr int MaxFrameDepth = 128;

bool IsWordChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
           c == '+' || c == '.';
}

std::string UInt(uint64_t value)
{
    char buffer[24];
    auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
    return std::string(buffer, result.ptr);
}

template <class List>
std::string Joined(const List& values, const char* separator)
{
    std::string out;
    for (size_t i = 0; i < values.size(); ++i)
    {
        if (i)
            out += separator;
        out += UInt(values[i]);
    }
    return out;
}

}  // namespace

bool XFileWriter::Write(const XFileData& data, std::string* text, std::string* error)
{
    std::string out;
    XFileWriter writer(&out);
    bool ok = true;
    out += "xof 0303txt 0032\n";
    if (data.ticksPerSecond == 0)
        ok = writer.Fail("AnimTicksPerSecond of 0");
    if (ok)
    {
        writer.Line(0, "");
        writer.Line(0, "AnimTicksPerSecond {");
        writer.Line(1, UInt(data.ticksPerSecond) + ";");
        writer.Line(0, "}");
    }
    for (size_t i = 0; ok && i < data.frames.size(); ++i)
    {
        writer.Line(0, "");
        ok = writer.WriteFrame(data.frames[i], 0, 1);
    }
    for (size_t i = 0; ok && i < data.animationSets.size(); ++i)
    {
        writer.Line(0, "");
        ok = writer.WriteAnimationSet(data.animationSets[i]);
    }
    if (!ok)
    {
        if (error)
            *error = writer.m_Error;
        return false;
    }
    *text = std::move(out);
    return true;
}

bool XFileWriter::Fail(const std::string& reason)
{
    if (m_Error.empty())
        m_Error = reason;
    return false;
}

void XFileWriter::Line(int indent, const std::string& text)
{
    m_Text->append(size_t(indent), ' ');
    *m_Text += text;
    *m_Text += '\n';
}

std::string XFileWriter::Number(float value)
{
    if (value == 0.0f)
        value = 0.0f;  // no "-0"
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
    return std::string(buffer, result.ptr);
}

std::string XFileWriter::Floats(const float* values, int count, const char* separator)
{
    std::string out;
    for (int i = 0; i < count; ++i)
    {
        if (i)
            out += separator;
        out += Number(values[i]);
    }
    return out;
}

bool XFileWriter::CheckName(const std::string& name, bool required, const char* what)
{
    if (name.empty())
        return !required || Fail(std::string(what) + " without a name");
    bool number = (name[0] >= '0' && name[0] <= '9') || name[0] == '-' || name[0] == '+' || name[0] == '.';
    for (char c : name)
        if (!IsWordChar(c))
            number = true;
    return !number || Fail(std::string(what) + " name \"" + name + "\" is not an identifier");
}

bool XFileWriter::CheckString(const std::string& value, const char* what)
{
    for (char c : value)
        if (c == '"')
            return Fail(std::string(what) + " \"" + value + "\" holds a quote");
    return true;
}

bool XFileWriter::CheckFinite(const float* values, size_t count, const char* what)
{
    for (size_t i = 0; i < count; ++i)
        if (!std::isfinite(values[i]))
            return Fail(std::string("a non-finite number in ") + what);
    return true;
}

bool XFileWriter::WriteFrame(const XFileFrame& frame, int indent, int depth)
{
    if (depth > MaxFrameDepth)
        return Fail("frames nested deeper than " + UInt(MaxFrameDepth));
    if (!CheckName(frame.name, false, "frame") || !CheckFinite(frame.transform, 16, "a frame matrix"))
        return false;
    Line(indent, frame.name.empty() ? "Frame {" : "Frame " + frame.name + " {");
    Line(indent + 1, "FrameTransformMatrix {");
    Line(indent + 2, Floats(frame.transform, 16, ",") + ";;");
    Line(indent + 1, "}");
    for (const XFileMesh& mesh : frame.meshes)
        if (!WriteMesh(mesh, indent + 1))
            return false;
    for (const XFileFrame& child : frame.children)
        if (!WriteFrame(child, indent + 1, depth + 1))
            return false;
    Line(indent, "}");
    return true;
}

bool XFileWriter::WriteMesh(const XFileMesh& mesh, int indent)
{
    if (!CheckName(mesh.name, false, "mesh"))
        return false;
    const size_t positions = mesh.positions.size(), faces = mesh.faces.size();
    for (const std::vector<uint32_t>& face : mesh.faces)
    {
        if (face.size() < 3)
            return Fail("mesh \"" + mesh.name + "\": a face of fewer than three corners");
        for (uint32_t i : face)
            if (i >= positions)
                return Fail("mesh \"" + mesh.name + "\": a face index beyond the positions");
    }
    if (!mesh.normals.empty() || !mesh.normalFaces.empty())
    {
        if (mesh.normalFaces.size() != faces)
            return Fail("mesh \"" + mesh.name + "\": normal faces do not match the faces");
        for (size_t f = 0; f < faces; ++f)
        {
            if (mesh.normalFaces[f].size() != mesh.faces[f].size())
                return Fail("mesh \"" + mesh.name + "\": a normal face has another corner count");
            for (uint32_t i : mesh.normalFaces[f])
                if (i >= mesh.normals.size())
                    return Fail("mesh \"" + mesh.name + "\": a normal index beyond the normals");
        }
    }
    if (!mesh.uvs.empty() && mesh.uvs.size() != positions)
        return Fail("mesh \"" + mesh.name + "\": texture coordinates do not match the positions");
    if (mesh.materials.empty() ? !mesh.faceMaterials.empty() : mesh.faceMaterials.size() != faces)
        return Fail("mesh \"" + mesh.name + "\": face materials do not match the faces");
    for (uint32_t m : mesh.faceMaterials)
        if (m >= mesh.materials.size())
            return Fail("mesh \"" + mesh.name + "\": a material index beyond the materials");
    if (mesh.hasSkinHeader && mesh.skinWeights.size() > mesh.skinBones)
        return Fail("mesh \"" + mesh.name + "\": more skin weights than bones");
    for (const XFileSkinWeights& skin : mesh.skinWeights)
    {
        if (skin.vertices.size() != skin.weights.size())
            return Fail("mesh \"" + mesh.name + "\": skin weights do not match their vertices");
        for (uint32_t v : skin.vertices)
            if (v >= positions)
                return Fail("mesh \"" + mesh.name + "\": a skin vertex beyond the positions");
        if (!CheckString(skin.bone, "bone") || !CheckFinite(skin.weights.data(), skin.weights.size(), "skin") ||
            !CheckFinite(skin.offset, 16, "skin"))
            return false;
    }
    for (const D3DXVECTOR3& p : mesh.positions)
        if (!CheckFinite(&p.x, 3, "mesh positions"))
            return false;
    for (const D3DXVECTOR3& n : mesh.normals)
        if (!CheckFinite(&n.x, 3, "mesh normals"))
            return false;
    for (const D3DXVECTOR2& uv : mesh.uvs)
        if (!CheckFinite(&uv.x, 2, "texture coordinates"))
            return false;

    const int in = indent + 1;
    Line(indent, mesh.name.empty() ? "Mesh {" : "Mesh " + mesh.name + " {");
    Line(in, UInt(positions) + ";");
    for (size_t i = 0; i < positions; ++i)
        Line(in, Floats(mesh.positions[i], 3, ";") + (i + 1 < positions ? ";," : ";;"));
    if (positions == 0)
        Line(in, ";");
    Line(in, UInt(faces) + ";");
    for (size_t f = 0; f < faces; ++f)
        Line(in, UInt(mesh.faces[f].size()) + ";" + Joined(mesh.faces[f], ",") + (f + 1 < faces ? ";," : ";;"));
    if (faces == 0)
        Line(in, ";");
    if (!mesh.normals.empty() || !mesh.normalFaces.empty())
    {
        Line(in, "MeshNormals {");
        Line(in + 1, UInt(mesh.normals.size()) + ";");
        for (size_t i = 0; i < mesh.normals.size(); ++i)
            Line(in + 1, Floats(mesh.normals[i], 3, ";") + (i + 1 < mesh.normals.size() ? ";," : ";;"));
        if (mesh.normals.empty())
            Line(in + 1, ";");
        Line(in + 1, UInt(faces) + ";");
        for (size_t f = 0; f < faces; ++f)
            Line(in + 1, UInt(mesh.normalFaces[f].size()) + ";" + Joined(mesh.normalFaces[f], ",") +
                             (f + 1 < faces ? ";," : ";;"));
        Line(in, "}");
    }
    if (!mesh.uvs.empty())
    {
        Line(in, "MeshTextureCoords {");
        Line(in + 1, UInt(mesh.uvs.size()) + ";");
        for (size_t i = 0; i < mesh.uvs.size(); ++i)
            Line(in + 1, Floats(mesh.uvs[i], 2, ";") + (i + 1 < mesh.uvs.size() ? ";," : ";;"));
        Line(in, "}");
    }
    if (!mesh.materials.empty())
    {
        Line(in, "MeshMaterialList {");
        Line(in + 1, UInt(mesh.materials.size()) + ";");
        Line(in + 1, UInt(faces) + ";");
        Line(in + 1, Joined(mesh.faceMaterials, ",") + ";");
        for (const XFileMaterial& material : mesh.materials)
            if (!WriteMaterial(material, in + 1))
                return false;
        Line(in, "}");
    }
    if (mesh.hasSkinHeader)
    {
        Line(in, "XSkinMeshHeader {");
        Line(in + 1, UInt(mesh.maxSkinWeightsPerVertex) + ";");
        Line(in + 1, UInt(mesh.maxSkinWeightsPerFace) + ";");
        Line(in + 1, UInt(mesh.skinBones) + ";");
        Line(in, "}");
    }
    for (const XFileSkinWeights& skin : mesh.skinWeights)
    {
        Line(in, "SkinWeights {");
        Line(in + 1, "\"" + skin.bone + "\";");
        Line(in + 1, UInt(skin.vertices.size()) + ";");
        Line(in + 1, Joined(skin.vertices, ",") + ";");
        Line(in + 1, Floats(skin.weights.data(), int(skin.weights.size()), ",") + ";");
        Line(in + 1, Floats(skin.offset, 16, ",") + ";;");
        Line(in, "}");
    }
    Line(indent, "}");
    return true;
}

bool XFileWriter::WriteMaterial(const XFileMaterial& material, int indent)
{
    if (!CheckName(material.name, false, "material") || !CheckString(material.texture, "texture file name") ||
        !CheckFinite(material.diffuse, 4, "a material") || !CheckFinite(&material.power, 1, "a material") ||
        !CheckFinite(material.specular, 3, "a material") || !CheckFinite(material.emissive, 3, "a material"))
        return false;
    Line(indent, material.name.empty() ? "Material {" : "Material " + material.name + " {");
    Line(indent + 1, Floats(material.diffuse, 4, ";") + ";;");
    Line(indent + 1, Number(material.power) + ";");
    Line(indent + 1, Floats(material.specular, 3, ";") + ";;");
    Line(indent + 1, Floats(material.emissive, 3, ";") + ";;");
    if (!material.texture.empty())
    {
        Line(indent + 1, "TextureFilename {");
        Line(indent + 2, "\"" + material.texture + "\";");
        Line(indent + 1, "}");
    }
    Line(indent, "}");
    return true;
}

bool XFileWriter::WriteAnimationSet(const XFileAnimationSet& set)
{
    if (!CheckName(set.name, false, "animation set"))
        return false;
    Line(0, set.name.empty() ? "AnimationSet {" : "AnimationSet " + set.name + " {");
    for (const XFileAnimation& animation : set.animations)
    {
        if (!CheckName(animation.name, false, "animation") || !CheckName(animation.frame, true, "animated frame"))
            return false;
        Line(1, animation.name.empty() ? "Animation {" : "Animation " + animation.name + " {");
        Line(2, "{ " + animation.frame + " }");
        auto keys = [&](int type, size_t count, int values, auto value)
        {
            if (count == 0)
                return true;
            Line(2, "AnimationKey {");
            Line(3, UInt(uint64_t(type)) + ";");
            Line(3, UInt(count) + ";");
            for (size_t k = 0; k < count; ++k)
            {
                float v[16];
                uint32_t time = value(k, v);
                if (!CheckFinite(v, size_t(values), "an animation key"))
                    return false;
                Line(3, UInt(time) + ";" + UInt(uint64_t(values)) + ";" + Floats(v, values, ",") +
                            (k + 1 < count ? ";;," : ";;;"));
            }
            Line(2, "}");
            return true;
        };
        // Rotations as w, x, y, z.
        bool ok = keys(0, animation.rotations.size(), 4,
                       [&](size_t k, float* v)
                       {
                           const D3DXQUATERNION& q = animation.rotations[k].rotation;
                           v[0] = q.w, v[1] = q.x, v[2] = q.y, v[3] = q.z;
                           return animation.rotations[k].time;
                       }) &&
                  keys(1, animation.scales.size(), 3,
                       [&](size_t k, float* v)
                       {
                           const D3DXVECTOR3& s = animation.scales[k].value;
                           v[0] = s.x, v[1] = s.y, v[2] = s.z;
                           return animation.scales[k].time;
                       }) &&
                  keys(2, animation.positions.size(), 3,
                       [&](size_t k, float* v)
                       {
                           const D3DXVECTOR3& p = animation.positions[k].value;
                           v[0] = p.x, v[1] = p.y, v[2] = p.z;
                           return animation.positions[k].time;
                       }) &&
                  keys(4, animation.matrices.size(), 16,
                       [&](size_t k, float* v)
                       {
                           const float* m = animation.matrices[k].matrix;
                           for (int i = 0; i < 16; ++i)
                               v[i] = m[i];
                           return animation.matrices[k].time;
                       });
        if (!ok)
            return false;
        Line(1, "}");
    }
    Line(0, "}");
    return true;
}
