#include "Tools/content/ContentMeshWriter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <sstream>
#include <vector>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/render/WeMesh.h"
#include "Engine/render/WeRenderDevice.h"
#include "Platform/gfx_d3dx/D3DX9.h"
#include "Tools/content/ContentIniReader.h"
#include "Tools/content/ContentMeshGenerator.h"

namespace
{

// Numbers are read in the C locale whatever the process's locale is: from_chars never looks at it.
bool ParseFloat(const std::string& text, float* out)
{
    const char* begin = text.c_str();
    const char* end = begin + text.size();
    float v = 0.0f;
    std::from_chars_result r = std::from_chars(begin, end, v);
    if (text.empty() || r.ec != std::errc() || r.ptr != end || !std::isfinite(v))
        return false;
    *out = v;
    return true;
}

bool ParseInt(const std::string& text, int32_t lo, int32_t hi, int32_t* out)
{
    const char* begin = text.c_str();
    const char* end = begin + text.size();
    int32_t v = 0;
    std::from_chars_result r = std::from_chars(begin, end, v);
    if (text.empty() || r.ec != std::errc() || r.ptr != end || v < lo || v > hi)
        return false;
    *out = v;
    return true;
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (true)
    {
        size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos)
            return parts;
        start = at + 1;
    }
}

// "a,b,c" with exactly count numbers (any count when count is 0).
bool ParseFloats(const std::string& text, size_t count, std::vector<float>* out)
{
    out->clear();
    for (const std::string& part : Split(text, ','))
    {
        float v = 0.0f;
        if (!ParseFloat(part, &v))
            return false;
        out->push_back(v);
    }
    return count == 0 || out->size() == count;
}

bool ParseVector3(const std::string& text, D3DXVECTOR3* out)
{
    std::vector<float> v;
    if (!ParseFloats(text, 3, &v))
        return false;
    *out = D3DXVECTOR3(v[0], v[1], v[2]);
    return true;
}

bool ParseFlag(const std::string& text, bool* out)
{
    if (text != "0" && text != "1")
        return false;
    *out = text == "1";
    return true;
}

struct ShapeName
{
    const char* name;
    ContentMeshShape shape;
};

const ShapeName Shapes[] = {
    {"box", ContentMeshShape::Box},       {"plane", ContentMeshShape::Plane},
    {"sphere", ContentMeshShape::Sphere}, {"cylinder", ContentMeshShape::Cylinder},
    {"cone", ContentMeshShape::Cone},     {"torus", ContentMeshShape::Torus},
    {"sweep", ContentMeshShape::Sweep},   {"polygons", ContentMeshShape::Polygons},
    {"loft", ContentMeshShape::Loft},
};

// One key of a [Part] section; false with the reason.
bool PartKey(const std::string& key, const std::string& value, ContentMeshPart* p, bool* haveShape, std::string* reason)
{
    std::vector<float> v;
    auto bad = [&](const std::string& text)
    {
        *reason = text;
        return false;
    };
    if (key == "shape")
    {
        for (const ShapeName& s : Shapes)
            if (value == s.name)
            {
                p->shape = s.shape;
                *haveShape = true;
                return true;
            }
        return bad("shape must be box, plane, sphere, cylinder, cone, torus, sweep, polygons or loft");
    }
    if (key == "sections")
    {
        p->sections.clear();
        for (const std::string& one : Split(value, ';'))
        {
            if (!ParseFloats(one, 5, &v))
                return bad("sections must be z,halfWidth,halfHeight,y,exponent;...");
            p->sections.push_back(ContentLoftSection{v[0], v[1], v[2], v[3], v[4]});
        }
        return true;
    }
    if (key == "copy")
    {
        const size_t colon = value.find(':');
        if (colon == std::string::npos || colon == 0 || colon + 1 == value.size() ||
            std::count(value.begin(), value.begin() + long(colon), '.') != 2)
            return bad("copy must be <Package.Folder.Mesh>:<part>");
        p->copyMesh = value.substr(0, colon);
        p->copyPart = value.substr(colon + 1);
        *haveShape = true;
        return true;
    }
    if (key == "size")
    {
        if (!ParseFloats(value, 0, &v) || (v.size() != 2 && v.size() != 3))
            return bad("size must be x,y,z (a plane: x,z)");
        p->size = v.size() == 3 ? D3DXVECTOR3(v[0], v[1], v[2]) : D3DXVECTOR3(v[0], 1.0f, v[1]);
        return true;
    }
    if (key == "radius" || key == "tube" || key == "height")
    {
        float f = 0.0f;
        if (!ParseFloat(value, &f))
            return bad(key + " must be a number");
        (key == "radius" ? p->radius : key == "tube" ? p->tube : p->height) = f;
        return true;
    }
    if (key == "segments")
    {
        std::vector<std::string> parts = Split(value, ',');
        if (parts.size() > 2 || !ParseInt(parts[0], 1, 1024, &p->segments[0]) ||
            (parts.size() == 2 && !ParseInt(parts[1], 1, 1024, &p->segments[1])))
            return bad("segments must be n or n,m, each 1..1024");
        return true;
    }
    if (key == "caps" || key == "closed" || key == "profileclosed")
    {
        bool& flag = key == "caps" ? p->caps : key == "closed" ? p->closed : p->profileClosed;
        if (!ParseFlag(value, &flag))
            return bad(key + " must be 0 or 1");
        return true;
    }
    if (key == "profile")
    {
        p->profile.clear();
        for (const std::string& point : Split(value, ';'))
        {
            if (!ParseFloats(point, 2, &v))
                return bad("profile must be x,y;x,y;...");
            p->profile.push_back(D3DXVECTOR2(v[0], v[1]));
        }
        return true;
    }
    if (key == "path")
    {
        p->path.clear();
        for (const std::string& point : Split(value, ';'))
        {
            D3DXVECTOR3 q;
            if (!ParseVector3(point, &q))
                return bad("path must be x,y,z;x,y,z;...");
            p->path.push_back(q);
        }
        return true;
    }
    if (key == "roll")
    {
        p->roll.clear();
        for (const std::string& one : Split(value, ';'))
        {
            float f = 0.0f;
            if (!ParseFloat(one, &f))
                return bad("roll must be degrees, one or one per path point separated by ';'");
            p->roll.push_back(f);
        }
        return true;
    }
    if (key == "vertex")
    {
        if (!ParseFloats(value, 0, &v) || (v.size() != 3 && v.size() != 5))
            return bad("vertex must be x,y,z or x,y,z,u,v");
        if (!p->points.empty() && (v.size() == 5) != (p->pointUvs.size() == p->points.size()))
            return bad("give every vertex texture coordinates or none");
        p->points.push_back(D3DXVECTOR3(v[0], v[1], v[2]));
        if (v.size() == 5)
            p->pointUvs.push_back(D3DXVECTOR2(v[3], v[4]));
        return true;
    }
    if (key == "face")
    {
        std::vector<int32_t> face;
        for (const std::string& index : Split(value, ','))
        {
            int32_t i = 0;
            if (!ParseInt(index, 0, 65535, &i))
                return bad("face must list vertex numbers from 0, clockwise seen from the front");
            face.push_back(i);
        }
        p->faces.push_back(face);
        return true;
    }
    if (key == "position" || key == "rotation" || key == "scale")
    {
        if (key == "scale" && ParseFloats(value, 1, &v))
        {
            p->scale = D3DXVECTOR3(v[0], v[0], v[0]);
            return true;
        }
        D3DXVECTOR3 q;
        if (!ParseVector3(value, &q))
            return bad(key == "rotation" ? "rotation must be yaw,pitch,roll in degrees"
                                         : key + (key == "scale" ? " must be s or x,y,z" : " must be x,y,z"));
        (key == "position" ? p->position : key == "rotation" ? p->rotation : p->scale) = q;
        return true;
    }
    if (key == "uvscale")
    {
        if (!ParseFloats(value, 2, &v))
            return bad("uvscale must be u,v");
        p->uvScale = D3DXVECTOR2(v[0], v[1]);
        return true;
    }
    if (key == "normals")
    {
        if (value != "flat" && value != "smooth")
            return bad("normals must be flat or smooth");
        p->smooth = value == "smooth";
        return true;
    }
    if (key == "subset")
    {
        if (!ParseInt(value, 0, 15, &p->subset))
            return bad("subset must be 0..15");
        return true;
    }
    return bad("unknown key " + key);
}

bool MeshKey(const std::string& key, const std::string& value, ContentMeshDescription* d, std::string* reason)
{
    auto bad = [&](const std::string& text)
    {
        *reason = text;
        return false;
    };
    if (key == "uv1")
    {
        if (value == "same")
            d->uv1 = ContentUv1Mode::SameAsUv0;
        else if (value == "planar")
            d->uv1 = ContentUv1Mode::Planar;
        else if (value == "boxed")
            d->uv1 = ContentUv1Mode::Boxed;
        else
            return bad("uv1 must be same, planar or boxed");
        return true;
    }
    if (key == "property1")
    {
        int32_t v = 0;
        if (!ParseInt(value, 0, 255, &v))
            return bad("property1 must be 0..255");
        d->property1 = uint8_t(v);
        return true;
    }
    if (key == "property5" || key == "property6")
    {
        if (!ParseFloat(value, key == "property5" ? &d->property5 : &d->property6))
            return bad(key + " must be a number");
        return true;
    }
    int32_t* ints[] = {&d->property2, &d->property3, &d->property4, &d->property7};
    const char* names[] = {"property2", "property3", "property4", "property7"};
    for (int i = 0; i < 4; ++i)
        if (key == names[i])
        {
            if (!ParseInt(value, INT32_MIN, INT32_MAX, ints[i]))
                return bad(key + " must be a whole number");
            return true;
        }
    return bad("unknown key " + key);
}

void WriteVertex(WeFileStream& s, const uint8_t* v)
{
    s.Write(v, WeMesh::InternalStride);
}

}  // namespace

bool ContentMeshWriter::Parse(const std::string& path, const std::string& text, ContentMeshDescription* out,
                              ContentError* error)
{
    ContentIniReader reader(path, text);
    ContentIniLine item;
    enum class In
    {
        Nothing,
        Mesh,
        Part,
        Subset
    } in = In::Nothing;
    bool haveMesh = false;
    bool haveShape = true;
    int partLine = 0;
    auto endPart = [&]()
    {
        if (in == In::Part && !haveShape)
            return reader.Fail(partLine, "part " + out->parts.back().name + " has no shape");
        return true;
    };
    while (reader.Next(&item))
    {
        const int number = item.number;
        std::string reason;
        if (item.isSection)
        {
            if (!endPart())
                break;
            const std::string& s = item.section;
            if (s == "Mesh")
            {
                if (haveMesh)
                {
                    reader.Fail(number, "[Mesh] twice");
                    break;
                }
                haveMesh = true;
                in = In::Mesh;
            }
            else if (s.compare(0, 5, "Part ") == 0 && s.size() > 5)
            {
                ContentMeshPart part;
                part.name = s.substr(5);
                part.line = number;
                out->parts.push_back(part);
                in = In::Part;
                haveShape = false;
                partLine = number;
            }
            else if (s.compare(0, 7, "Subset ") == 0)
            {
                ContentMeshSubset subset;
                if (!ParseInt(s.substr(7), 0, 15, &subset.id))
                {
                    reader.Fail(number, "a subset is numbered 0..15");
                    break;
                }
                for (const ContentMeshSubset& other : out->subsets)
                    if (other.id == subset.id)
                        reader.Fail(number, "[Subset " + std::to_string(subset.id) + "] twice");
                subset.line = number;
                out->subsets.push_back(subset);
                in = In::Subset;
            }
            else
                reader.Fail(number, "unknown section [" + s + "] (only [Mesh], [Part <name>], [Subset <n>])");
            if (reader.Failed())
                break;
            continue;
        }
        bool ok = true;
        if (in == In::Nothing)
            ok = (reason = "key before [Mesh], [Part <name>] or [Subset <n>]", false);
        else if (in == In::Mesh)
            ok = MeshKey(item.key, item.value, out, &reason);
        else if (in == In::Part)
            ok = PartKey(item.key, item.value, &out->parts.back(), &haveShape, &reason);
        else
        {
            ContentMeshSubset& subset = out->subsets.back();
            int32_t preset = 0;
            if (item.key == "material")
                preset = 0;
            else if (item.key.compare(0, 6, "preset") != 0 || !ParseInt(item.key.substr(6), 1, 29, &preset))
                ok = (reason = "unknown key " + item.key + " (material, preset1..preset29)", false);
            if (ok && item.value.empty())
                ok = (reason = item.key + " must name a material", false);
            if (ok)
                subset.materials[preset] = item.value;
        }
        if (!ok)
        {
            reader.Fail(number, reason);
            break;
        }
    }
    if (!reader.Failed())
        endPart();
    if (reader.Failed())
    {
        *error = reader.Error();
        return false;
    }
    if (out->parts.empty())
    {
        *error = {path, 0, "no [Part <name>] section"};
        return false;
    }
    for (const ContentMeshSubset& subset : out->subsets)
        if (subset.materials[0].empty())
        {
            *error = {path, subset.line, "[Subset " + std::to_string(subset.id) + "] needs material= (preset 0)"};
            return false;
        }
    return true;
}

bool ContentMeshWriter::WriteFile(WeFileStream& s, const ContentMeshDescription& d, const ContentMeshGeometry& g,
                                  std::string* error)
{
    // Subsets in ascending order, each over its own vertices: the attribute table's ranges are what a
    // subset draws.
    std::vector<int32_t> ids;
    for (const ContentMeshFace& f : g.faces)
        if (std::find(ids.begin(), ids.end(), f.subset) == ids.end())
            ids.push_back(f.subset);
    std::sort(ids.begin(), ids.end());
    if (ids.empty())
        return *error = "no faces", false;
    if (ids.front() < 0 || ids.back() > 15)
        return *error = "subsets are numbered 0..15", false;
    std::vector<const ContentMeshSubset*> subsets;
    for (int32_t id : ids)
    {
        const ContentMeshSubset* found = nullptr;
        for (const ContentMeshSubset& subset : d.subsets)
            if (subset.id == id)
                found = &subset;
        if (found == nullptr)
            return *error = "subset " + std::to_string(id) + " has faces but no materials ([Subset " +
                            std::to_string(id) + "])",
                   false;
        subsets.push_back(found);
    }
    for (const ContentMeshSubset& subset : d.subsets)
        if (std::find(ids.begin(), ids.end(), subset.id) == ids.end())
            return *error = "subset " + std::to_string(subset.id) + " has no faces", false;

    std::vector<ContentMeshVertex> vertices;
    std::vector<uint32_t> indices;
    std::vector<DWORD> attributes;
    std::vector<D3DXATTRIBUTERANGE> table;
    for (int32_t id : ids)
    {
        D3DXATTRIBUTERANGE range{DWORD(id), DWORD(attributes.size()), 0, DWORD(vertices.size()), 0};
        std::vector<int64_t> remap(g.vertices.size(), -1);
        for (const ContentMeshFace& f : g.faces)
        {
            if (f.subset != id)
                continue;
            for (uint32_t index : f.index)
            {
                if (index >= g.vertices.size())
                    return *error = "a face names vertex " + std::to_string(index) + " of " +
                                    std::to_string(g.vertices.size()),
                           false;
                if (remap[index] < 0)
                {
                    remap[index] = int64_t(vertices.size());
                    vertices.push_back(g.vertices[index]);
                }
                indices.push_back(uint32_t(remap[index]));
            }
            attributes.push_back(DWORD(id));
        }
        range.FaceCount = DWORD(attributes.size()) - range.FaceStart;
        range.VertexCount = DWORD(vertices.size()) - range.VertexStart;
        table.push_back(range);
    }
    if (vertices.size() >= size_t(WeMesh::VertexLimit) || attributes.size() >= size_t(WeMesh::FaceLimit))
        return *error = std::to_string(vertices.size()) + " vertices and " + std::to_string(attributes.size()) +
                        " faces: a mesh holds fewer than " + std::to_string(WeMesh::VertexLimit) + " vertices and " +
                        std::to_string(WeMesh::FaceLimit) + " faces (split the shape into several meshes)",
               false;

    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    ID3DXMesh* mesh = nullptr;
    if (device == nullptr || FAILED(D3DXCreateMesh(DWORD(attributes.size()), DWORD(vertices.size()), D3DXMESH_MANAGED,
                                                   WeMesh::InternalDeclaration(), device, &mesh)))
        return *error = "cannot create the mesh", false;
    void* data = nullptr;
    mesh->LockVertexBuffer(0, &data);
    uint8_t* bytes = static_cast<uint8_t*>(data);
    for (size_t i = 0; i < vertices.size(); ++i)
    {
        float v[13] = {};
        const ContentMeshVertex& x = vertices[i];
        std::memcpy(v, &x.position.x, 12);
        std::memcpy(v + 3, &x.normal.x, 12);
        v[6] = x.uv0.x, v[7] = x.uv0.y, v[11] = x.uv1.x, v[12] = x.uv1.y;
        std::memcpy(bytes + i * WeMesh::InternalStride, v, WeMesh::InternalStride);
    }
    mesh->UnlockVertexBuffer();
    mesh->LockIndexBuffer(0, &data);
    for (size_t i = 0; i < indices.size(); ++i)
        static_cast<uint16_t*>(data)[i] = uint16_t(indices[i]);
    mesh->UnlockIndexBuffer();
    DWORD* ids32 = nullptr;
    mesh->LockAttributeBuffer(0, &ids32);
    std::copy(attributes.begin(), attributes.end(), ids32);
    mesh->UnlockAttributeBuffer();
    std::vector<DWORD> adjacency(attributes.size() * 3);
    HRESULT hr = mesh->GenerateAdjacency(0.001f, adjacency.data());
    if (SUCCEEDED(hr))
        hr = D3DXComputeTangentFrameEx(mesh, D3DDECLUSAGE_TEXCOORD, 0, D3DDECLUSAGE_TANGENT, 0, D3DX_DEFAULT, 0,
                                       D3DX_DEFAULT, 0, D3DXTANGENT_GENERATE_IN_PLACE, adjacency.data(), -1.01f, 0.0f,
                                       -1.01f, nullptr, nullptr);
    if (FAILED(hr))
    {
        mesh->Release();
        return *error = "cannot compute the tangents", false;
    }

    s.WriteInt32(WeMesh::NewestVersion);
    s.WriteInt32(int32_t(vertices.size()));
    s.WriteInt32(int32_t(attributes.size()));
    mesh->LockVertexBuffer(D3DLOCK_READONLY, &data);
    for (size_t i = 0; i < vertices.size(); ++i)
        WriteVertex(s, static_cast<const uint8_t*>(data) + i * WeMesh::InternalStride);
    mesh->UnlockVertexBuffer();
    mesh->Release();
    for (uint32_t index : indices)
        s.WriteUInt16(uint16_t(index));
    for (DWORD id : attributes)
        s.WriteInt32(int32_t(id));
    s.WriteByte(char(d.property1));
    s.WriteInt32(d.property2);
    s.WriteInt32(d.property3);
    s.WriteInt32(d.property4);
    s.WriteFloat(d.property5);
    s.WriteFloat(d.property6);
    s.WriteInt32(d.property7);
    s.WriteInt32(int32_t(table.size()));
    for (const D3DXATTRIBUTERANGE& r : table)
    {
        s.WriteInt32(int32_t(r.AttribId));
        s.WriteInt32(int32_t(r.FaceStart));
        s.WriteInt32(int32_t(r.FaceCount));
        s.WriteInt32(int32_t(r.VertexStart));
        s.WriteInt32(int32_t(r.VertexCount));
    }
    // A preset a subset does not name takes its preset-0 material.
    for (int32_t p = 0; p < ContentMeshSubset::Presets; ++p)
        for (const ContentMeshSubset* subset : subsets)
            s.WriteString((subset->materials[p].empty() ? subset->materials[0] : subset->materials[p]).c_str());
    return true;
}

bool ContentMeshWriter::ResolveCopies(const std::string& path, const std::string& assets,
                                      ContentMeshDescription* description, ContentError* error)
{
    for (ContentMeshPart& part : description->parts)
    {
        if (part.copyMesh.empty())
            continue;
        // Package.Folder.File names Assets/Package/Folder/File.msh.
        std::string file = part.copyMesh;
        std::replace(file.begin(), file.end(), '.', '/');
        const std::string source = assets + "/" + file + ".msh";
        std::string text;
        ContentError ignored;
        ContentMeshDescription other;
        if (!ContentIniReader::ReadFile(source, &text, &ignored) || !Parse(source, text, &other, &ignored))
        {
            *error = {path, part.line, "copy: no readable mesh description " + part.copyMesh};
            return false;
        }
        const ContentMeshPart* found = nullptr;
        for (const ContentMeshPart& candidate : other.parts)
            if (candidate.name == part.copyPart)
                found = &candidate;
        if (!found)
        {
            *error = {path, part.line, "copy: " + part.copyMesh + " has no part " + part.copyPart};
            return false;
        }
        if (!found->copyMesh.empty())
        {
            *error = {path, part.line, "copy: " + part.copyMesh + ":" + part.copyPart + " is itself a copy"};
            return false;
        }
        ContentMeshPart resolved = *found;
        resolved.name = part.name;
        resolved.position = part.position;
        resolved.rotation = part.rotation;
        resolved.scale = part.scale;
        resolved.subset = part.subset;
        resolved.line = part.line;
        resolved.copyMesh.clear();
        resolved.copyPart.clear();
        part = resolved;
    }
    return true;
}

bool ContentMeshWriter::Write(const std::string& path, const std::string& assets, const std::string& name,
                              WeVirtualFileSystem& staged, ContentError* error)
{
    std::string text;
    if (!ContentIniReader::ReadFile(path, &text, error))
        return false;
    ContentMeshDescription d;
    if (!Parse(path, text, &d, error) || !ResolveCopies(path, assets, &d, error))
        return false;
    ContentMeshGeometry geometry;
    std::string reason;
    for (const ContentMeshPart& part : d.parts)
        if (!ContentMeshGenerator::AddPart(part, &geometry, &reason))
        {
            *error = {path, part.line, reason};
            return false;
        }
    ContentMeshGenerator::MakeUv1(d.uv1, &geometry);
    // WriteFile checks everything before its first byte; the member of a refused mesh is removed.
    if (!staged.Create(name.c_str(), WeMesh::FileType, true))
    {
        *error = {path, 0, "cannot create the member " + name};
        return false;
    }
    bool ok = WriteFile(*staged.GetStream(), d, geometry, &reason);
    if (!staged.EndCreate() && ok)
    {
        *error = {path, 0, "cannot finish the member " + name};
        return false;
    }
    if (!ok)
    {
        staged.Delete(name.c_str(), WeMesh::FileType);
        *error = {path, 0, reason};
        return false;
    }
    return true;
}
